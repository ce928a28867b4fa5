#include "tarvorun_session.h"

#include <cstdio>
#include <memory>
#include <system_error>

#include "board/display_text.h"
#include "board/idle_pass.h"
#include "files/binary_file.h"
#include "files/file_error.h"
#include "files/hex_file.h"
#include "files/monitor_rom.h"
#include "files/open_for_reading.h"
#include "state/state_file_io.h"
#include "tarvoasm_sources.h"
#include "tarvorun_nmi_spool.h"

namespace {

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The system's reason for a failed load or save, as in "No such file or directory".
std::string Reason(int systemError) {
    return systemError > 0 ? std::generic_category().message(systemError) : "the system gave no reason";
}

// The --hex, --bin and --asm files, over the ROM image unless the board came from a state file.
bool LoadFiles(Board& board, const RunOptions& options, const std::string& programFolder, char separator,
               std::ostream& err) {
    if (options.statePath.empty() && !LoadRomImage(board, options, programFolder, separator, err)) return false;
    FileError fileError;
    for (const LoadStep& load : options.loads) {
        if (load.kind == LoadStep::Kind::Assembly) {
            if (!LoadAssembledFile(load.path, "tarvorun", board.memory, err)) return false;
            continue;
        }
        if (load.kind == LoadStep::Kind::Binary) {
            std::string error;
            if (!LoadBinaryAt(load.path.c_str(), board.memory, load.address, error)) {
                err << "tarvorun: " << error << "\n";
                return false;
            }
            continue;
        }
        const int result = ReadHexFile(load.path.c_str(), board.memory, &fileError);
        if (result == -1) {
            err << "tarvorun: cannot " << (fileError.line == 0 ? "open" : "read") << " the Intel HEX file "
                << Quoted(load.path) << ": " << Reason(fileError.systemError) << "\n";
            return false;
        }
        if (result < 0) {
            // As compilers name a place: FILE:LINE: what is wrong.
            err << "tarvorun: " << load.path << ":" << fileError.line << ": " << fileError.reason
                << " (the records before it were loaded)\n";
            return false;
        }
    }
    return true;
}

}  // namespace

bool LoadRomImage(Board& board, const RunOptions& options, const std::string& programFolder, char separator,
                  std::ostream& err) {
    if (options.noRom) return true;
    const char* const instead = " (--rom FILE names an image, --no-rom runs an empty board)";
    if (!options.romGiven && programFolder.empty()) {
        // Never fall back on the working folder: the image lies beside the program.
        err << "tarvorun: cannot find the ROM image: the program's folder is unknown" << instead << "\n";
        return false;
    }
    const std::string path =
        options.romGiven ? options.romPath : programFolder + kMonitorRomFolder + separator + kMonitorRomFile;
    FileError fileError;
    if (ReadBinaryFile(path.c_str(), board.memory, 0, kMonitorRomSize, &fileError) < 0) {
        err << "tarvorun: cannot open the ROM image " << Quoted(path) << ": " << Reason(fileError.systemError)
            << (options.romGiven ? "" : instead) << "\n";
        return false;
    }
    return true;
}

bool LoadBinaryAt(const char* path, BoardMemory& memory, std::uint16_t address, std::string& error) {
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) {
        error = "cannot open the binary file " + Quoted(path) + ": " + Reason(errno);
        return false;
    }
    // Read one byte more than fits, to tell a file that fits from one that does not.
    const std::size_t room = 0x10000u - address;
    std::vector<std::uint8_t> bytes(room + 1);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream);
    const bool failed = std::ferror(stream) != 0;
    const int reason = errno;
    std::fclose(stream);
    if (failed) {
        error = "cannot read the binary file " + Quoted(path) + ": " + Reason(reason);
        return false;
    }
    if (got > room) {
        error = "the binary file " + Quoted(path) + " does not fit at " + Hex(address, 4) + "h: more than " +
                std::to_string(room) + " bytes";
        return false;
    }
    for (std::size_t i = 0; i < got; ++i) memory.bytes[address + i] = bytes[i];
    return true;
}

std::string RegistersText(const CpuState& cpu) {
    return "PC=" + Hex(cpu.PC, 4) + " SP=" + Hex(cpu.SP, 4) + " AF=" + Hex(cpu.AF, 4) + " BC=" + Hex(cpu.BC, 4) +
           " DE=" + Hex(cpu.DE, 4) + " HL=" + Hex(cpu.HL, 4) + " IX=" + Hex(cpu.IX, 4) + " IY=" + Hex(cpu.IY, 4) +
           "\nAF'=" + Hex(cpu.AF_, 4) + " BC'=" + Hex(cpu.BC_, 4) + " DE'=" + Hex(cpu.DE_, 4) +
           " HL'=" + Hex(cpu.HL_, 4) + " I=" + Hex(cpu.I & 0xFFu, 2) + " R=" + Hex(cpu.R & 0xFFu, 2) +
           " IFF1=" + std::to_string(cpu.IFF1) + " IFF2=" + std::to_string(cpu.IFF2) + " IM=" + std::to_string(cpu.IM) +
           "\n";
}

