// The idle pass and the single-step NMI: ten instructions a pass, the NMI
// between the first and the second instruction of the sixth pass that finds
// the flag set.
#include <gtest/gtest.h>

#include <cstring>

#include "board_fixture.h"

namespace {

constexpr std::uint16_t kNmiEntry = 0x0066;

// The NMI handler spins in place, so the stack shows how many NMIs came and,
// through the pushed address, where in the NOP sled the CPU was.
struct StepNmiFixture : BoardFixture {
    StepNmiFixture() {
        Load(kNmiEntry, {0x18, 0xFE});  // JR $ (written straight into the ROM area)
        board.cpu.AF = 0x0000;          // A = 00h: OUT (02h),A arms the step NMI
    }
    int NmisTaken() const { return (kStackTop - board.cpu.SP) / 2; }
    std::uint16_t LastReturnAddress() const {
        return static_cast<std::uint16_t>(board.memory.bytes[board.cpu.SP] | board.memory.bytes[board.cpu.SP + 1] << 8);
    }
    // Runs passes until the first NMI; false if none came within the limit.
    bool RunUntilNmi(int passLimit) {
        for (int i = 0; i < passLimit; ++i) {
            RunIdlePass(board);
            if (NmisTaken() > 0) return true;
        }
        return false;
    }
};

TEST(StepNmiTiming, InstructionsBeforeTheNmiDependOnWhereInThePassTheFlagWasSet) {
    for (int k = 1; k <= kInstructionsPerPass; ++k) {
        SCOPED_TRACE(testing::Message() << "armed by instruction " << k << " of its pass");
        StepNmiFixture f;
        Program p;
        p.Nops(kInstructionsPerPass);  // a first pass with the flag clear loads the countdown
        p.Nops(k - 1).OutA(0x02);
        f.Load(kProgramStart, p.bytes);
        const std::uint16_t afterArming = p.End();

        ASSERT_TRUE(f.RunUntilNmi(20));
        EXPECT_EQ(f.NmisTaken(), 1);
        EXPECT_EQ(f.board.cpu.PC, kNmiEntry);
        const int expected = k == 1 ? 50 : 61 - k;
        EXPECT_EQ(f.LastReturnAddress() - afterArming, expected);
        EXPECT_EQ(f.board.run.stepNmiCountdown, 0xFFFFFFFFu);
    }
}

TEST(StepNmiTiming, DisarmingReloadsTheCountdownAndRearmingStartsAFullOne) {
    StepNmiFixture f;
    Program p;
    p.Nops(10);                      // pass 1: countdown 5
    p.LdA(0x00).OutA(0x02).Nops(8);  // pass 2: armed by its 2nd instruction
    p.Nops(20);                      // passes 3, 4: 5 -> 4 -> 3
    p.LdA(0x40).OutA(0x02).Nops(8);  // pass 5: 3 -> 2, then disarmed
    p.Nops(10);                      // pass 6: flag clear, back to 5
    p.Nops(2).LdA(0x00).OutA(0x02);  // pass 7: armed again by its 4th instruction
    f.Load(kProgramStart, p.bytes);
    const std::uint16_t afterRearming = p.End();

    f.Passes(5);
    EXPECT_EQ(f.board.run.stepNmiArmed, 0);
    EXPECT_EQ(f.board.run.stepNmiCountdown, 2u);
    f.Passes(1);
    EXPECT_EQ(f.board.run.stepNmiCountdown, 5u);
    EXPECT_EQ(f.NmisTaken(), 0);

    ASSERT_TRUE(f.RunUntilNmi(20));
    EXPECT_EQ(f.LastReturnAddress() - afterRearming, 61 - 4);
}

TEST(StepNmiTiming, AfterTheNmiTheCountdownRunsBelowZeroAndWraps) {
    StepNmiFixture f;  // the program is a NOP sled; the flag is set by hand
    f.board.run.stepNmiArmed = 1;
    f.board.run.stepNmiCountdown = 0;
    f.Passes(1);
    ASSERT_EQ(f.NmisTaken(), 1);
    EXPECT_EQ(f.board.run.stepNmiCountdown, 0xFFFFFFFFu);

    f.Passes(1000);
    EXPECT_EQ(f.NmisTaken(), 1);
    EXPECT_EQ(f.board.run.stepNmiCountdown, 0xFFFFFFFFu - 1000u);

    // Near the end of the 2^32 passes: two more armed passes bring the next NMI.
    f.board.run.stepNmiCountdown = 1;
    f.Passes(1);
    EXPECT_EQ(f.NmisTaken(), 1);
    f.Passes(1);
    EXPECT_EQ(f.NmisTaken(), 2);
    EXPECT_EQ(f.board.run.stepNmiCountdown, 0xFFFFFFFFu);

    // A pass that finds the flag clear reloads the countdown.
    f.board.run.stepNmiArmed = 0;
    f.Passes(1);
    EXPECT_EQ(f.board.run.stepNmiCountdown, 5u);
    EXPECT_EQ(f.NmisTaken(), 2);
}

TEST(StepNmiTiming, AFlagFoundSetOnTheVeryFirstPassTakesTheNmiAtOnce) {
    // The countdown starts at 0, not 5.
    StepNmiFixture f;
    Program p;
    p.OutA(0x02);
    f.Load(kProgramStart, p.bytes);
    f.Passes(1);
    ASSERT_EQ(f.NmisTaken(), 1);
    EXPECT_EQ(f.LastReturnAddress(), p.End());
}

// Many passes in one call run as one stretch of instructions while the step
// NMI is unarmed; they must end exactly as passes run one by one in the order
// above.
TEST(IdlePass, ManyPassesInOneCallEndAsPassesOneByOne) {
    for (int passes : {1, 2, 3, 7, 61, 1000}) {
        SCOPED_TRACE(testing::Message() << passes << " passes");
        BoardFixture oneCall;
        BoardFixture oneByOne;
        for (BoardFixture* f : {&oneCall, &oneByOne}) f->LoadDriftingArming();
        RunIdlePasses(oneCall.board, static_cast<std::uint64_t>(passes));
        BoardCpu access(oneByOne.board);
        for (int i = 0; i < passes; ++i) {
            RunIdlePassFrom(oneByOne.board.cpu, oneByOne.board.run, access.bus, 0, kInstructionsPerPass,
                            oneByOne.board.tStates);
        }
        EXPECT_EQ(std::memcmp(&oneCall.board.cpu, &oneByOne.board.cpu, sizeof(CpuState)), 0);
        EXPECT_EQ(oneCall.board.tStates, oneByOne.board.tStates);
        EXPECT_EQ(oneCall.board.run.stepNmiArmed, oneByOne.board.run.stepNmiArmed);
        EXPECT_EQ(oneCall.board.run.stepNmiCountdown, oneByOne.board.run.stepNmiCountdown);
        EXPECT_EQ(std::memcmp(oneCall.board.memory.bytes, oneByOne.board.memory.bytes, 65536), 0);
        if (passes == 1000) {
            EXPECT_GT(oneCall.board.memory.bytes[kDriftingArmingNmiCount], 20);  // NMIs came
        }
    }
}

// The board's clock: every instruction of a pass, the step NMI, and MONI and
// INTR, which act at once, add their T-states; INTR with interrupts off adds
// nothing.
TEST(BoardTStates, PassesTheStepNmiAndTheInterruptKeysAddTheirs) {
    StepNmiFixture f;  // a NOP sled; the NMI handler is JR $
    f.Passes(3);
    EXPECT_EQ(f.board.tStates, 3u * 10 * 4);
    f.board.run.stepNmiArmed = 1;
    f.board.run.stepNmiCountdown = 0;
    f.Passes(1);  // NOP, the NMI, nine times JR $
    ASSERT_EQ(f.NmisTaken(), 1);
    EXPECT_EQ(f.board.tStates, 120u + 4 + 11 + 9 * 12);

    f.board.tStates = 1000;  // the count is the caller's to set
    PressKey(f.board, 1, 0);  // MONI: the NMI
    EXPECT_EQ(f.board.tStates, 1000u + 11);
    PressKey(f.board, 2, 0);  // INTR, interrupts off
    EXPECT_EQ(f.board.tStates, 1011u);
    f.board.cpu.IFF1 = 1;
    f.board.cpu.IM = 1;
    PressKey(f.board, 2, 0);
    EXPECT_EQ(f.board.tStates, 1011u + 13);
    EXPECT_EQ(f.board.cpu.PC, 0x0038);
}

TEST(IdlePass, NothingRunsBeforeTheBoardHasStarted) {
    auto board = std::make_unique<Board>();
    SetUpBoard(*board);
    ResetCpu(board->cpu);
    board->run.stepNmiArmed = 1;
    RunIdlePass(*board);
    EXPECT_EQ(board->cpu.PC, 0);
    EXPECT_EQ(board->run.stepNmiCountdown, 0u);
}

TEST(IdlePass, EachPassRunsTenInstructions) {
    BoardFixture f;
    f.Passes(3);
    EXPECT_EQ(f.board.cpu.PC, kProgramStart + 30);
}

TEST(BoardStart, SetsTheMemoryWindowResetsThe8255AndStartsTheCpuAtZero) {
    auto board = std::make_unique<Board>();
    HookCounts counts;
    board->hooks = BoardHooks{&counts, CountRepaint, CountTape};
    board->keys.pressed[2][1] = 1;
    board->cpu.PC = 0x1234;
    SetUpBoard(*board);
    EXPECT_EQ(board->window.romEnd, 0x0800);
    EXPECT_EQ(board->window.ramEnd, 0xFFFF);
    EXPECT_EQ(board->ppi.control, 0x80);
    EXPECT_EQ(board->keys.pressed[2][1], 0);
    EXPECT_EQ(counts.repaints, 1);
    EXPECT_FALSE(board->run.running);
    StartBoard(*board);
    EXPECT_TRUE(board->run.running);
    EXPECT_EQ(board->cpu.PC, 0);
    EXPECT_EQ(board->cpu.SP, 0xFFFF);
    // The ROM below 0800h is write-protected for the CPU from now on.
    board->memory.bytes[0] = 0x32;  // LD (0000h),A
    RunIdlePass(*board);
    EXPECT_EQ(board->memory.bytes[0], 0x32);
}

}  // namespace
