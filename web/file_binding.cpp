// The file commands as the page runs them. The page writes an opened file into
// the module's in-memory file system and reads a saved one back from it, so
// the same readers and writers as the window's do all the work. After each
// load the core reports what it wrote, so that the page can say so. A load is
// an input to the history: Step back goes back over it.
#include <sys/stat.h>

#include <bitset>
#include <cstdint>

#include <emscripten/emscripten.h>

#include "board/memory_areas.h"
#include "files/address_range.h"
#include "files/binary_file.h"
#include "files/hex_file.h"
#include "history/board_history.h"
#include "web/web_board.h"

namespace {

// tarvo_load_report's ints, in this order (web/core.js names them).
enum LoadReportField {
    kReportInts,      // the number of ints in the report
    kWritten,         // bytes written
    kIntoRom,         // of them into the monitor ROM,
    kIntoMonitorRam,  // the monitor's working RAM,
    kIntoUnmapped,    // and where the CPU reads FFh
    kLowest,          // the lowest and the highest address written (-1 when none)
    kHighest,
    kBadLine,         // HEX: the bad line's number, 0 when none
    kChecksumGiven,   // HEX: a checksum mismatch's two checksums, else -1
    kChecksumWanted,
    kLoadReportInts,
};

int report[kLoadReportInts];
const char* badLineReason = "";
std::bitset<65536> written;

// Fills the report from the marks in `written`.
void ReportWritten(const FileError& error) {
    const MemoryWindow& window = PageBoard().window;
    int counts[4] = {};
    int lowest = -1;
    int highest = -1;
    for (unsigned a = 0; a < 65536u; ++a) {
        if (!written.test(a)) continue;
        ++counts[static_cast<int>(AreaOf(window, static_cast<std::uint16_t>(a)))];
        if (lowest < 0) lowest = static_cast<int>(a);
        highest = static_cast<int>(a);
    }
    report[kReportInts] = kLoadReportInts;
    report[kWritten] = static_cast<int>(written.count());
    report[kIntoRom] = counts[static_cast<int>(MemoryArea::Rom)];
    report[kIntoMonitorRam] = counts[static_cast<int>(MemoryArea::MonitorRam)];
    report[kIntoUnmapped] = counts[static_cast<int>(MemoryArea::Unmapped)];
    report[kLowest] = lowest;
    report[kHighest] = highest;
    report[kBadLine] = static_cast<int>(error.line);
    report[kChecksumGiven] = error.checksumGiven;
    report[kChecksumWanted] = error.checksumWanted;
    badLineReason = error.reason != nullptr ? error.reason : "";
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int tarvo_is_file_range(std::uint32_t from, std::uint32_t to) {
    return IsFileAddressRange(from, to) ? 1 : 0;
}

// Results as the readers and writers give them: 0 (or more) done, -1 the file
// could not be read or written, -2 an invalid line or a bad range.
EMSCRIPTEN_KEEPALIVE int tarvo_open_hex(const char* path) {
    written.reset();
    FileError error;
    int result = 0;
    PageHistory().Input([&] { result = ReadHexFile(path, PageBoard().memory, &error, &written); });
    ReportWritten(error);
    return result;
}

EMSCRIPTEN_KEEPALIVE int tarvo_open_binary(const char* path, std::uint32_t from, std::uint32_t to) {
    written.reset();
    int result = 0;
    PageHistory().Input([&] { result = ReadBinaryFile(path, PageBoard().memory, from, to); });
    struct stat file {};
    if (result >= 0 && stat(path, &file) == 0) {
        // More than the whole address space counts as that much.
        const std::uint32_t size = file.st_size > 0x10000 ? 0x10000u : static_cast<std::uint32_t>(file.st_size);
        const std::uint32_t end = to - from < size ? to : from + size;  // From up to To - 1, as far as the file goes
        for (std::uint32_t a = from; a < end; ++a) written.set(a);
    }
    ReportWritten(FileError{});
    return result;
}

// What the last load wrote, and for a bad HEX line where and why: the fields
// of LoadReportField above.
EMSCRIPTEN_KEEPALIVE const int* tarvo_load_report() { return report; }
EMSCRIPTEN_KEEPALIVE const char* tarvo_load_error_reason() { return badLineReason; }

EMSCRIPTEN_KEEPALIVE int tarvo_save_hex(const char* path, std::uint32_t from, std::uint32_t to) {
    return WriteHexFile(path, PageBoard().memory, from, to);
}

EMSCRIPTEN_KEEPALIVE int tarvo_save_binary(const char* path, std::uint32_t from, std::uint32_t to) {
    return WriteBinaryFile(path, PageBoard().memory, from, to);
}

}  // extern "C"
