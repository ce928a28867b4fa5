// The six seven-segment digits as latched through the 8255. Nothing resets
// them: they keep their patterns until the program on the board changes them.
//
// Segment bits of a pattern (1 lights the segment):
//   bit 0 e (lower left)   bit 4 b (upper right)
//   bit 1 g (middle)       bit 5 c (lower right)
//   bit 2 f (upper left)   bit 6 decimal point
//   bit 3 a (top)          bit 7 d (bottom)
#pragma once

#include <cstdint>

enum : std::uint8_t {
    kSegmentE = 0x01,
    kSegmentG = 0x02,
    kSegmentF = 0x04,
    kSegmentA = 0x08,
    kSegmentB = 0x10,
    kSegmentC = 0x20,
    kSegmentPoint = 0x40,
    kSegmentD = 0x80,
};

constexpr int kDigitCount = 6;

struct DigitLatches {
    std::uint8_t digits[kDigitCount];  // digit 0 leftmost .. digit 5 rightmost
    std::uint8_t select;               // bit 5 selects digit 0, ..., bit 0 digit 5
    std::uint8_t lastSelect;           // select at the last latch carried out
};

// A direct write to port C: keeps its bits 0 to 5 as the digit select.
void SelectDigits(DigitLatches& latches, std::uint8_t value);

// A write to port B: latches the pattern into every selected digit. Returns
// true when it latched (the display then wants a repaint), false when it did
// nothing: no digit selected, or 00h with the same select as the last latch.
bool LatchSegments(DigitLatches& latches, std::uint8_t pattern);

// True when the digit (0 leftmost) is in the select byte.
inline bool IsDigitSelected(std::uint8_t select, int digit) { return ((select >> (5 - digit)) & 1) != 0; }
