// Key names for --keys, and the display as text.
#include <memory>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/idle_pass.h"
#include "board/key_actions.h"
#include "tarvorun_keys.h"
#include "tarvorun_segments.h"

namespace {

TEST(KeyNames, NamesReachTheirMatrixPlaces) {
    struct Case {
        const char* name;
        int matrixRow, matrixColumn;
    };
    // clang-format off
    const Case cases[] = {
        {"0", 3, 0},    {"3", 0, 0},     {"7", 0, 1},     {"a", 1, 2},    {"F", 0, 3},     {"c", 3, 3},
        {"GO", 3, 4},   {"step", 2, 4},  {"ADDR", 4, 3},  {"Data", 5, 2}, {"+", 5, 3},     {"PLUS", 5, 3},
        {"-", 5, 1},    {"minus", 5, 1}, {"REG", 4, 2},   {"PC", 4, 1},   {"INS", 5, 4},   {"DEL", 4, 4},
        {"MOVE", 5, 5}, {"RELA", 4, 5},  {"SBR", 5, 0},   {"CBR", 4, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyStroke key{};
        ASSERT_TRUE(FindKey(c.name, key));
        EXPECT_EQ(key.kind, KeyKind::Matrix);
        auto board = std::make_unique<Board>();
        PressKey(*board, key.gridRow, key.gridColumn);
        EXPECT_EQ(board->keys.pressed[c.matrixRow][c.matrixColumn], 1);
    }
}

TEST(KeyNames, ActionKeysAndUnknownNames) {
    KeyStroke key{};
    ASSERT_TRUE(FindKey("reset", key));
    EXPECT_EQ(key.kind, KeyKind::Reset);
    ASSERT_TRUE(FindKey("MONI", key));
    EXPECT_EQ(key.kind, KeyKind::Monitor);
    ASSERT_TRUE(FindKey("INTR", key));
    EXPECT_EQ(key.kind, KeyKind::Interrupt);
    ASSERT_TRUE(FindKey("USER", key));
    EXPECT_EQ(key.kind, KeyKind::User);
    ASSERT_TRUE(FindKey("userkey", key));
    EXPECT_EQ(key.kind, KeyKind::User);
    for (const char* bad : {"", "G", "10", "0x1", "ADDRESS", "TAPE", "++"}) {
        EXPECT_FALSE(FindKey(bad, key)) << bad;
    }
}

TEST(KeyNames, ParseKeysSplitsAtAnyWhiteSpaceAndKeepsOrder) {
    std::vector<KeyStroke> keys;
    std::string error;
    ASSERT_TRUE(ParseKeys("\tADDR  1\n8 0 0 DATA 3 E GO ", keys, error)) << error;
    ASSERT_EQ(keys.size(), 9u);
    EXPECT_EQ(keys[0].name, "ADDR");
    EXPECT_EQ(keys[8].name, "GO");
    std::vector<KeyStroke> none;
    EXPECT_TRUE(ParseKeys("   ", none, error));
    EXPECT_TRUE(none.empty());
}

TEST(KeyNames, WaitTokensTakeANumberOfPassesFromOne) {
    std::vector<KeyStroke> keys;
    std::string error;
    ASSERT_TRUE(ParseKeys("GO wait:20000 Wait:1 MONI", keys, error)) << error;
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].waitPasses, 0u);
    EXPECT_EQ(keys[1].waitPasses, 20000u);
    EXPECT_EQ(keys[2].waitPasses, 1u);
    EXPECT_EQ(keys[3].kind, KeyKind::Monitor);
    for (const char* bad : {"wait:", "wait:0", "wait:x", "wait:-1", "wait:1e3", "wait:99999999999999999999"}) {
        EXPECT_FALSE(ParseKeys(bad, keys, error)) << bad;
        EXPECT_NE(error.find(std::string("'") + bad + "'"), std::string::npos) << error;
    }
}

TEST(KeyNames, PressPrefixPressesWithoutWaiting) {
    std::vector<KeyStroke> keys;
    std::string error;
    ASSERT_TRUE(ParseKeys("press:DEL PRESS:5 del", keys, error)) << error;
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].name, "press:DEL");
    EXPECT_EQ(keys[1].gridColumn, 6);
    EXPECT_FALSE(keys[0].waitForScan);
    EXPECT_FALSE(keys[1].waitForScan);
    EXPECT_TRUE(keys[2].waitForScan);
    for (const char* bad : {"press:", "press:XYZ", "press:TAPERD", "pres:DEL"}) {
        std::vector<KeyStroke> refused;
        EXPECT_FALSE(ParseKeys(bad, refused, error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
}

TEST(SegmentText, HexDigitsAndLettersDecode) {
    struct Case {
        std::uint8_t pattern;
        char character;
    };
    // Patterns written out segment by segment: e 01, g 02, f 04, a 08, b 10, c 20, d 80.
    const Case cases[] = {
        {0xBD, '0'}, {0x30, '1'}, {0x9B, '2'}, {0xBA, '3'}, {0x36, '4'}, {0xAE, '5'}, {0xAF, '6'}, {0x38, '7'},
        {0xBF, '8'}, {0xBE, '9'}, {0x3F, 'A'}, {0xA7, 'B'}, {0x8D, 'C'}, {0xB3, 'D'}, {0x8F, 'E'}, {0x0F, 'F'},
        {0x3C, '7'}, {0x3E, '9'}, {0x37, 'H'}, {0x27, 'h'}, {0x85, 'L'}, {0x1F, 'P'}, {0x03, 'r'}, {0x23, 'n'},
        {0xA3, 'o'}, {0x83, 'c'}, {0xA1, 'u'}, {0xB5, 'U'}, {0x87, 't'}, {0xB6, 'y'}, {0xAD, 'G'}, {0xB0, 'J'},
        {0x02, '-'}, {0x80, '_'}, {0x00, ' '}, {0x01, '?'}, {0x05, '?'}, {0x99, '?'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegmentCharacter(c.pattern), c.character) << std::hex << int(c.pattern);
        // The decimal point does not change the character.
        EXPECT_EQ(SegmentCharacter(static_cast<std::uint8_t>(c.pattern | 0x40)), c.character);
    }
}

TEST(SegmentText, DisplayTextAddsAPointAfterItsDigit) {
    DigitLatches latches{{0x30, 0x40 | 0xBF, 0x00, 0x40, 0x01, 0x8F}, 0, 0};
    EXPECT_EQ(DisplayText(latches), "18.  .?E");  // digit 3 is the point alone
    EXPECT_EQ(SegmentPatternsText(latches), "30 FF 00 40 01 8F");
}

}  // namespace
