// Feeds arbitrary bytes to ParseHexRecord as one line. Besides the sanitizers' checks, a line the
// parser takes must be exactly the record its fields give back when written again, up to the case
// of the digits: anything else let through (a sign, a blank, a wrong checksum) stops the run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "files/hex_file.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; }

void AppendHex(char*& out, unsigned value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) *out++ = kDigits[(value >> shift) & 0xF];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* line = reinterpret_cast<const char*>(data);
    HexRecord record;
    if (!ParseHexRecord(line, size, record)) return 0;

    char expected[11 + 2 * 255];
    char* out = expected;
    *out++ = ':';
    AppendHex(out, record.count, 2);
    AppendHex(out, record.address, 4);
    AppendHex(out, record.type, 2);
    unsigned sum = record.count + (record.address >> 8) + (record.address & 0xFFu) + record.type;
    for (unsigned i = 0; i < record.count; ++i) {
        AppendHex(out, record.data[i], 2);
        sum += record.data[i];
    }
    AppendHex(out, (0x100 - (sum & 0xFF)) & 0xFF, 2);
    const std::size_t length = static_cast<std::size_t>(out - expected);
    if (size < length) {
        std::fprintf(stderr, "accepted a line of %zu characters for a record of %zu\n", size, length);
        std::abort();
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (Upper(line[i]) != expected[i]) {
            std::fprintf(stderr, "accepted line differs from its record at column %zu\n", i);
            std::abort();
        }
    }
    return 0;
}
