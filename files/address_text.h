// The From and To texts of the address-range dialog, turned into addresses.
#pragma once

#include <cstdint>

// Reads the text as the Windows C library's strtol in base 16 does, whose long has 32 bits:
// leading white space, an optional sign, an optional 0x or 0X, then hexadecimal digits up to the
// first other character; no digits give 0. The value is clamped to the signed 32-bit range and
// returned as its 32-bit two's complement, so "FFFFFFFF" gives 0x7FFFFFFF and "-1" 0xFFFFFFFF.
std::uint32_t AddressFromText(const char* text);
