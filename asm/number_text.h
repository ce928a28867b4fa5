// Numbers as the assembler writes them in messages and listings.
#pragma once

#include <cstdint>
#include <string>

// Upper-case hexadecimal digits, exactly digits of them: "1800", "0F".
std::string HexDigits(std::uint32_t value, int digits);

// As a source would write it: "1800h", "0FFh" (a 0 before a leading letter).
std::string HexNumber(std::uint32_t value, int digits);

// A value in a message: "5", "-129", "256 (100h)".
std::string ValueText(std::int64_t value);
