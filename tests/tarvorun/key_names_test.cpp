// Key names for --keys.
#include <memory>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/key_actions.h"
#include "board/key_names.h"

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

}  // namespace
