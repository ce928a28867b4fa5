#include "board/digit_latches.h"

void SelectDigits(DigitLatches& latches, std::uint8_t value) {
    latches.select = static_cast<std::uint8_t>(value & 0x3F);
}

bool LatchSegments(DigitLatches& latches, std::uint8_t pattern) {
    // 00h under an unchanged select is ignored: a program that blanks port B
    // between digits keeps the digit it has just latched.
    if (latches.select == latches.lastSelect && pattern == 0x00) return false;
    if (latches.select == 0) return false;
    for (int i = 0; i < kDigitCount; ++i) {
        if (IsDigitSelected(latches.select, i)) latches.digits[i] = pattern;
    }
    latches.lastSelect = latches.select;
    return true;
}
