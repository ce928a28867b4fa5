#include "tarvorun_options.h"

#include <cstring>

#include "files/hex_digit.h"

namespace {

std::string BadAddress(const std::string& option, const std::string& text) {
    return option + ": '" + text + "' is not an address (1 to 4 hexadecimal digits)";
}

bool ParseRange(const std::string& option, const std::string& fromText, const std::string& toText, AddressRange& range,
                std::string& error) {
    if (!ParseAddress(fromText, range.from)) {
        error = BadAddress(option, fromText);
        return false;
    }
    if (!ParseAddress(toText, range.to)) {
        error = BadAddress(option, toText);
        return false;
    }
    if (range.from > range.to) {
        error = option + ": the start " + fromText + " lies above the end " + toText;
        return false;
    }
    return true;
}

}  // namespace

bool ParseAddress(const std::string& text, std::uint16_t& address) {
    std::size_t at = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) at = 2;
    const std::size_t digits = text.size() - at;
    if (digits < 1 || digits > 4) return false;
    unsigned value = 0;
    for (; at < text.size(); ++at) {
        const int digit = HexDigitValue(text[at]);
        if (digit < 0) return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    address = static_cast<std::uint16_t>(value);
    return true;
}

bool ParseRunOptions(int argc, const char* const* argv, RunOptions& options, std::string& error) {
    std::vector<std::string> arguments;  // not options: a submission to grade
    std::string runOption;               // the first option that sets up a run by hand, which --exercise does not take
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool gradingOption = option == "--exercise" || option == "--report" || option == "--rom" ||
                                   option == "--no-rom" || option == "--help" || option == "-h";
        if (runOption.empty() && !gradingOption && !option.empty() && option[0] == '-') runOption = option;
        // The values an option takes; false (with the message set) if missing.
        auto values = [&](int count) {
            if (argc - 1 - i >= count) return true;
            error = option + " needs " + (count == 1 ? std::string("a value") : std::to_string(count) + " values") +
                    " (see --help)";
            return false;
        };
        auto count32 = [&](const char* what, std::uint32_t min, std::uint32_t& out) {
            std::uint64_t value = 0;
            if (!ParseCount(argv[i + 1], 0xFFFFFFFFu, value) || value < min) {
                error = option + ": '" + argv[i + 1] + "' is not " + what;
                return false;
            }
            out = static_cast<std::uint32_t>(value);
            ++i;
            return true;
        };

        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--rom") {
            if (!values(1)) return false;
            options.romGiven = true;
            options.romPath = argv[++i];
        } else if (option == "--no-rom") {
            options.noRom = true;
        } else if (option == "--hex") {
            if (!values(1)) return false;
            options.loads.push_back(LoadStep{LoadStep::Kind::Hex, argv[++i], 0});
        } else if (option == "--asm") {
            if (!values(1)) return false;
            options.loads.push_back(LoadStep{LoadStep::Kind::Assembly, argv[++i], 0});
        } else if (option == "--bin") {
            if (!values(1)) return false;
            const std::string value = argv[++i];
            const std::size_t at = value.rfind('@');
            if (at == std::string::npos || at == 0) {
                error = "--bin: '" + value + "' is not FILE@ADDR";
                return false;
            }
            std::uint16_t address = 0;
            if (!ParseAddress(value.substr(at + 1), address)) {
                error = BadAddress("--bin", value.substr(at + 1));
                return false;
            }
            options.loads.push_back(LoadStep{LoadStep::Kind::Binary, value.substr(0, at), address});
        } else if (option == "--keys") {
            if (!values(1)) return false;
            if (!ParseKeys(argv[++i], options.keys, error)) return false;
        } else if (option == "--passes") {
            if (!values(1)) return false;
            if (!ParseCount(argv[i + 1], UINT64_MAX, options.passes)) {
                error = option + ": '" + argv[i + 1] + "' is not a number of passes";
                return false;
            }
            ++i;
        } else if (option == "--settle") {
            if (!values(1) || !count32("a number of passes", 0, options.settlePasses)) return false;
        } else if (option == "--scan-limit") {
            if (!values(1) || !count32("a number of passes from 1", 1, options.scanLimit)) return false;
        } else if (option == "--key-phase") {
            if (!values(1)) return false;
            std::uint64_t phase = 0;
            if (!ParseCount(argv[i + 1], 9, phase)) {
                error = option + ": '" + argv[i + 1] + "' is not a number of instructions from 0 to 9";
                return false;
            }
            options.keyPhase = static_cast<int>(phase);
            ++i;
        } else if (option == "--nmi-log") {
            options.nmiLog = true;
        } else if (option == "--port-writes") {
            options.portWrites = true;
        } else if (option == "--segments") {
            options.segments = true;
        } else if (option == "--regs") {
            options.regs = true;
        } else if (option == "--trace") {
            options.trace = true;
        } else if (option == "--cycles") {
            options.cycles = true;
        } else if (option == "--dump") {
            if (!values(1)) return false;
            const std::string value = argv[++i];
            const std::size_t colon = value.find(':');
            if (colon == std::string::npos) {
                error = "--dump: '" + value + "' is not FROM:TO";
                return false;
            }
            AddressRange range{};
            if (!ParseRange(option, value.substr(0, colon), value.substr(colon + 1), range, error)) return false;
            options.dumps.push_back(range);
        } else if (option == "--save-hex") {
            if (!values(3)) return false;
            HexSave save{};
            if (!ParseRange(option, argv[i + 1], argv[i + 2], save.range, error)) return false;
            save.path = argv[i + 3];
            if (save.path.empty()) {
                error = "--save-hex: the file name is empty";
                return false;
            }
            options.saves.push_back(save);
            i += 3;
        } else if (option == "--state" || option == "--save-state") {
            if (!values(1)) return false;
            std::string& path = option == "--state" ? options.statePath : options.saveStatePath;
            path = argv[++i];
            if (path.empty()) {
                error = option + ": the file name is empty";
                return false;
            }
        } else if (option == "--exercise") {
            if (!values(1)) return false;
            options.exercisePath = argv[++i];
        } else if (option == "--report") {
            if (!values(2)) return false;
            options.reportFormat = argv[i + 1];
            options.reportPath = argv[i + 2];
            if (options.reportFormat != "junit" && options.reportFormat != "tap" && options.reportFormat != "json") {
                error = "--report: '" + options.reportFormat + "' is not a format (junit, tap or json)";
                return false;
            }
            i += 2;
        } else if (!option.empty() && option[0] == '-') {
            error = "unknown option '" + option + "' (see --help)";
            return false;
        } else {
            arguments.push_back(option);
        }
    }
    if (options.exercisePath.empty()) {
        if (!arguments.empty()) {
            error = "unexpected argument '" + arguments[0] + "' (see --help)";
            return false;
        }
        if (!options.reportPath.empty()) {
            error = "--report needs --exercise";
            return false;
        }
    } else {
        if (arguments.size() != 1) {
            error = "--exercise needs one program to check, SUBMISSION.asm or SUBMISSION.hex" +
                    (arguments.empty() ? std::string() : " (got " + std::to_string(arguments.size()) + ")");
            return false;
        }
        options.submission = arguments[0];
        const std::size_t dot = options.submission.rfind('.');
        const std::string extension = dot == std::string::npos ? "" : options.submission.substr(dot);
        if (extension != ".asm" && extension != ".hex" && extension != ".ASM" && extension != ".HEX") {
            error = "--exercise: '" + options.submission + "' is not a .asm or .hex file";
            return false;
        }
        if (!runOption.empty()) {
            error = runOption + " cannot go with --exercise: the exercise file sets up its runs";
            return false;
        }
    }
    if (options.romGiven && options.noRom) {
        error = "--rom and --no-rom exclude each other";
        return false;
    }
    if (!options.statePath.empty() && (options.romGiven || options.noRom)) {
        error = std::string(options.romGiven ? "--rom" : "--no-rom") +
                " cannot go with --state: the state file holds the whole memory, the monitor's among it";
        return false;
    }
    return true;
}

