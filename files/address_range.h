// The address ranges that the file commands accept.
#pragma once

#include <cstdint>

// From must not lie above To, and To must be a board address. The binary commands move From up to
// To - 1, the Intel HEX save From up to To; both accept the same ranges.
inline bool IsFileAddressRange(std::uint32_t from, std::uint32_t to) { return from <= to && to <= 0xFFFF; }
