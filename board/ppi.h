// The board's 8255 at ports 00h-03h: port A reads the keypad, port B drives
// the segment lines, port C selects digits and keypad rows (bits 0 to 5) and
// arms the single-step NMI (bit 6), port 03h is the control register.
//
// A functional model: the mode and direction bits of the control word are
// stored but never consulted; every port behaves the same in every mode.
#pragma once

#include <cstdint>

struct Board;

struct PpiState {
    std::uint8_t control;  // last mode-set word; 80h after PpiReset
    std::uint8_t portA;    // output latches; nothing reads them back
    std::uint8_t portB;
    std::uint8_t portC;  // bits 0-5 keypad row and digit select, bit 6 step NMI
};

// The 8255's start state: control 80h, port latches 0, no key pending, and a
// repaint request. The digit latches, the USER KEY and the step NMI flag keep
// their values.
void PpiReset(Board& board);

// The chip itself; index is the port number's low two bits.
std::uint8_t PpiRead(Board& board, unsigned index);
void PpiWrite(Board& board, unsigned index, std::uint8_t value);
