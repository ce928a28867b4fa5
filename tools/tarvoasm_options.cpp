#include "tarvoasm_options.h"

namespace {

// The extension in lower case: "hex" for "OUT.HEX".
std::string Extension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

}  // namespace

bool ParseAsmToolOptions(int argc, const char* const* argv, AsmToolOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                error = option + " needs a file name (see --help)";
                return false;
            }
            out = argv[++i];
            return true;
        };
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "-o") {
            if (!value(options.object)) return false;
            const std::string extension = Extension(options.object);
            if (extension == "hex" || extension == "ihx") {
                options.format = ObjectFormat::Hex;
            } else if (extension == "bin") {
                options.format = ObjectFormat::Binary;
            } else {
                error = "-o: '" + options.object + "' must end in .hex (Intel HEX) or .bin (binary)";
                return false;
            }
        } else if (option == "-l") {
            if (!value(options.listing)) return false;
        } else if (option == "--keys") {
            if (!value(options.keys)) return false;
        } else if (option == "--symbols") {
            if (!value(options.symbols)) return false;
        } else if (option == "--line-map") {
            if (!value(options.lineMap)) return false;
        } else if (option.size() > 1 && option[0] == '-') {
            error = "unknown option '" + option + "' (see --help)";
            return false;
        } else if (!options.input.empty()) {
            error = "one source file at a time: '" + options.input + "' and '" + option + "' (see --help)";
            return false;
        } else {
            options.input = option;
        }
    }
    if (options.input.empty() && !options.help) {
        error = "no source file given (see --help)";
        return false;
    }
    return true;
}

std::string AsmToolUsage() {
    return "Usage: tarvoasm SOURCE.asm [-o OUT.hex | -o OUT.bin] [-l OUT.lst] [--keys OUT.txt]\n"
           "                [--symbols OUT.txt] [--line-map OUT.txt]\n"
           "Assembles a Z80 program for the Tarvo board, in pasmo's syntax.\n"
           "\n"
           "  -o FILE          the program: Intel HEX for a .hex (or .ihx) name, the bytes\n"
           "                   from the lowest address written to the highest for .bin\n"
           "                   (gaps hold 00h, as pasmo --bin has them).\n"
           "  -l FILE          the listing: address, bytes, line number and source of\n"
           "                   each line, then the symbol table.\n"
           "  --keys FILE      the keypad listing: for each line the monitor's keys that\n"
           "                   type its bytes into the board (ADDR 1 8 0 0 DATA 3 E + ...).\n"
           "  --symbols FILE   the names with their values and where they are defined.\n"
           "  --line-map FILE  each line's address, size and FILE:LINE.\n"
           "  -h, --help       this text.\n"
           "A FILE of - writes to standard output.\n"
           "\n"
           "Errors and warnings go to standard error as FILE:LINE:COLUMN: error: message,\n"
           "with the line and a caret under the place; the run goes on after an error and\n"
           "stops after 50.\n"
           "\n"
           "Exit status: 0 assembled (warnings allowed), 1 errors in the source or a file\n"
           "that cannot be read or written (no output file is written or replaced when\n"
           "the source has errors), 2 a usage error.\n";
}
