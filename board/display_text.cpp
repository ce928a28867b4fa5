#include "board/display_text.h"

#include <cstdio>

namespace {

constexpr std::uint8_t A = kSegmentA, B = kSegmentB, C = kSegmentC, D = kSegmentD, E = kSegmentE, F = kSegmentF,
                       G = kSegmentG;

struct Glyph {
    std::uint8_t segments;
    char character;
};

// No pattern may appear twice: the first entry would hide the second.
constexpr Glyph kGlyphs[] = {
    {0, ' '},
    {A | B | C | D | E | F, '0'},
    {B | C, '1'},
    {A | B | G | E | D, '2'},
    {A | B | G | C | D, '3'},
    {F | G | B | C, '4'},
    {A | F | G | C | D, '5'},
    {A | F | G | E | D | C, '6'},
    {A | B | C, '7'},
    {A | B | C | F, '7'},  // the variant with the upper left stroke
    {A | B | C | D | E | F | G, '8'},
    {A | B | C | D | F | G, '9'},
    {A | B | C | F | G, '9'},  // the variant without the tail
    {A | B | C | E | F | G, 'A'},
    {F | E | D | C | G, 'B'},
    {A | F | E | D, 'C'},
    {B | C | D | E | G, 'D'},
    {A | F | G | E | D, 'E'},
    {A | F | G | E, 'F'},
    {A | F | E | D | C, 'G'},
    {F | E | G | B | C, 'H'},
    {F | E | G | C, 'h'},
    {B | C | D, 'J'},
    {F | E | D, 'L'},
    {A | B | F | G | E, 'P'},
    {E | G, 'r'},
    {E | G | C, 'n'},
    {C | D | E | G, 'o'},
    {G | E | D, 'c'},
    {E | D | C, 'u'},
    {F | E | D | C | B, 'U'},
    {F | G | E | D, 't'},
    {B | C | D | F | G, 'y'},
    {G, '-'},
    {D, '_'},
};

}  // namespace

char SegmentCharacter(std::uint8_t pattern) {
    const auto segments = static_cast<std::uint8_t>(pattern & ~kSegmentPoint);
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.segments == segments) return glyph.character;
    }
    return '?';
}

std::string DisplayText(const DigitLatches& latches) {
    std::string text;
    for (std::uint8_t pattern : latches.digits) {
        text += SegmentCharacter(pattern);
        if ((pattern & kSegmentPoint) != 0) text += '.';
    }
    return text;
}

std::string SegmentPatternsText(const DigitLatches& latches) {
    std::string text;
    for (std::uint8_t pattern : latches.digits) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(pattern));
        if (!text.empty()) text += ' ';
        text += hex;
    }
    return text;
}