std::string RunUsageText() {
    return std::string(
               "Usage: tarvorun [options]\n"
               "Runs the Tarvo board without a window: the same CPU, memory, 8255, keypad,\n"
               "display latches and idle passes of ten instructions with the single-step NMI.\n"
               "\n"
               "Order of a run: the board is set up and the monitor ROM loaded (with\n"
               "--state, the board is taken from the state file instead), then the --hex,\n"
               "--bin and --asm files in the order given, then the CPU starts at 0000h\n"
               "(after --state it runs on from where it was saved, without a reset); the\n"
               "board runs the settle time, each --keys key is pressed in turn, and\n"
               "--passes more idle passes run. Then the outputs are printed, the\n"
               "--save-hex files written and, last, the --save-state file.\n"
               "\n"
               "Loading:\n"
               "  --rom FILE          monitor ROM image: its first 4096 bytes go to 0000h.\n"
               "                      Default: tarvo/tarvo-rom.bin in the folder of this\n"
               "                      program. An image that cannot be opened is an error.\n"
               "  --no-rom            no ROM image: the board runs over empty memory and\n"
               "                      the files below.\n"
               "  --hex FILE          load an Intel HEX file at the addresses of its records.\n"
               "  --bin FILE@ADDR     load a raw binary file at ADDR (hexadecimal); it may hold\n"
               "                      at most 10000h - ADDR bytes.\n"
               "  --asm FILE          assemble a Z80 source (as tarvoasm does) and load the\n"
               "                      bytes it writes; its errors end the run.\n"
               "                      --hex, --bin and --asm may be repeated; they load in order.\n"
               "  --state FILE        start from a state file (.tarvo, docs/state-file.md),\n"
               "                      as the page's \"Save state\" or --save-state wrote it:\n"
               "                      memory (the monitor's among it), the CPU, the 8255, the\n"
               "                      keypad, the display, the T-states and the place in the\n"
               "                      idle pass. Not with --rom or --no-rom. A file that is\n"
               "                      damaged, cut short or from a newer version is an error.\n"
               "\n"
               "Running:\n"
               "  --keys \"KEYS\"       keys to press, separated by spaces, for example\n"
               "                      --keys \"ADDR 1 8 0 0 DATA 3 E GO\". Names (any case):\n"
               "                      0-9 A-F, + (PLUS), - (MINUS), ADDR, DATA, GO, STEP, REG,\n"
               "                      PC, INS, DEL, MOVE, RELA, SBR, CBR: keypad matrix keys;\n"
               "                      RESET, MONI, INTR: act on the CPU at once;\n"
               "                      USER (USERKEY): the USER KEY line, port A bit 6.\n"
               "                      wait:N runs N idle passes there (N from 1, no settle\n"
               "                      time after it), for example \"ADDR 1 8 0 0 GO wait:20000\n"
               "                      MONI\" lets the program run a while before MONI.\n"
               "                      TAPERD and TAPEWR open file dialogs on the board and are\n"
               "                      not available here (use --hex and --save-hex).\n"
               "                      May be repeated; the keys are pressed in order.\n"
               "                      A matrix key or USER counts as delivered when a read of\n"
               "                      port A has taken it; then the settle time runs before the\n"
               "                      next key. RESET, MONI and INTR act at once and are\n"
               "                      followed by the settle time.\n"
               "                      press:KEY (press:DEL, for example) presses the key\n"
               "                      without waiting for its scan, as a click in the window\n"
               "                      does: a program that never reads the keypad leaves it\n"
               "                      pending; the settle time follows.\n"
               "  --settle N          idle passes after each key, and before the first one\n"
               "                      (default ") +
           std::to_string(kDefaultSettlePasses) + ").\n" +
           "  --scan-limit N      idle passes a key may wait for its scan before the run\n"
           "                      fails, naming the key (default " +
           std::to_string(kDefaultScanLimit) + ", at least 1).\n" +
           "  --passes N          idle passes to run after the last key (default 0).\n"
           "  --key-phase K       press each key after the first K instructions of an idle\n"
           "                      pass (0 to 9) instead of between two passes; the pass\n"
           "                      then runs its other 10 - K instructions (default 0).\n"
           "\n"
           "Output (on stdout, in this order):\n"
           "  --trace             while the board runs: a line for each instruction from\n"
           "                      the last --keys key on (its delivery, its settle time and\n"
           "                      the --passes; the whole run without --keys), before the\n"
           "                      instruction runs: its address, the registers it finds,\n"
           "                      the T-states run so far (as --cycles counts them), its\n"
           "                      bytes (the first four, '+' if more) and its\n"
           "                      disassembly, in pasmo's syntax. For example\n"
           "                      \"1800  AF=0044 BC=0000 DE=0000 HL=0000 IX=0000 IY=0000\n"
           "                      SP=27F0 T=1234  3E 05        LD A,05h\" on one line. An\n"
           "                      NMI or RESET shows as the next line's address.\n"
           "  the display as a line of text: six digits from left to right, each shown as\n"
           "  0-9, A-F or a letter of its shape (H h L P r n o u c J U t y G), '-' or '_',\n"
           "  ' ' when dark, '?' for a pattern that is no character; a lit decimal point\n"
           "  adds a '.' after its digit.\n"
           "  --segments          the six raw segment patterns in hexadecimal (bit 0 e,\n"
           "                      1 g, 2 f, 3 a, 4 b, 5 c, 6 decimal point, 7 d).\n"
           "  --regs              the CPU registers.\n"
           "  --dump FROM:TO      memory from FROM to TO (both included, hexadecimal), as\n"
           "                      stored, 16 bytes a line. May be repeated.\n"
           "  --save-hex FROM TO FILE\n"
           "                      save memory FROM to TO (both included) as an Intel HEX\n"
           "                      file after the run. May be repeated.\n"
           "  --save-state FILE   last of all: the whole board as the run left it, as a\n"
           "                      state file that --state and the page's \"Load state\"\n"
           "                      read. The parts of the --state file that only the page\n"
           "                      uses (its source, breakpoints, speed, stopwatch) and\n"
           "                      the keys waiting in the page's key queue, which tarvorun\n"
           "                      does not press, are written back unchanged.\n"
           "  --port-writes       after the outputs above: the writes to ports 00h-03h\n"
           "                      during the --passes after the last key, as\n"
           "                      \"port writes: W in N instructions\".\n"
           "  --nmi-log           then: one line for each change of the single-step NMI,\n"
           "                      \"nmi: armed by instruction K of pass P\", \"nmi:\n"
           "                      disarmed by instruction K of pass P\" and \"nmi: taken\n"
           "                      in pass P, N instructions after the arming\" (passes\n"
           "                      counted from 1 at the start of the run).\n"
           "  --cycles            last: the T-states (clock cycles) the CPU has run since\n"
           "                      it started, \"T-states: N\", each instruction, interrupt\n"
           "                      and NMI timed as Zilog's manual gives it (HALT, which\n"
           "                      runs as a NOP here, as a NOP; a block repeat as its\n"
           "                      whole loop).\n"
           "                      --key-phase, --port-writes, --nmi-log and --trace run\n"
           "                      the passes one instruction at a time, with the same\n"
           "                      effect.\n"
           "  --help, -h          this text.\n"
           "\n"
           "Grading:\n"
           "  tarvorun --exercise EXERCISE.json SUBMISSION.asm|SUBMISSION.hex\n"
           "                      checks the program against the exercise file's runs and\n"
           "                      checks (docs/exercises.md): one line a check, \"PASS ...\"\n"
           "                      or \"FAIL ...: message (what the board had)\", then\n"
           "                      \"N passed, N failed\". Only --rom, --no-rom and --report\n"
           "                      go with it. Every run is bounded: a program that never\n"
           "                      stops fails its checks.\n"
           "  --report FORMAT FILE  also write the results as junit (JUnit XML), tap or\n"
           "                      json to FILE; - is the standard output, instead of the\n"
           "                      lines above.\n"
           "\n"
           "Addresses are 1 to 4 hexadecimal digits, optionally after 0x; counts are\n"
           "decimal.\n"
           "\n"
           "Exit status: 0 success; 1 a file (the ROM image among them) could not be\n"
           "read or written, a key was never scanned, or the output could not be\n"
           "written (the run stops at the first lost write); 2 a usage error. Every\n"
           "error is one line on stderr.\n"
           "With --exercise: 0 every check passed; 1 a check failed, or the submission\n"
           "does not assemble or load (the reason is on stderr); 2 a usage error, an\n"
           "exercise file that cannot be read or is not valid (FILE:LINE:COLUMN, its\n"
           "JSON path and why), a ROM image or report that cannot be read or written.\n";
}
