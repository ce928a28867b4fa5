// The 8255 and the board's port map: what writes change, what reads return,
// the two senses of the step NMI on port C bit 6, and the repaint requests.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace {

TEST(PpiReads, PortsBAndCReadZeroAndControlReadsTheLastModeSet) {
    BoardFixture f;
    EXPECT_EQ(f.In(0x03), 0x80);
    f.Out(0x01, 0x5A);
    f.Out(0x02, 0x5A);
    EXPECT_EQ(f.In(0x01), 0x00);
    EXPECT_EQ(f.In(0x02), 0x00);
    EXPECT_EQ(f.board.ppi.portB, 0x5A);
    EXPECT_EQ(f.board.ppi.portC, 0x5A);

    f.Out(0x03, 0x92);
    EXPECT_EQ(f.In(0x03), 0x92);
    f.Out(0x03, 0x0D);  // bit set/reset does not replace the control word
    EXPECT_EQ(f.In(0x03), 0x92);
}

TEST(PpiPortMap, OnlyPorts0To3ReachThe8255) {
    BoardFixture f;
    f.Out(0x03, 0x92);
    for (int port : {0x0004, 0x0007, 0x0083, 0x00FF, 0x0103, 0xFF00}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(f.In(static_cast<std::uint16_t>(port)), 0xFF);
        f.Out(static_cast<std::uint16_t>(port), 0x00);  // would arm the step NMI if it reached port C
    }
    EXPECT_EQ(f.board.ppi.control, 0x92);
    EXPECT_EQ(f.board.ppi.portC, 0x00);
    EXPECT_EQ(f.board.run.stepNmiArmed, 0);
    EXPECT_EQ(f.counts.repaints, 1);  // the mode set only
}

TEST(PpiPortMap, TheCpuReachesThePortsThroughInAndOut) {
    BoardFixture f;
    Program p;
    p.LdA(0x3B).OutA(0x02);      // select row 2 (and digit 2)
    p.LdA(0x30).OutA(0x01);      // latch a "1" into digit 2
    p.InA(0x00).StoreA(0x2000);  // scan row 2
    p.Emit({0x01, 0x03, 0x12});  // LD BC,1203h
    p.Emit({0xED, 0x78});        // IN A,(C): port 03h whatever B holds
    p.StoreA(0x2001);
    f.Load(kProgramStart, p.bytes);
    PressKey(f.board, 2, 6);  // the 5 key: row 2, column 1
    f.Steps(p.instructions);
    EXPECT_EQ(f.board.memory.bytes[0x2000], 0xFD);
    EXPECT_EQ(f.board.memory.bytes[0x2001], 0x80);
    EXPECT_EQ(f.board.latches.digits[2], 0x30);
    EXPECT_EQ(f.board.run.stepNmiArmed, 1);  // 3Bh has bit 6 low
}

struct PortCWrite {
    const char* what;
    std::uint8_t port;
    std::uint8_t value;
    std::uint8_t portCAfter;
    std::uint8_t armedAfter;
};

TEST(PpiWrites, PortCBit6ArmsTheStepNmiWithOppositeSensesForDirectAndBitSetReset) {
    // Each row starts from port C = 55h, select 15h, not armed.
    const PortCWrite table[] = {
        {"direct, bit 6 low", 0x02, 0x00, 0x00, 1},
        {"direct, bit 6 high", 0x02, 0x40, 0x40, 0},
        {"direct, bit 6 low, other bits high", 0x02, 0xBF, 0xBF, 1},
        {"bit set, bit 6", 0x03, 0x0D, 0x55, 1},
        {"bit reset, bit 6", 0x03, 0x0C, 0x15, 0},
        {"bit set, bit 7", 0x03, 0x0F, 0xD5, 1},    // bit 6 was already high
        {"bit reset, bit 0", 0x03, 0x00, 0x54, 1},  // the flag follows bit 6 on any bit set/reset
        {"bit set, bit 1", 0x03, 0x03, 0x57, 1},
        {"bit set, bit 0, high bits of the value ignored", 0x03, 0x71, 0x55, 1},
    };
    for (const PortCWrite& row : table) {
        SCOPED_TRACE(row.what);
        BoardFixture f;
        f.Out(0x02, 0x55);
        f.board.run.stepNmiArmed = 0;
        f.Out(row.port, row.value);
        EXPECT_EQ(f.board.ppi.portC, row.portCAfter);
        EXPECT_EQ(f.board.run.stepNmiArmed, row.armedAfter);
        // Only a direct write moves the digit select.
        EXPECT_EQ(f.board.latches.select, row.port == 0x02 ? (row.value & 0x3F) : 0x15);
    }
}

