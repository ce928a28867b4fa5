// The display latches as the program on the board drives them: port C picks
// the digits, port B latches a pattern into them.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace {

constexpr std::uint8_t kOne = 0x30;
constexpr std::uint8_t kZero = 0xBD;

void ExpectDigits(const Board& board, std::initializer_list<std::uint8_t> expected) {
    int i = 0;
    for (std::uint8_t pattern : expected) {
        EXPECT_EQ(board.latches.digits[i], pattern) << "digit " << i;
        ++i;
    }
}

TEST(DigitLatches, SelectBitsPickDigitsFromLeftToRight) {
    for (int bit = 0; bit < 6; ++bit) {
        SCOPED_TRACE(bit);
        BoardFixture f;
        f.Out(0x02, static_cast<std::uint8_t>(0xC0 | (1u << bit)));  // high bits are not part of the select
        f.Out(0x01, kOne);
        for (int digit = 0; digit < kDigitCount; ++digit) {
            EXPECT_EQ(f.board.latches.digits[digit], digit == 5 - bit ? kOne : 0x00) << "digit " << digit;
        }
    }
}

TEST(DigitLatches, SeveralSelectedDigitsTakeOnePatternTogether) {
    BoardFixture f;
    f.Out(0x02, 0x3F);
    f.Out(0x01, kZero);
    ExpectDigits(f.board, {kZero, kZero, kZero, kZero, kZero, kZero});
    f.Out(0x02, 0x21);  // the outer two
    f.Out(0x01, kOne);
    ExpectDigits(f.board, {kOne, kZero, kZero, kZero, kZero, kOne});
}

TEST(DigitLatches, NothingIsLatchedWithNoDigitSelected) {
    BoardFixture f;
    f.Out(0x02, 0x3F);
    f.Out(0x01, kZero);
    f.Out(0x02, 0x40);  // select 00h
    f.Out(0x01, kOne);
    f.Out(0x01, 0x00);
    ExpectDigits(f.board, {kZero, kZero, kZero, kZero, kZero, kZero});
    EXPECT_EQ(f.board.latches.lastSelect, 0x3F);
}

TEST(DigitLatches, ZeroUnderTheSameSelectKeepsTheDigitButBlanksAfterANewSelect) {
    BoardFixture f;
    f.Out(0x02, 0x20);
    f.Out(0x01, kOne);
    f.counts.repaints = 0;
    f.Out(0x01, 0x00);
    EXPECT_EQ(f.board.latches.digits[0], kOne);
    EXPECT_EQ(f.counts.repaints, 1);  // the port write only: nothing latched

    f.Out(0x02, 0x10);
    f.Out(0x01, kOne);
    f.Out(0x01, 0x00);  // same select as the last latch: kept
    EXPECT_EQ(f.board.latches.digits[1], kOne);

    f.Out(0x02, 0x30);  // a select that differs from the last latch's
    f.Out(0x01, 0x00);
    EXPECT_EQ(f.board.latches.digits[0], 0x00);
    EXPECT_EQ(f.board.latches.digits[1], 0x00);
}

TEST(DigitLatches, ZeroAfterReselectingTheSameDigitsIsStillIgnored) {
    // Only the select byte counts, not whether port C was written in between.
    BoardFixture f;
    f.Out(0x02, 0x04);
    f.Out(0x01, kOne);
    f.Out(0x02, 0x7F);
    f.Out(0x02, 0x04);
    f.Out(0x01, 0x00);
    EXPECT_EQ(f.board.latches.digits[3], kOne);
}

TEST(DigitLatches, ANonZeroPatternUnderTheSameSelectIsLatched) {
    BoardFixture f;
    f.Out(0x02, 0x01);
    f.Out(0x01, kOne);
    f.Out(0x01, 0x40);  // the decimal point alone
    EXPECT_EQ(f.board.latches.digits[5], 0x40);
}

TEST(DigitLatches, BitSetResetOnPortCDoesNotMoveTheSelect) {
    BoardFixture f;
    f.Out(0x02, 0x20);
    f.Out(0x03, 0x0B);  // set bit 5: already set
    f.Out(0x03, 0x01);  // set bit 0: would select digit 5 if it reached the display
    f.Out(0x03, 0x0A);  // reset bit 5: would deselect digit 0
    f.Out(0x01, kOne);
    ExpectDigits(f.board, {kOne, 0, 0, 0, 0, 0});
}

TEST(DigitLatches, NeitherAModeSetNorAResetChangesTheDisplay) {
    BoardFixture f;
    f.Out(0x02, 0x08);
    f.Out(0x01, kOne);
    f.Out(0x03, 0x80);
    PpiReset(f.board);
    PressKey(f.board, 0, 0);  // RESET
    EXPECT_EQ(f.board.latches.digits[2], kOne);
    f.Out(0x01, kZero);  // the select survived too
    EXPECT_EQ(f.board.latches.digits[2], kZero);
}

}  // namespace
