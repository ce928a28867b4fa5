#include "board/key_matrix.h"

namespace {

constexpr KeyCell Key(const char* legend, int row, int column) {
    return KeyCell{legend, KeyKind::Matrix, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column)};
}
constexpr KeyCell Action(const char* legend, KeyKind kind) { return KeyCell{legend, kind, 0, 0}; }

}  // namespace

// The hexadecimal keys sit at matrix row 3 - (value & 3), column value >> 2.
const KeyCell kKeypadGrid[kGridRows][kGridColumns] = {
    {Action("RESET", KeyKind::Reset), Key("MOVE", 5, 5), Key("INS", 5, 4), Key("SBR", 5, 0), Key("PC", 4, 1),
     Key("C", 3, 3), Key("D", 2, 3), Key("E", 1, 3), Key("F", 0, 3)},
    {Action("MONI", KeyKind::Monitor), Key("RELA", 4, 5), Key("DEL", 4, 4), Key("CBR", 4, 0), Key("REG", 4, 2),
     Key("8", 3, 2), Key("9", 2, 2), Key("A", 1, 2), Key("B", 0, 2)},
    {Action("INTR", KeyKind::Interrupt), Action("TAPE WR", KeyKind::TapeWrite), Key("STEP", 2, 4), Key("-", 5, 1),
     Key("DATA", 5, 2), Key("4", 3, 1), Key("5", 2, 1), Key("6", 1, 1), Key("7", 0, 1)},
    {Action("USER KEY", KeyKind::User), Action("TAPE RD", KeyKind::TapeRead), Key("GO", 3, 4), Key("+", 5, 3),
     Key("ADDR", 4, 3), Key("0", 3, 0), Key("1", 2, 0), Key("2", 1, 0), Key("3", 0, 0)},
};

const KeyCell* KeyAtGrid(int gridRow, int gridColumn) {
    if (gridRow < 0 || gridRow >= kGridRows || gridColumn < 0 || gridColumn >= kGridColumns) return nullptr;
    return &kKeypadGrid[gridRow][gridColumn];
}

std::uint8_t ScanKeyMatrix(KeyMatrix& keys, std::uint8_t portC) {
    unsigned result = 0xFF;
    for (int row = kMatrixRows - 1; row >= 0; --row) {
        if ((portC >> row) & 1) continue;
        for (int column = 0; column < kMatrixColumns; ++column) {
            if (keys.pressed[row][column] != 0) {
                result &= ~(1u << column);
                keys.pressed[row][column] = 0;
            }
        }
        break;  // the highest selected row wins
    }
    if (keys.userKeyPending != 0) {
        result &= ~0x40u;
        keys.userKeyPending = 0;
    }
    return static_cast<std::uint8_t>(result | 0x80);
}
