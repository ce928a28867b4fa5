// The runner's own idle passes: the same effect as RunIdlePass, keys pressed
// inside a pass, the step NMI log and the port write count.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../files/file_test_support.h"

#include "board/idle_pass.h"
#include "board/key_actions.h"
#include "board/pass_runner.h"
#include "tarvorun_session.h"

namespace {

std::unique_ptr<Board> StartedBoard() {
    auto board = std::make_unique<Board>();
    SetUpBoard(*board);
    StartBoard(*board);
    board->cpu.SP = 0x2800;
    board->run.stepNmiCountdown = kStepNmiReload;  // as after a pass that found the flag clear
    return board;
}

void Put(Board& board, std::uint16_t at, const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) board.memory.bytes[at + i] = bytes[i];
}

// Arms the step NMI again and again at drifting places of the passes; the
// NMI routine counts in DE and disarms.
std::unique_ptr<Board> ArmingLoop() {
    auto board = StartedBoard();
    Put(*board, 0x1800,
        {0x3E, 0x3F,    // LD A,3Fh
         0xD3, 0x02,    // OUT (02h),A   arms
         0x23,          // INC HL
         0x7D,          // LD A,L
         0xE6, 0x07,    // AND 07h
         0x28, 0x01,    // JR Z,+1
         0x00,          // NOP
         0x18, 0xF3});  // JR 1800h
    Put(*board, 0x0066,
        {0x13,          // INC DE
         0x3E, 0x7F,    // LD A,7Fh
         0xD3, 0x02,    // OUT (02h),A   disarms: a countdown check
         0x06, 0x0A,    // LD B,10       must find it so before the
         0x10, 0xFE,    // DJNZ $        loop arms it again
         0xED, 0x45});  // RETN
    board->cpu.PC = 0x1800;
    return board;
}

void ExpectSameRun(const Board& a, const Board& b) {
    EXPECT_EQ(a.cpu.PC, b.cpu.PC);
    EXPECT_EQ(a.cpu.AF, b.cpu.AF);
    EXPECT_EQ(a.cpu.DE, b.cpu.DE);
    EXPECT_EQ(a.cpu.HL, b.cpu.HL);
    EXPECT_EQ(a.cpu.SP, b.cpu.SP);
    EXPECT_EQ(a.cpu.R, b.cpu.R);
    EXPECT_EQ(a.run.stepNmiArmed, b.run.stepNmiArmed);
    EXPECT_EQ(a.run.stepNmiCountdown, b.run.stepNmiCountdown);
}

TEST(PassRunner, RunsThePassesAsRunIdlePassDoes) {
    auto reference = ArmingLoop();
    for (int pass = 0; pass < 5000; ++pass) RunIdlePass(*reference);
    ASSERT_GT(reference->cpu.DE, 50);  // many NMIs were taken

    auto observed = ArmingLoop();
    PassRunner whole(*observed, true);
    whole.RunPasses(5000);
    ExpectSameRun(*reference, *observed);
    EXPECT_EQ(whole.Pass(), 5000u);
    EXPECT_EQ(whole.Instructions(), 50000u);

    // Instructions in odd pieces that end on a pass boundary.
    auto pieces = ArmingLoop();
    PassRunner split(*pieces, false);
    split.RunInstructions(3);
    EXPECT_EQ(split.Position(), 3);
    split.RunInstructions(49990);
    split.RunInstructions(7);
    EXPECT_EQ(split.Position(), 0);
    ExpectSameRun(*reference, *pieces);

    // Unobserved whole passes go to RunIdlePass.
    auto fast = ArmingLoop();
    PassRunner plain(*fast, false);
    plain.RunPasses(5000);
    ExpectSameRun(*reference, *fast);
    EXPECT_EQ(plain.Pass(), 5000u);
}

TEST(PassRunner, TheLogGivesThePlaceOfTheArmingAndTheNmiThatFollows) {
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("armed by instruction " + std::to_string(k));
        auto board = StartedBoard();
        std::vector<std::uint8_t> program(static_cast<std::size_t>(k - 1), 0x00);  // NOPs
        program.insert(program.end(), {0xD3, 0x02,                                 // OUT (02h),A
                                       0x18, 0xFE});                               // JR $
        Put(*board, 0x1800, program);
        Put(*board, 0x0066, {0x18, 0xFE});  // JR $
        board->cpu.PC = 0x1800;
        board->cpu.AF = 0x3F00;
        PassRunner runner(*board, true);
        runner.RunPasses(10);
        const int expected = k == 1 ? 50 : 61 - k;
        ASSERT_EQ(runner.NmiLog().size(), 2u);
        EXPECT_EQ(runner.NmiLog()[0], "armed by instruction " + std::to_string(k) + " of pass 1");
        EXPECT_EQ(runner.NmiLog()[1], "taken in pass " + std::to_string(k == 1 ? 6 : 7) + ", " +
                                          std::to_string(expected) + " instructions after the arming");
        EXPECT_EQ(board->cpu.PC, 0x0066);
    }
}

