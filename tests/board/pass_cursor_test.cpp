// The pass cursor: a run stopped anywhere inside its passes goes on as whole
// idle passes would have run, and its stops come where they are asked for.
#include <cstring>

#include <gtest/gtest.h>

#include "board/pass_cursor.h"
#include "board_fixture.h"

namespace {

constexpr auto kNever = [](const Board&) { return false; };

TEST(PassCursor, ARunCutAnywhereEndsAsWholePasses) {
    BoardFixture cut;
    BoardFixture whole;
    for (BoardFixture* f : {&cut, &whole}) f->LoadDriftingArming();
    BoardCpu access(cut.board);
    PassCursor<BoardCpuBus> cursor(cut.board, access.bus);
    std::uint64_t ran = 0;
    for (std::uint64_t round = 1; round <= 200; ++round) {
        cursor.Step();
        ++ran;
        ran += cursor.RunUntil(round % 23, kNever);  // ends anywhere in a pass, or not at all
        if (round % 3 == 0) ran += cursor.FinishPass();
        ran += cursor.RunPasses(round % 5);
    }
    ran += cursor.FinishPass();
    EXPECT_EQ(cursor.Position(), 0);
    ASSERT_EQ(ran % kInstructionsPerPass, 0u);

    RunIdlePasses(whole.board, ran / kInstructionsPerPass);
    EXPECT_EQ(std::memcmp(&cut.board.cpu, &whole.board.cpu, sizeof(CpuState)), 0);
    EXPECT_EQ(cut.board.tStates, whole.board.tStates);
    EXPECT_GT(whole.board.tStates, 4 * ran);
    EXPECT_EQ(cut.board.run.stepNmiArmed, whole.board.run.stepNmiArmed);
    EXPECT_EQ(cut.board.run.stepNmiCountdown, whole.board.run.stepNmiCountdown);
    EXPECT_EQ(std::memcmp(cut.board.memory.bytes, whole.board.memory.bytes, 65536), 0);
    EXPECT_GT(whole.board.memory.bytes[kDriftingArmingNmiCount], 10);  // NMIs came
}

TEST(PassCursor, RunUntilStopsBeforeTheMatchButNeverBeforeItsFirstInstruction) {
    BoardFixture f;  // a NOP sled from 1800h
    BoardCpu access(f.board);
    PassCursor<BoardCpuBus> cursor(f.board, access.bus);
    const auto atBreakpoint = [](const Board& b) { return b.cpu.PC == kProgramStart + 13 || b.cpu.PC == 0x1900; };
    EXPECT_EQ(cursor.RunUntil(100, atBreakpoint), 13u);
    EXPECT_EQ(f.board.cpu.PC, kProgramStart + 13);
    EXPECT_EQ(cursor.Position(), 3);
    EXPECT_EQ(cursor.RunUntil(100, atBreakpoint), 100u);  // goes on from where it stopped
    EXPECT_EQ(cursor.RunUntil(1000, atBreakpoint), 256u - 113u);
    EXPECT_EQ(cursor.Position(), 6);
    EXPECT_EQ(cursor.FinishPass(), 4u);
    EXPECT_EQ(cursor.FinishPass(), 0u);
    EXPECT_EQ(cursor.RunPasses(2), 20u);
    EXPECT_EQ(f.board.cpu.PC, 0x1900 + 24);
}

TEST(PassCursor, NothingRunsBeforeTheBoardHasStarted) {
    BoardFixture f;
    f.board.run.running = false;
    BoardCpu access(f.board);
    PassCursor<BoardCpuBus> cursor(f.board, access.bus);
    EXPECT_FALSE(cursor.Step());
    EXPECT_EQ(cursor.RunUntil(50, kNever), 0u);
    EXPECT_EQ(cursor.RunPasses(5), 0u);
    EXPECT_EQ(f.board.cpu.PC, kProgramStart);
    EXPECT_EQ(cursor.Position(), 0);
}

}  // namespace
