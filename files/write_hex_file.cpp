#include <cstddef>
#include <cstdint>

#include "files/address_range.h"
#include "files/file_error.h"
#include "files/hex_file.h"
#include "files/safe_save.h"

namespace {

constexpr std::uint32_t kBytesPerRecord = 32;
// ":" + count, address, type + 32 data bytes + checksum + CR LF
constexpr std::size_t kLineCapacity = 1 + 8 + 2 * kBytesPerRecord + 2 + 2;

// Every line ends in CR LF, written as bytes so that every system saves the same file.
constexpr char kEndOfFileRecord[] = ":00000001FF\r\n";

void PutHexByte(char*& out, unsigned value) {
    static const char kDigits[] = "0123456789ABCDEF";
    *out++ = kDigits[(value >> 4) & 0xF];
    *out++ = kDigits[value & 0xF];
}

std::size_t FormatDataRecord(char (&line)[kLineCapacity], const BoardMemory& memory, std::uint32_t start,
                             std::uint32_t count) {
    char* out = line;
    *out++ = ':';
    const unsigned high = (start >> 8) & 0xFF;
    const unsigned low = start & 0xFF;
    PutHexByte(out, count);
    PutHexByte(out, high);
    PutHexByte(out, low);
    PutHexByte(out, 0x00);
    unsigned sum = count + high + low;
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned byte = memory.bytes[start + i];
        PutHexByte(out, byte);
        sum += byte;
    }
    PutHexByte(out, (0x100 - (sum & 0xFF)) & 0xFF);
    *out++ = '\r';
    *out++ = '\n';
    return static_cast<std::size_t>(out - line);
}

}  // namespace

int WriteHexFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to, FileError* error) {
    if (!IsFileAddressRange(from, to)) return -2;
    SafeSave save;
    if (!BeginSafeSave(save, path)) return ReportSaveFailure(save, error);
    char line[kLineCapacity];
    for (std::uint32_t start = from; start <= to; start += kBytesPerRecord) {
        const std::uint32_t left = to - start + 1;
        const std::uint32_t count = left < kBytesPerRecord ? left : kBytesPerRecord;
        SaveBytes(save, line, FormatDataRecord(line, memory, start, count));
    }
    SaveBytes(save, kEndOfFileRecord, sizeof kEndOfFileRecord - 1);
    if (FinishSafeSave(save) != 0) return ReportSaveFailure(save, error);
    return 0;
}
