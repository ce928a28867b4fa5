// The keypad: where each key lands in the matrix, how a port A read reports
// and consumes presses, and the keys that act at once.
#include <string>

#include <gtest/gtest.h>

#include "board_fixture.h"

namespace {

// Selects one matrix row with a direct port C write (bit 6 high: not armed).
std::uint8_t ScanRow(BoardFixture& f, int row) {
    f.Out(0x02, static_cast<std::uint8_t>(0x7F & ~(1u << row)));
    return f.In(0x00);
}

struct KeyPlace {
    int gridRow, gridColumn;
    const char* legend;
    int matrixRow, matrixColumn;
};

// Grid position from the keypad picture, matrix position from the scan
// (row = port C bit held low, column = port A bit that goes low).
// clang-format off
const KeyPlace kMatrixKeys[] = {
    {3, 8, "3", 0, 0},     {2, 8, "7", 0, 1},    {1, 8, "B", 0, 2},    {0, 8, "F", 0, 3},
    {3, 7, "2", 1, 0},     {2, 7, "6", 1, 1},    {1, 7, "A", 1, 2},    {0, 7, "E", 1, 3},
    {3, 6, "1", 2, 0},     {2, 6, "5", 2, 1},    {1, 6, "9", 2, 2},    {0, 6, "D", 2, 3},
    {2, 2, "STEP", 2, 4},  {3, 5, "0", 3, 0},    {2, 5, "4", 3, 1},    {1, 5, "8", 3, 2},
    {0, 5, "C", 3, 3},     {3, 2, "GO", 3, 4},   {1, 3, "CBR", 4, 0},  {0, 4, "PC", 4, 1},
    {1, 4, "REG", 4, 2},   {3, 4, "ADDR", 4, 3}, {1, 2, "DEL", 4, 4},  {1, 1, "RELA", 4, 5},
    {0, 3, "SBR", 5, 0},   {2, 3, "-", 5, 1},    {2, 4, "DATA", 5, 2}, {3, 3, "+", 5, 3},
    {0, 2, "INS", 5, 4},   {0, 1, "MOVE", 5, 5},
};
// clang-format on

TEST(KeypadLayout, EveryMatrixKeyIsReportedByExactlyOneRowAndBit) {
    for (const KeyPlace& key : kMatrixKeys) {
        SCOPED_TRACE(key.legend);
        BoardFixture f;
        EXPECT_EQ(std::string(KeyAtGrid(key.gridRow, key.gridColumn)->legend), key.legend);
        PressKey(f.board, key.gridRow, key.gridColumn);
        for (int row = 0; row < kMatrixRows; ++row) {
            const std::uint8_t expected =
                row == key.matrixRow ? static_cast<std::uint8_t>(0xFF & ~(1u << key.matrixColumn)) : std::uint8_t{0xFF};
            EXPECT_EQ(ScanRow(f, row), expected) << "row " << row;
        }
    }
}

TEST(KeyScan, OneReadReportsAPressAndConsumesIt) {
    BoardFixture f;
    PressKey(f.board, 2, 6);  // 5
    f.Out(0x02, 0x3B);        // row 2
    EXPECT_EQ(f.In(0x00), 0xFD);
    EXPECT_EQ(f.In(0x00), 0xFF);
}

TEST(KeyScan, PressesInOtherRowsStayPending) {
    BoardFixture f;
    PressKey(f.board, 2, 6);  // 5: row 2
    PressKey(f.board, 1, 2);  // DEL: row 4
    PressKey(f.board, 3, 4);  // ADDR: row 4
    f.Out(0x02, 0x3B);
    EXPECT_EQ(f.In(0x00), 0xFD);
    EXPECT_EQ(f.In(0x00), 0xFF);
    EXPECT_EQ(ScanRow(f, 4), 0xE7);  // bits 3 and 4
    EXPECT_EQ(ScanRow(f, 4), 0xFF);
}

TEST(KeyScan, TwoKeysOfOneRowComeInOneRead) {
    BoardFixture f;
    PressKey(f.board, 3, 5);  // 0
    PressKey(f.board, 2, 5);  // 4
    EXPECT_EQ(ScanRow(f, 3), 0xFC);
}

TEST(KeyScan, PressingAKeyTwiceBeforeAScanReportsOnePress) {
    BoardFixture f;
    PressKey(f.board, 3, 2);  // GO
    PressKey(f.board, 3, 2);
    EXPECT_EQ(ScanRow(f, 3), 0xEF);
    EXPECT_EQ(ScanRow(f, 3), 0xFF);
}

TEST(KeyScan, WithSeveralRowsLowTheHighestIsScanned) {
    BoardFixture f;
    PressKey(f.board, 3, 8);  // 3: row 0
    PressKey(f.board, 3, 5);  // 0: row 3
    f.Out(0x02, 0x76);        // bits 0 and 3 low
    EXPECT_EQ(f.In(0x00), 0xFE);
    EXPECT_EQ(ScanRow(f, 0), 0xFE);  // row 0 was not touched
}

TEST(KeyScan, WithNoRowSelectedNoKeyIsReportedOrConsumed) {
    BoardFixture f;
    PressKey(f.board, 1, 1);  // RELA: row 4
    for (int portC : {0x3F, 0x7F, 0xFF}) {
        f.Out(0x02, static_cast<std::uint8_t>(portC));
        EXPECT_EQ(f.In(0x00), 0xFF);
    }
    // A mode set leaves port C at 00h: every row low, so row 5 is scanned.
    f.Out(0x03, 0x80);
    EXPECT_EQ(f.In(0x00), 0xFF);
    EXPECT_EQ(ScanRow(f, 4), 0xDF);
}

TEST(KeyScan, UserKeyIsReportedInBit6WhateverTheRowAndOnlyOnce) {
    for (int portC : {0x3E, 0x1F, 0x3F, 0x00}) {
        SCOPED_TRACE(int(portC));
        BoardFixture f;
        PressKey(f.board, 3, 0);
        PressKey(f.board, 3, 0);
        f.Out(0x02, static_cast<std::uint8_t>(portC));
        EXPECT_EQ(f.In(0x00), 0xBF);
        EXPECT_EQ(f.In(0x00), 0xFF);
    }
}

TEST(KeyScan, UserKeyAndAMatrixKeyShareARead) {
    BoardFixture f;
    PressKey(f.board, 3, 0);
    PressKey(f.board, 0, 8);  // F: row 0, bit 3
    EXPECT_EQ(ScanRow(f, 0), 0xB7);
}

TEST(KeyActions, ResetRestartsTheCpuAndKeepsPendingPresses) {
    BoardFixture f;
    f.Out(0x02, 0x20);
    f.Out(0x01, 0x30);
    f.board.cpu.PC = 0x1234;
    f.board.memory.bytes[0x2000] = 0xA5;
    PressKey(f.board, 2, 6);  // 5
    PressKey(f.board, 0, 0);  // RESET
    EXPECT_EQ(f.board.cpu.PC, 0x0000);
    EXPECT_EQ(f.board.memory.bytes[0x2000], 0xA5);
    EXPECT_EQ(f.board.latches.digits[0], 0x30);
    EXPECT_EQ(f.board.ppi.portC, 0x20);
    EXPECT_TRUE(f.board.run.running);
    EXPECT_EQ(ScanRow(f, 2), 0xFD);
}

TEST(KeyActions, MoniTakesTheNmiAtOnceEvenWithInterruptsOff) {
    BoardFixture f;
    f.board.cpu.PC = 0x1ABC;
    f.board.cpu.IFF1 = 0;
    PressKey(f.board, 1, 0);
    EXPECT_EQ(f.board.cpu.PC, 0x0066);
    EXPECT_EQ(f.board.cpu.SP, kStackTop - 2);
    EXPECT_EQ(f.board.memory.bytes[kStackTop - 2], 0xBC);
    EXPECT_EQ(f.board.memory.bytes[kStackTop - 1], 0x1A);
}

TEST(KeyActions, IntrWithInterruptsOffIsLost) {
    BoardFixture f;
    Program p;
    p.Im1().Ei().Nops(4);
    f.Load(kProgramStart, p.bytes);
    const CpuState before = f.board.cpu;
    PressKey(f.board, 2, 0);  // before EI: ignored
    EXPECT_EQ(f.board.cpu.PC, before.PC);
    EXPECT_EQ(f.board.cpu.SP, before.SP);
    EXPECT_EQ(f.board.cpu.R, before.R);
    EXPECT_EQ(f.board.cpu.IFF2, before.IFF2);
    f.Steps(p.instructions);
    EXPECT_EQ(f.board.cpu.PC, p.End());  // nothing came back after EI
    EXPECT_EQ(f.board.cpu.SP, kStackTop);

    PressKey(f.board, 2, 0);  // now accepted, mode 1
    EXPECT_EQ(f.board.cpu.PC, 0x0038);
    EXPECT_EQ(f.board.cpu.IFF1, 0);
}

TEST(KeyActions, TapeKeysRunTheirFileCommands) {
    BoardFixture f;
    PressKey(f.board, 2, 1);  // TAPE WR
    EXPECT_EQ(f.counts.saveHex, 1);
    EXPECT_EQ(f.counts.openHex, 0);
    PressKey(f.board, 3, 1);  // TAPE RD
    EXPECT_EQ(f.counts.openHex, 1);
    EXPECT_EQ(f.counts.saveHex, 1);

    f.board.hooks = BoardHooks{};  // nobody listening: nothing happens
    PressKey(f.board, 3, 1);
    EXPECT_EQ(f.counts.openHex, 1);
}

TEST(KeyActions, PositionsOutsideTheGridDoNothing) {
    BoardFixture f;
    const auto cpuBefore = f.board.cpu;
    for (auto [row, column] : {std::pair{4, 0}, {0, 9}, {3, 9}, {-1, 0}, {0, -1}, {100, 100}}) {
        PressKey(f.board, row, column);
    }
    for (int row = 0; row < kMatrixRows; ++row) EXPECT_EQ(ScanRow(f, row), 0xFF);
    EXPECT_EQ(f.board.cpu.PC, cpuBefore.PC);
    EXPECT_EQ(f.board.cpu.SP, cpuBefore.SP);
    EXPECT_EQ(f.counts.openHex + f.counts.saveHex, 0);
}

}  // namespace
