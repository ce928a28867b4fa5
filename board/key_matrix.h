// The keypad: 36 keys in 4 rows of 9 as printed on the board, of which 30 are
// matrix keys that wait in KeyMatrix until the program on the board scans
// their row through the 8255, and 6 act at once.
#pragma once

#include <cstdint>

constexpr int kMatrixRows = 6;     // port C bits 0 to 5
constexpr int kMatrixColumns = 6;  // port A bits 0 to 5
constexpr int kGridRows = 4;
constexpr int kGridColumns = 9;

struct KeyMatrix {
    // Nonzero: a press of the key at [row][column] that no scan has reported.
    std::uint8_t pressed[kMatrixRows][kMatrixColumns];
    std::uint8_t userKeyPending;  // reported in port A bit 6 by the next read
};

enum class KeyKind : std::uint8_t {
    Matrix,     // waits in the matrix at (matrixRow, matrixColumn)
    Reset,      // CPU reset
    Monitor,    // NMI (MONI)
    Interrupt,  // maskable interrupt, data byte 00h (INTR)
    User,       // USER KEY: port A bit 6
    TapeWrite,  // TAPE WR: save an Intel HEX file
    TapeRead,   // TAPE RD: load an Intel HEX file
};

struct KeyCell {
    const char* legend;  // as printed on the key
    KeyKind kind;
    std::uint8_t matrixRow;     // Matrix keys only
    std::uint8_t matrixColumn;  // Matrix keys only
};

// The keypad as the user sees it, [grid row][grid column], row 0 at the top.
extern const KeyCell kKeypadGrid[kGridRows][kGridColumns];

// The key at a grid position, or null outside the 4 by 9 grid.
const KeyCell* KeyAtGrid(int gridRow, int gridColumn);

// A read of port A with the given port C latch: the row is the highest of port
// C bits 0 to 5 that is 0. Every pending press of that row is reported as a 0
// bit and forgotten; a pending USER KEY is reported as bit 6 = 0 and
// forgotten; bit 7 is always 1. With none of bits 0 to 5 at 0 no row is
// selected and no key bit is reported (the USER KEY still is).
std::uint8_t ScanKeyMatrix(KeyMatrix& keys, std::uint8_t portC);
