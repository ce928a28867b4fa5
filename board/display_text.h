// The six digits of the display as text: what the headless runner prints
// and what the page gives screen readers.
#pragma once

#include <cstdint>
#include <string>

#include "board/digit_latches.h"

// The character a segment pattern shows, the decimal point ignored: '0'-'9'
// and 'A'-'F' for the hexadecimal digits (the b and d shapes read as B and
// D), a few letters in the shape they have (H h L P r n o u c J U t y G),
// '-' and '_', ' ' for a dark digit, '?' for any other pattern.
char SegmentCharacter(std::uint8_t pattern);

// The six digits left to right, each followed by '.' when its point is lit.
std::string DisplayText(const DigitLatches& latches);

// The six raw patterns as two-digit hexadecimal numbers, space separated.
std::string SegmentPatternsText(const DigitLatches& latches);
