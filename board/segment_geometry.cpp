#include "board/segment_geometry.h"

// Each lower vertical segment lies one pixel left of the upper one and each
// horizontal segment starts one pixel left of the one above it: the digits
// lean forward a little. An unlit decimal point is drawn a little wider.
// clang-format off
const SegmentShape kSegmentShapes[kSegmentCount] = {
    {kSegmentF, {12, 4, 17, 25}, {12, 4, 17, 25}},
    {kSegmentE, {11, 27, 16, 47}, {11, 27, 16, 47}},
    {kSegmentB, {34, 4, 39, 25}, {34, 4, 39, 25}},
    {kSegmentC, {33, 27, 38, 47}, {33, 27, 38, 47}},
    {kSegmentA, {15, 0, 38, 7}, {15, 0, 38, 7}},
    {kSegmentG, {14, 23, 35, 29}, {14, 23, 35, 29}},
    {kSegmentD, {13, 44, 34, 51}, {13, 44, 34, 51}},
    {kSegmentPoint, {38, 46, 42, 53}, {39, 45, 44, 53}},
};
// clang-format on

SegmentRect SegmentRectOnBoard(int digit, const SegmentShape& shape, bool lit) {
    const SegmentRect& r = lit ? shape.lit : shape.unlit;
    const int x = DigitOriginX(digit);
    return SegmentRect{x + r.left, kDigitOriginY + r.top, x + r.right, kDigitOriginY + r.bottom};
}
