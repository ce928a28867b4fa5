// The display as text: the character each segment pattern shows, the six
// digits with their points, and the raw patterns.
#include <cstdint>

#include <gtest/gtest.h>

#include "board/display_text.h"

namespace {

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
