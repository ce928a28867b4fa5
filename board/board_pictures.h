// The two pictures the board is drawn from, and the colours of the display's
// segments: one place for the window's panels, the page and the tests.
#pragma once

#include <cstdint>

// The board picture, with the display window the digits are drawn into, sits
// above the keypad picture; both are as wide as the window's client area.
constexpr int kBoardPictureWidth = 540;
constexpr int kBoardPictureHeight = 498;
constexpr int kKeypadPictureWidth = 540;
constexpr int kKeypadPictureHeight = 240;

// Each segment is filled in one of these and outlined in black.
struct SegmentColour {
    std::uint8_t red, green, blue;
};
constexpr SegmentColour kLitSegmentColour{255, 64, 64};
constexpr SegmentColour kUnlitSegmentColour{96, 0, 0};
