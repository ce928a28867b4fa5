// Going back in time: any earlier point comes back byte for byte, however the
// run got there and whatever came from outside; Run back finds the stops
// passed; the 10-million-instruction depth fits the memory figure.
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "board/key_actions.h"
#include "history_rig.h"

namespace {

constexpr auto kNever = [](const Board&) { return false; };

// A random loop that scans keypad rows, arms and disarms the step NMI, takes
// interrupts in mode 1 and writes memory; the INTR and NMI handlers count.
void LoadRandomProgram(BoardFixture& f, std::mt19937& random) {
    f.Load(0x0038, {0xF5, 0x3A, 0x00, 0x1A, 0x3C, 0x32, 0x00, 0x1A, 0xF1, 0xFB, 0xC9});        // count at 1A00h; EI; RET
    f.Load(0x0066, {0xF5, 0x3A, 0x01, 0x1A, 0x3C, 0x32, 0x01, 0x1A, 0xF1, 0xED, 0x45});        // count at 1A01h; RETN
    const std::vector<std::vector<std::uint8_t>> pieces = {
        {0x3E, 0x3B}, {0x3E, 0x7B}, {0x3E, 0x3D}, {0xD3, 0x02},  // LD A,row (armed or not); OUT (02h),A
        {0xDB, 0x00}, {0x77},       {0x2C},       {0x80},        // IN A,(00h); LD (HL),A; INC L; ADD A,B
        {0x04},       {0xC5, 0xC1}, {0x08},                      // INC B; PUSH BC, POP BC; EX AF,AF'
        {0xD3, 0x01}, {0x10, 0xFE}, {0x7E},       {0xEB}};       // OUT (01h),A; DJNZ $; LD A,(HL); EX DE,HL
    std::vector<std::uint8_t> program = {0xED, 0x56, 0xFB, 0x21, 0x00, 0x19, 0x11, 0x00, 0x19};  // IM 1; EI; HL, DE
    for (int i = 0; i < 40; ++i) {
        const auto& piece = pieces[random() % pieces.size()];
        program.insert(program.end(), piece.begin(), piece.end());
    }
    program.insert(program.end(), {0x26, 0x19, 0xC3, 0x09, 0x18});  // LD H,19h; JP loop
    f.Load(kProgramStart, program);
}

// One move forward, or one input, chosen at random.
void RandomMove(HistoryRig& rig, std::mt19937& random, const std::vector<std::uint8_t>& program) {
    BoardHistory& h = rig.history;
    switch (random() % 9) {
        case 0: h.RunPasses(random() % 400); break;
        case 1: h.Step(); break;
        case 2: h.RunUntil(random() % 3000, kNever); break;
        case 3: h.RunInstructions(random() % 7); break;
        case 4: {  // a key typed: matrix keys of row 2 and the ones that act at once
            static const int kKeys[][2] = {{2, 2}, {2, 6}, {1, 6}, {3, 6}, {2, 0}, {1, 0}, {3, 0}};
            const auto& key = kKeys[random() % 7];
            h.Input([&] { rig.keys.Add(key[0], key[1]); });
            break;
        }
        case 5: h.Input([&] { PressKey(rig.f.board, 2, 0); }); break;  // INTR at once, mid-pass
        case 6: {                                                        // a memory and a register edit
            const auto value = static_cast<std::uint8_t>(random());
            h.Input([&] {
                rig.f.board.memory.bytes[0x1A10 + value % 16] = value;
                rig.f.board.cpu.BC = value;
            });
            break;
        }
        case 7:
            if (random() % 8 == 0) {  // power off and on
                h.Input([&] {
                    ClearBoard(rig.f.board);
                    SetUpBoard(rig.f.board);
                    rig.f.Load(0, program);
                    StartBoard(rig.f.board);
                    rig.f.board.cpu.PC = kProgramStart;
                    rig.f.board.cpu.SP = kStackTop;
                    rig.cursor.Restart();
                    rig.keys = KeyQueue{};
                });
            }
            break;
        default: h.RunPasses(random() % 20000); break;
    }
}

TEST(BoardHistory, AnyEarlierPointComesBackByteForByteAndStepsForwardToTheEnd) {
    int interrupts = 0;
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        // Snapshots every 997 instructions: they fall anywhere in a pass and between inputs.
        HistoryRig rig(HistoryLimits{997, 100000, std::size_t{1} << 24});
        std::mt19937 random(seed);
        LoadRandomProgram(rig.f, random);
        const std::vector<std::uint8_t> memory(rig.f.board.memory.bytes, rig.f.board.memory.bytes + 0x2800);
        rig.history.Begin();
        std::vector<std::pair<std::uint64_t, RunRecord>> seen;
        for (int move = 0; move < 300; ++move) {
            // The state at a count includes every input at that count: keep one
            // only when the move after it ran on, so that none came after it.
            const std::uint64_t at = rig.history.Now();
            RunRecord before = move % 15 == 0 ? rig.Capture() : RunRecord{};
            RandomMove(rig, random, memory);
            if (move % 15 == 0 && rig.history.Now() > at) seen.emplace_back(at, before);
        }
        const std::uint64_t end = rig.history.Now();
        const RunRecord last = rig.Capture();
        interrupts += rig.f.board.memory.bytes[0x1A00];

        for (std::size_t i = seen.size(); i-- > 0;) {
            ASSERT_TRUE(rig.history.GoTo(seen[i].first));
            ASSERT_EQ(FirstDifference(rig.Capture(), seen[i].second), "") << "at " << seen[i].first;
        }
        ASSERT_TRUE(rig.history.GoTo(end));
        ASSERT_EQ(FirstDifference(rig.Capture(), last), "");

        constexpr int kBack = 3000;
        for (int i = 0; i < kBack; ++i) ASSERT_TRUE(rig.history.StepBack());
        EXPECT_EQ(rig.history.Now(), end - kBack);
        for (int i = 0; i < kBack; ++i) ASSERT_TRUE(rig.history.Step());
        EXPECT_EQ(FirstDifference(rig.Capture(), last), "");
    }
    EXPECT_GT(interrupts, 0);
}

