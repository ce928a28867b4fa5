#include "asm/number_text.h"

std::string HexDigits(std::uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 15];
    return text;
}

std::string HexNumber(std::uint32_t value, int digits) {
    const std::string hex = HexDigits(value, digits);
    return (hex[0] >= 'A' ? "0" : "") + hex + "h";
}

std::string ValueText(std::int64_t value) {
    if (value >= 0 && value < 10) return std::to_string(value);
    if (value < 0) return std::to_string(value);
    int digits = 2;
    while (digits < 8 && (value >> (4 * digits)) != 0) ++digits;
    return std::to_string(value) + " (" + HexNumber(static_cast<std::uint32_t>(value), digits) + ")";
}
