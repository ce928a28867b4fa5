#include "files/address_text.h"

#include <cstdint>

#include "files/hex_digit.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One past the largest magnitude a 32-bit long can take (that of its lowest value).
constexpr std::uint64_t kMagnitudeCap = 0x80000000u;

}  // namespace

std::uint32_t AddressFromText(const char* text) {
    if (text == nullptr) return 0;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // "0x" counts as a prefix only with a digit after it; otherwise the 0 alone is the number.
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigitValue(p[2]) >= 0) p += 2;
    // Digits past the cap cannot bring the value back into range, so the sum stops growing there.
    std::uint64_t magnitude = 0;
    for (int digit = HexDigitValue(*p); digit >= 0; digit = HexDigitValue(*++p)) {
        magnitude = magnitude * 16 + static_cast<std::uint64_t>(digit);
        if (magnitude > kMagnitudeCap) magnitude = kMagnitudeCap;
    }
    if (negative) return static_cast<std::uint32_t>((0x100000000u - magnitude) & 0xFFFFFFFFu);
    return magnitude >= kMagnitudeCap ? 0x7FFFFFFFu : static_cast<std::uint32_t>(magnitude);
}