TEST(BoardHistory, RunBackStopsAtEachBreakpointPassedThenAtTheOldestPoint) {
    HistoryRig rig(HistoryLimits{1000, 100000, std::size_t{1} << 20});
    // An outer loop through 1805h around a delay of about 500 instructions, so
    // that the breakpoint is passed in some snapshot windows and not in others.
    rig.f.Load(kProgramStart, {0x06, 0x00, 0x3E, 0x02, 0x00,  // LD B,0; LD A,2; NOP
                               0x10, 0xFE, 0x3D, 0x20, 0xFB,  // 1805h: DJNZ $; DEC A; JR NZ,1805h
                               0x18, 0xF4});                  // JR 1800h
    rig.history.Begin();
    constexpr std::uint16_t kBreakpoint = 0x1807;
    const auto atBreakpoint = [](const Board& b) { return b.cpu.PC == kBreakpoint; };
    std::vector<std::uint64_t> hits;
    while (rig.history.Now() < 20000) {
        rig.history.RunUntil(20000 - rig.history.Now(), atBreakpoint);
        if (rig.f.board.cpu.PC == kBreakpoint && rig.history.Now() < 20000) hits.push_back(rig.history.Now());
    }
    ASSERT_GT(hits.size(), 10u);
    for (std::size_t i = hits.size(); i-- > 0;) {
        ASSERT_TRUE(rig.history.RunBack(atBreakpoint));
        EXPECT_EQ(rig.history.Now(), hits[i]);
        EXPECT_EQ(rig.f.board.cpu.PC, kBreakpoint);
    }
    EXPECT_FALSE(rig.history.RunBack(atBreakpoint));
    EXPECT_EQ(rig.history.Now(), 0u);
    EXPECT_EQ(rig.f.board.cpu.PC, kProgramStart);
}

TEST(BoardHistory, TenMillionInstructionsBackFitWithinTheMemoryFigure) {
    HistoryRig rig;  // the limits the page uses
    rig.f.LoadDriftingArming();
    rig.history.Begin();
    rig.history.RunPasses(123457);
    const std::uint64_t then = rig.history.Now();
    const RunRecord saved = rig.Capture();
    rig.history.RunPasses(1000000);
    rig.history.Input([&] { rig.f.board.memory.bytes[0x2200] = 1; });
    rig.history.RunPasses(1000);

    EXPECT_LE(rig.history.Oldest(), rig.history.Now() - 10000000);
    EXPECT_LT(rig.history.MemoryBytes(), std::size_t{64} << 20);
    ASSERT_TRUE(rig.history.GoTo(then));
    EXPECT_EQ(FirstDifference(rig.Capture(), saved), "");
    EXPECT_FALSE(rig.history.GoTo(rig.history.Oldest() - 1));
}

TEST(BoardHistory, LastWriteNamesTheInstructionOrTheInputAndLeavesTheBoardWhereItWas) {
    HistoryRig rig(HistoryLimits{1000, 100000, std::size_t{1} << 20});
    rig.f.Load(kProgramStart, {0x3E, 0x01, 0x32, 0x00, 0x19,  // LD A,1; LD (1900h),A
                               0x3C, 0x32, 0x00, 0x19,        // INC A; LD (1900h),A at 1806h, instruction 3
                               0x18, 0xFE});                  // JR $
    rig.history.Begin();
    rig.history.RunInstructions(5000);
    const RunRecord before = rig.Capture();

    LastWrite w = rig.history.LastWriteTo(0x1900);
    EXPECT_EQ(w.by, LastWrite::By::Instruction);
    EXPECT_EQ(w.pc, 0x1806);
    EXPECT_EQ(w.at, 3u);
    EXPECT_EQ(rig.history.LastWriteTo(0x1901).by, LastWrite::By::Nobody);
    EXPECT_EQ(rig.history.Now(), 5000u);
    EXPECT_EQ(FirstDifference(rig.Capture(), before), "");

    rig.history.Input([&] { rig.f.board.memory.bytes[0x1900] = 9; });
    rig.history.RunInstructions(2500);
    w = rig.history.LastWriteTo(0x1900);
    EXPECT_EQ(w.by, LastWrite::By::Input);
    EXPECT_EQ(w.at, 5000u);
}

}  // namespace
