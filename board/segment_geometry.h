// Where the six digits are drawn into the board picture (540 by 498): digit i
// has its origin at x = 16 + 44 * i, plus 16 more for digits 4 and 5, and
// y = 414. Each segment is a rectangle relative to that origin, corners
// included, drawn with a black outline and filled lit or unlit. The order of
// the table is the drawing order.
#pragma once

#include <cstdint>

#include "board/digit_latches.h"

struct SegmentRect {
    int left, top, right, bottom;
};

struct SegmentShape {
    std::uint8_t bit;  // segment bit of the digit's pattern
    SegmentRect lit;
    SegmentRect unlit;  // differs from lit only for the decimal point
};

constexpr int kSegmentCount = 8;
constexpr int kDigitOriginY = 414;

// The pattern's segments in drawing order: f, e, b, c, a, g, d, decimal point.
extern const SegmentShape kSegmentShapes[kSegmentCount];

inline int DigitOriginX(int digit) { return 16 + 44 * digit + (digit >= 4 ? 16 : 0); }

// The rectangle of one segment of one digit, in board picture coordinates.
SegmentRect SegmentRectOnBoard(int digit, const SegmentShape& shape, bool lit);