std::string MemoryDumpText(const BoardMemory& memory, AddressRange range) {
    std::string text;
    unsigned column = 0;
    for (unsigned a = range.from; a <= range.to; ++a) {
        if (column == 0) text += Hex(a, 4) + ":";
        text += " " + Hex(memory.bytes[a], 2);
        if (++column == 16 || a == range.to) {
            text += "\n";
            column = 0;
        }
    }
    return text;
}

int RunBoardSession(const RunOptions& options, const std::string& programFolder, char separator, std::ostream& out,
                    std::ostream& err) {
    auto board = std::make_unique<Board>();
    // The run a --state file holds, and after the run the one --save-state writes.
    auto saved = std::make_unique<SavedState>();
    if (!options.statePath.empty()) {
        std::string error;
        if (!ReadStateFile(options.statePath.c_str(), *saved, error)) {
            err << "tarvorun: " << error << "\n";
            return kRunFailed;
        }
        PutBoard(saved->run.board, *board);
        if (!LoadFiles(*board, options, programFolder, separator, err)) return kRunFailed;
    } else {
        SetUpBoard(*board);
        if (!LoadFiles(*board, options, programFolder, separator, err)) return kRunFailed;
        StartBoard(*board);
    }

    PassRunner runner(*board, options.keyPhase != 0 || options.nmiLog || options.portWrites || options.trace);
    runner.PlaceAt(saved->run.position, saved->run.passes);
    if (options.trace && options.keys.empty()) runner.TraceTo(out);
    // The log is written as it happens, in constant memory; lines that nobody asked for are dropped.
    NmiLogSpool nmiSpool;
    if (!options.nmiLog) {
        runner.SendNmiLogTo([](const std::string&) {});
    } else if (nmiSpool.Open()) {
        runner.SendNmiLogTo([&nmiSpool](const std::string& line) { nmiSpool.Add(line); });
    }
    std::string keyError;
    const std::size_t delivered =
        DeliverKeys(runner, *board, options.keys, KeyTiming{options.settlePasses, options.scanLimit, options.keyPhase},
                    keyError, [&](std::size_t i) {
                        if (options.trace && i + 1 == options.keys.size()) runner.TraceTo(out);
                    });
    if (delivered < options.keys.size()) {
        err << "tarvorun: " << keyError << " (key " << delivered + 1 << " of " << options.keys.size()
            << " in --keys)\n";
        return kRunFailed;
    }
    const std::uint64_t writesBefore = runner.PortWrites();
    const std::uint64_t instructionsBefore = runner.Instructions();
    runner.RunPasses(options.passes);

    out << DisplayText(board->latches) << "\n";
    if (options.segments) out << SegmentPatternsText(board->latches) << "\n";
    if (options.regs) out << RegistersText(board->cpu);
    for (const AddressRange& range : options.dumps) out << MemoryDumpText(board->memory, range);
    if (options.portWrites) {
        out << "port writes: " << runner.PortWrites() - writesBefore << " in "
            << runner.Instructions() - instructionsBefore << " instructions\n";
    }
    if (options.nmiLog) {
        // Kept in memory only when no temporary file could be made.
        for (const std::string& line : runner.NmiLog()) out << "nmi: " << line << "\n";
        std::string error;
        if (!nmiSpool.CopyTo(out, error)) {
            out.flush();
            err << "tarvorun: " << error << "\n";
            return kRunFailed;
        }
    }
    if (options.cycles) out << "T-states: " << board->tStates << "\n";
    out.flush();

    for (const HexSave& save : options.saves) {
        FileError error;
        if (WriteHexFile(save.path.c_str(), board->memory, save.range.from, save.range.to, &error) != 0) {
            err << "tarvorun: cannot write the Intel HEX file " << Quoted(save.path) << ": "
                << Reason(error.systemError) << "\n";
            return kRunFailed;
        }
    }
    if (!options.saveStatePath.empty()) {
        // The key queue and the page's parts stay as the --state file had them.
        saved->run.board = *board;
        saved->run.position = runner.Position();
        saved->run.passes = runner.Completed();
        std::string error;
        if (!WriteStateFile(options.saveStatePath.c_str(), *saved, error)) {
            err << "tarvorun: " << error << "\n";
            return kRunFailed;
        }
    }
    return kRunOk;
}
