// The window's arithmetic: where the two panels go, which keypad cell a press
// lands in, and where the digits are drawn into the board picture.
#include "board/panel_layout.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "board/key_matrix.h"
#include "board/segment_geometry.h"

namespace {

TEST(PanelLayout, DisplayTakesTwoThirdsKeypadOneThirdAndTheRestStaysGrey) {
    struct Case {
        int height, displayHeight, keypadTop, keypadHeight, leftOver;
    };
    // clang-format off
    const Case cases[] = {
        {301, 200, 200, 100, 1},  // one grey row below the keypad
        {300, 200, 200, 100, 0},
        {302, 200, 200, 100, 2},
        {694, 462, 462, 231, 1},  // the 540 by 740 window under Wine
        {2, 0, 0, 0, 2},
        {0, 0, 0, 0, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        const PanelLayout layout = LayoutPanels(524, c.height);
        EXPECT_EQ(layout.display.x, 0);
        EXPECT_EQ(layout.display.y, 0);
        EXPECT_EQ(layout.display.width, 524);
        EXPECT_EQ(layout.display.height, c.displayHeight);
        EXPECT_EQ(layout.keypad.x, 0);
        EXPECT_EQ(layout.keypad.y, c.keypadTop);
        EXPECT_EQ(layout.keypad.width, 524);
        EXPECT_EQ(layout.keypad.height, c.keypadHeight);
        EXPECT_EQ(c.height - layout.keypad.y - layout.keypad.height, c.leftOver);
    }
}

TEST(PanelLayout, TheRepaintedPartOfTheDisplayCoversTheDisplayWindowAtAnySize) {
    // A stretch takes each panel pixel from the picture pixel under it: every
    // panel pixel whose picture pixel lies in the window x 16 to 298, y 405 to
    // 473 must be inside the part, whether the panel shrinks or grows the picture.
    for (const int width : {1, 9, 100, 528, 540, 541, 1000, 1916}) {
        for (const int height : {1, 4, 100, 458, 498, 499, 1400}) {
            SCOPED_TRACE(std::to_string(width) + " by " + std::to_string(height));
            const PanelRect part = DisplayWindowOnPanel(width, height);
            int firstX = width, lastX = -1, firstY = height, lastY = -1;
            for (int x = 0; x < width; ++x) {
                const int pictureX = static_cast<int>((x + 0.5) * 540 / width);
                if (pictureX >= 16 && pictureX <= 298) {
                    firstX = std::min(firstX, x);
                    lastX = std::max(lastX, x);
                }
            }
            for (int y = 0; y < height; ++y) {
                const int pictureY = static_cast<int>((y + 0.5) * 498 / height);
                if (pictureY >= 405 && pictureY <= 473) {
                    firstY = std::min(firstY, y);
                    lastY = std::max(lastY, y);
                }
            }
            if (lastX < 0 || lastY < 0) continue;  // too small to show the window at all
            EXPECT_LE(part.x, firstX);
            EXPECT_GE(part.x + part.width, lastX + 1);
            EXPECT_LE(part.y, firstY);
            EXPECT_GE(part.y + part.height, lastY + 1);
            // And it stays a small part of a panel of ordinary size.
            if (width >= 100 && height >= 100) {
                EXPECT_LT(part.width, width * 6 / 10);
                EXPECT_LT(part.height, height * 2 / 10);
            }
        }
    }
}

std::string LegendAt(int x, int y, int width, int height) {
    int row = -1;
    int column = -1;
    if (!KeypadCellAt(x, y, width, height, row, column)) return "(no cells)";
    const KeyCell* key = KeyAtGrid(row, column);
    return key != nullptr ? key->legend : "(outside)";
}

TEST(KeypadHitTest, PressesOnThePictureAtItsOwnSizeFindTheirKeys) {
    EXPECT_EQ(LegendAt(30, 30, 540, 240), "RESET");
    EXPECT_EQ(LegendAt(539, 239, 540, 240), "3");
    EXPECT_EQ(LegendAt(300, 130, 540, 240), "4");
    EXPECT_EQ(LegendAt(0, 0, 540, 240), "RESET");
    EXPECT_EQ(LegendAt(59, 59, 540, 240), "RESET");
    EXPECT_EQ(LegendAt(60, 60, 540, 240), "RELA");
}

TEST(KeypadHitTest, TheStripBeyondTheLastWholeCellHitsNoKey) {
    int row = -1;
    int column = -1;
    // Width 530: cells of 58, so x 522 to 529 lie beyond the ninth cell.
    ASSERT_TRUE(KeypadCellAt(525, 10, 530, 240, row, column));
    EXPECT_EQ(column, 9);
    EXPECT_EQ(LegendAt(525, 10, 530, 240), "(outside)");
    EXPECT_EQ(LegendAt(521, 10, 530, 240), "F");
    // Height 227: cells of 56, so y 224 to 226 lie below the fourth row.
    ASSERT_TRUE(KeypadCellAt(10, 225, 528, 227, row, column));
    EXPECT_EQ(row, 4);
    EXPECT_EQ(LegendAt(10, 225, 528, 227), "(outside)");
}

TEST(KeypadHitTest, APanelTooSmallForCellsTakesNoPress) {
    int row = 7;
    int column = 7;
    EXPECT_FALSE(KeypadCellAt(3, 1, 8, 240, row, column));
    EXPECT_FALSE(KeypadCellAt(3, 1, 540, 3, row, column));
    EXPECT_FALSE(KeypadCellAt(0, 0, 0, 0, row, column));
    EXPECT_FALSE(KeypadCellAt(0, 0, -20, 100, row, column));
    EXPECT_EQ(row, 7);
    EXPECT_EQ(column, 7);
    EXPECT_TRUE(KeypadCellAt(8, 3, 9, 4, row, column));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(column, 8);
}

TEST(KeypadHitTest, ACursorJustLeftOrAboveThePanelTruncatesTowardsZero) {
    int row = -1;
    int column = -1;
    ASSERT_TRUE(KeypadCellAt(-5, -5, 540, 240, row, column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);
    ASSERT_TRUE(KeypadCellAt(-61, 10, 540, 240, row, column));
    EXPECT_EQ(column, -1);
    EXPECT_EQ(KeyAtGrid(row, column), nullptr);
}

TEST(SegmentGeometry, DigitsSitAtTheirOriginsWithAGapAfterTheFourth) {
    const int expected[kDigitCount] = {16, 60, 104, 148, 208, 252};
    for (int digit = 0; digit < kDigitCount; ++digit) EXPECT_EQ(DigitOriginX(digit), expected[digit]) << digit;
}

TEST(SegmentGeometry, EverySegmentLiesInsideTheDisplayWindowOfThePicture) {
    // The drawn area is exactly x 27 to 296 and y 414 to 467, inside the dark
    // window at x 16 to 298, y 405 to 473.
    int left = 1000, top = 1000, right = -1, bottom = -1;
    for (int digit = 0; digit < kDigitCount; ++digit) {
        for (const SegmentShape& shape : kSegmentShapes) {
            for (const bool lit : {false, true}) {
                const SegmentRect r = SegmentRectOnBoard(digit, shape, lit);
                EXPECT_LT(r.left, r.right);
                EXPECT_LT(r.top, r.bottom);
                left = std::min(left, r.left);
                top = std::min(top, r.top);
                right = std::max(right, r.right);
                bottom = std::max(bottom, r.bottom);
            }
        }
    }
    EXPECT_EQ(left, 27);
    EXPECT_EQ(top, 414);
    EXPECT_EQ(right, 296);
    EXPECT_EQ(bottom, 467);
}

TEST(SegmentGeometry, EachPatternBitIsDrawnOnceAndOnlyThePointChangesShapeWhenUnlit) {
    unsigned bits = 0;
    for (const SegmentShape& shape : kSegmentShapes) {
        EXPECT_EQ(bits & shape.bit, 0u) << "bit drawn twice: " << unsigned{shape.bit};
        bits |= shape.bit;
        const bool same = shape.lit.left == shape.unlit.left && shape.lit.top == shape.unlit.top &&
                          shape.lit.right == shape.unlit.right && shape.lit.bottom == shape.unlit.bottom;
        EXPECT_EQ(same, shape.bit != kSegmentPoint) << unsigned{shape.bit};
    }
    EXPECT_EQ(bits, 0xFFu);
}

}  // namespace
