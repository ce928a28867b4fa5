#include <cstddef>
#include <cstdint>

#include "files/hex_digit.h"
#include "files/hex_file.h"

namespace {

// The field of `digits` hexadecimal digits at `column`; the caller has made sure the line holds it.
// A blank, a sign or a 0x prefix is no digit, so such a field is refused.
bool ReadField(const char* line, std::size_t column, int digits, unsigned& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = HexDigitValue(line[column + static_cast<std::size_t>(i)]);
        if (digit < 0) return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

// Start code, byte count, address and type take 9 columns, the checksum 2.
constexpr std::size_t kRecordFrame = 11;

// The checks of ParseHexRecord, in their order; the first that fails names the problem, nullptr
// when the record is valid.
const char* ParseFields(const char* line, std::size_t length, HexRecord& record) {
    if (length == 0) return "empty line";
    if (line[0] != ':') return "no start code ':'";
    if (length < kRecordFrame) return "too short for a record";
    unsigned count = 0;
    if (!ReadField(line, 1, 2, count)) return "not a hexadecimal field (byte count)";
    if (length < kRecordFrame + 2 * count) return "shorter than its byte count says";
    unsigned address = 0;
    unsigned type = 0;
    if (!ReadField(line, 3, 4, address)) return "not a hexadecimal field (address)";
    if (!ReadField(line, 7, 2, type)) return "not a hexadecimal field (record type)";

    unsigned sum = count + (address >> 8) + (address & 0xFF) + type;
    for (unsigned i = 0; i < count; ++i) {
        unsigned byte = 0;
        if (!ReadField(line, 9 + 2 * i, 2, byte)) return "not a hexadecimal field (data)";
        record.data[i] = static_cast<std::uint8_t>(byte);
        sum += byte;
    }
    unsigned checksum = 0;
    if (!ReadField(line, 9 + 2 * count, 2, checksum)) return "not a hexadecimal field (checksum)";
    record.checksum = static_cast<std::uint8_t>(checksum);
    record.wantedChecksum = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
    if (record.checksum != record.wantedChecksum) return kHexChecksumMismatch;
    // Kept on purpose: whatever follows the checksum is ignored.

    record.count = static_cast<std::uint8_t>(count);
    record.address = static_cast<std::uint16_t>(address);
    record.type = static_cast<std::uint8_t>(type);
    return nullptr;
}

}  // namespace

bool ParseHexRecord(const char* line, std::size_t length, HexRecord& record, const char** reason) {
    const char* problem = ParseFields(line, length, record);
    if (reason != nullptr) *reason = problem;
    return problem == nullptr;
}