TEST(PassRunner, AKeyIsPressedAfterThePhaseInstructionsOfAPass) {
    for (int phase = 0; phase <= 9; ++phase) {
        SCOPED_TRACE("phase " + std::to_string(phase));
        auto board = StartedBoard();
        // INI over and over: every instruction reads port A into the next byte.
        std::vector<std::uint8_t> program;
        for (int i = 0; i < 200; ++i) program.insert(program.end(), {0xED, 0xA2});
        Put(*board, 0x1800, program);
        board->cpu.PC = 0x1800;
        board->cpu.BC = 0xFF00;  // port 00h
        board->cpu.HL = 0x1C00;
        PpiWrite(*board, 2, 0x7B);  // keypad row 2
        PassRunner runner(*board, phase != 0);
        runner.RunPasses(3);
        KeyStroke five{};
        ASSERT_TRUE(FindKey("5", five));
        std::string error;
        ASSERT_TRUE(DeliverKeyAt(runner, *board, five, phase, 10, error)) << error;
        EXPECT_EQ(runner.Position(), 0);
        EXPECT_EQ(runner.Pass(), 4u);
        for (int read = 0; read < 40; ++read) {
            const std::uint8_t expected = read == 30 + phase ? 0xFD : 0xFF;  // 5: row 2, column 1
            EXPECT_EQ(board->memory.bytes[0x1C00 + read], expected) << "read " << read;
        }
    }
}

TEST(PassRunner, CountsTheWritesThatReachThe8255) {
    auto board = StartedBoard();
    Put(*board, 0x1800,
        {0xD3, 0x01,    // OUT (01h),A
         0xD3, 0x04,    // OUT (04h),A   not the 8255
         0xD3, 0x03,    // OUT (03h),A
         0x18, 0xF8});  // JR 1800h
    board->cpu.PC = 0x1800;
    board->cpu.AF = 0xFF00;
    PassRunner runner(*board, true);
    runner.RunPasses(10);  // 100 instructions, 25 rounds
    EXPECT_EQ(runner.PortWrites(), 50u);
}

TEST(RunSession, PortWritesAndTheNmiLogFollowTheOtherOutputs) {
    TempFolder folder;  // a private folder: tests run side by side
    const std::string rom = folder.Path("rom.bin");
    {
        // Writes port B twice (one is counted before --passes), then arms the
        // step NMI with its 2nd instruction in a pass and waits.
        const std::vector<std::uint8_t> bytes = {
            0xD3, 0x01,  // OUT (01h),A
            0x3E, 0x3F,  // LD A,3Fh
            0xD3, 0x02,  // OUT (02h),A   the 3rd instruction: arms
            0x18, 0xFE,  // JR $
        };
        std::FILE* f = std::fopen(rom.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    RunOptions options;
    options.romGiven = true;
    options.romPath = rom;
    options.passes = 10;
    options.portWrites = true;
    options.nmiLog = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunBoardSession(options, "", '/', out, err), kRunOk);
    std::remove(rom.c_str());
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(),
              "      \n"
              "port writes: 2 in 100 instructions\n"
              "nmi: armed by instruction 3 of pass 1\n"
              "nmi: taken in pass 7, 58 instructions after the arming\n");
}

// A program that arms and disarms without end logs four lines a pass; the
// runner passes them on as they happen, and they still come whole and in
// order after the display.
TEST(RunSession, ALongNmiLogComesWholeAfterTheOtherOutputs) {
    TempFolder folder;
    const std::string rom = folder.Path("rom.bin");
    WriteWholeFile(rom, std::string("\x3E\x3F\xD3\x02"  // LD A,3Fh; OUT (02h),A   arms
                                    "\x3E\x7F\xD3\x02"  // LD A,7Fh; OUT (02h),A   disarms
                                    "\x18\xF6",         // JR 0000h
                                    10));
    RunOptions options;
    options.romGiven = true;
    options.romPath = rom;
    options.passes = 5000;
    options.nmiLog = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunBoardSession(options, "", '/', out, err), kRunOk);
    EXPECT_EQ(err.str(), "");
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "      ");
    const char* const kLines[] = {"armed by instruction 2", "disarmed by instruction 4", "armed by instruction 7",
                                  "disarmed by instruction 9"};
    std::size_t count = 0;
    for (; std::getline(lines, line); ++count) {
        const std::string expected =
            std::string("nmi: ") + kLines[count % 4] + " of pass " + std::to_string(count / 4 + 1);
        if (line != expected) {
            ADD_FAILURE() << "line " << count + 2 << " is '" << line << "', expected '" << expected << "'";
            break;
        }
    }
    EXPECT_EQ(count, 4u * 5000);
}

}  // namespace