TEST(PpiWrites, BitSetResetThatLeavesBit6LowDisarms) {
    BoardFixture f;
    f.Out(0x02, 0x00);  // armed by the direct write, bit 6 low
    ASSERT_EQ(f.board.run.stepNmiArmed, 1);
    f.Out(0x03, 0x01);  // set bit 0; bit 6 still low
    EXPECT_EQ(f.board.run.stepNmiArmed, 0);
}

TEST(PpiWrites, AModeSetClearsThePortLatchesOnly) {
    BoardFixture f;
    f.Out(0x00, 0x11);
    f.Out(0x02, 0x20);  // select digit 0, armed
    f.Out(0x01, 0x30);
    f.Out(0x03, 0x80);
    EXPECT_EQ(f.board.ppi.control, 0x80);
    EXPECT_EQ(f.board.ppi.portA, 0x00);
    EXPECT_EQ(f.board.ppi.portB, 0x00);
    EXPECT_EQ(f.board.ppi.portC, 0x00);
    EXPECT_EQ(f.board.run.stepNmiArmed, 1);
    EXPECT_EQ(f.board.latches.select, 0x20);
    EXPECT_EQ(f.board.latches.digits[0], 0x30);

    f.Out(0x02, 0x40);  // disarmed; a mode set does not re-arm although bit 6 drops
    f.Out(0x03, 0x9B);
    EXPECT_EQ(f.board.run.stepNmiArmed, 0);
    EXPECT_EQ(f.board.latches.select, 0x00);  // from the direct write of 40h
}

TEST(PpiWrites, PortAWritesOnlyStoreTheLatch) {
    BoardFixture f;
    f.Out(0x02, 0x7F);  // no row, disarmed
    f.Out(0x00, 0x00);
    EXPECT_EQ(f.board.ppi.portA, 0x00);
    EXPECT_EQ(f.board.ppi.portC, 0x7F);
    EXPECT_EQ(f.board.run.stepNmiArmed, 0);
    EXPECT_EQ(f.board.latches.select, 0x3F);
}

TEST(PpiWrites, BitSetResetChoosesTheKeypadRowForLaterScans) {
    BoardFixture f;
    f.Out(0x02, 0x7F);        // no row selected
    PressKey(f.board, 1, 6);  // 9: row 2, column 2
    EXPECT_EQ(f.In(0x00), 0xFF);
    f.Out(0x03, 0x04);  // reset bit 2
    EXPECT_EQ(f.board.ppi.portC, 0x7B);
    EXPECT_EQ(f.In(0x00), 0xFB);
}

TEST(PpiRepaint, EveryWriteToThe8255AsksForARepaintAndALatchAsksOnceMore) {
    struct Case {
        std::uint8_t port, value;
        int repaints;
    };
    // Select 20h is set before each write; the last latch was under select 00h.
    const Case table[] = {
        {0x00, 0x00, 1}, {0x02, 0x00, 1}, {0x03, 0x80, 1},
        {0x03, 0x0D, 1}, {0x01, 0x30, 2},  // latched: the display changed
        {0x04, 0x30, 0}, {0x05, 0x00, 0},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(testing::Message() << "port " << int(c.port) << " value " << int(c.value));
        BoardFixture f;
        f.Out(0x02, 0x20);
        f.counts.repaints = 0;
        f.Out(c.port, c.value);
        EXPECT_EQ(f.counts.repaints, c.repaints);
    }
}

TEST(PpiRepaint, APortBWriteThatLatchesNothingStillAsksOnce) {
    BoardFixture f;
    f.Out(0x01, 0x30);  // select 00h: nothing latched
    EXPECT_EQ(f.counts.repaints, 1);
}

TEST(PpiReset, RestoresTheStartStateButKeepsDisplayUserKeyAndStepFlag) {
    BoardFixture f;
    f.Out(0x03, 0x9B);
    f.Out(0x02, 0x20);
    f.Out(0x01, 0xBD);
    PressKey(f.board, 0, 1);  // MOVE
    PressKey(f.board, 3, 0);  // USER KEY
    f.counts.repaints = 0;

    PpiReset(f.board);
    EXPECT_EQ(f.board.ppi.control, 0x80);
    EXPECT_EQ(f.board.ppi.portA, 0x00);
    EXPECT_EQ(f.board.ppi.portB, 0x00);
    EXPECT_EQ(f.board.ppi.portC, 0x00);
    EXPECT_EQ(f.board.keys.pressed[5][5], 0);
    EXPECT_EQ(f.board.keys.userKeyPending, 1);
    EXPECT_EQ(f.board.run.stepNmiArmed, 1);
    EXPECT_EQ(f.board.latches.digits[0], 0xBD);
    EXPECT_EQ(f.board.latches.select, 0x20);
    EXPECT_EQ(f.board.latches.lastSelect, 0x20);
    EXPECT_EQ(f.counts.repaints, 1);
}

}  // namespace
