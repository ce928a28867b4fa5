// The runner's steps on a board: delivering keys, loading raw files, and the
// register and memory outputs.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../files/file_test_support.h"

#include "board/idle_pass.h"
#include "tarvorun_program_folder.h"
#include "tarvorun_session.h"

namespace {

// A started board whose CPU runs a program at 1800h.
std::unique_ptr<Board> BoardRunning(const std::vector<std::uint8_t>& program) {
    auto board = std::make_unique<Board>();
    SetUpBoard(*board);
    StartBoard(*board);
    for (std::size_t i = 0; i < program.size(); ++i) board->memory.bytes[0x1800 + i] = program[i];
    board->cpu.PC = 0x1800;
    board->cpu.SP = 0x2800;
    board->memory.bytes[0x2000] = 0xFF;
    return board;
}

// Selects a keypad row through port C (step NMI off), reads port A and ANDs
// the result into 2000h (FFh at the start), over and over.
std::vector<std::uint8_t> ScanRowForever(std::uint8_t portC) {
    return {0x3E, portC,        // LD A,portC
            0xD3, 0x02,         // OUT (02h),A
            0xDB, 0x00,         // IN A,(00h)
            0x21, 0x00,  0x20,  // LD HL,2000h
            0xA6,               // AND (HL)
            0x77,               // LD (HL),A
            0x18, 0xF3};        // JR back to the start
}

KeyStroke Key(const char* name) {
    KeyStroke key{};
    EXPECT_TRUE(FindKey(name, key)) << name;
    return key;
}

// A key pressed between two passes, as the runner presses it by default.
bool DeliverKey(Board& board, const KeyStroke& key, std::uint32_t scanLimit, std::string& error) {
    PassRunner runner(board, false);
    return DeliverKeyAt(runner, board, key, 0, scanLimit, error);
}

TEST(DeliverKey, AMatrixKeyIsDeliveredWhenItsRowIsRead) {
    auto board = BoardRunning(ScanRowForever(0x7B));  // row 2
    std::string error;
    ASSERT_TRUE(DeliverKey(*board, Key("5"), 10, error)) << error;
    EXPECT_EQ(board->keys.pressed[2][1], 0);
    EXPECT_EQ(board->memory.bytes[0x2000], 0xFD);
    EXPECT_EQ(board->cpu.PC, 0x1806);  // after one pass: a round of 7 and 3 more
}

TEST(DeliverKey, AKeyWhoseRowIsNeverReadFailsNamingIt) {
    auto board = BoardRunning(ScanRowForever(0x7B));  // row 2 only
    std::string error;
    EXPECT_FALSE(DeliverKey(*board, Key("addr"), 50, error));
    EXPECT_NE(error.find("'addr'"), std::string::npos) << error;
    EXPECT_NE(error.find("50 passes"), std::string::npos) << error;
    EXPECT_EQ(board->keys.pressed[4][3], 1);
    EXPECT_EQ(board->memory.bytes[0x2000], 0xFF);
}

TEST(DeliverKey, PressOnlyLeavesTheKeyPendingAsAClickDoes) {
    auto board = BoardRunning(ScanRowForever(0x7B));  // row 2 only
    std::vector<KeyStroke> keys;
    std::string error;
    ASSERT_TRUE(ParseKeys("press:addr", keys, error)) << error;
    ASSERT_TRUE(DeliverKey(*board, keys[0], 1, error)) << error;
    EXPECT_EQ(board->keys.pressed[4][3], 1);
    EXPECT_EQ(board->cpu.PC, 0x1800);  // no pass ran
}

TEST(DeliverKey, UserKeyIsDeliveredByAReadOfAnyRow) {
    auto board = BoardRunning(ScanRowForever(0x7E));
    std::string error;
    ASSERT_TRUE(DeliverKey(*board, Key("USER"), 10, error)) << error;
    EXPECT_EQ(board->memory.bytes[0x2000], 0xBF);

    auto silent = BoardRunning({0x18, 0xFE});  // JR $: never reads port A
    EXPECT_FALSE(DeliverKey(*silent, Key("USER"), 10, error));
}

TEST(DeliverKey, ResetActsAtOnceWithoutPasses) {
    auto board = BoardRunning({0x18, 0xFE});
    std::string error;
    ASSERT_TRUE(DeliverKey(*board, Key("RESET"), 1, error));
    EXPECT_EQ(board->cpu.PC, 0x0000);
    ASSERT_TRUE(DeliverKey(*board, Key("MONI"), 1, error));
    EXPECT_EQ(board->cpu.PC, 0x0066);
}

class RawFile : public testing::Test {
protected:
    TempFolder folder;  // a private folder: tests run side by side
    std::string path = folder.Path("raw.bin");
    void Write(std::size_t size) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (std::size_t i = 0; i < size; ++i) std::fputc(static_cast<int>((i + 1) & 0xFF), f);
        std::fclose(f);
    }
};

TEST_F(RawFile, LoadsUpToTheLastAddress) {
    Write(16);
    auto memory = std::make_unique<BoardMemory>();
    std::string error;
    ASSERT_TRUE(LoadBinaryAt(path.c_str(), *memory, 0xFFF0, error)) << error;
    EXPECT_EQ(memory->bytes[0xFFF0], 1);
    EXPECT_EQ(memory->bytes[0xFFFF], 16);
    EXPECT_EQ(memory->bytes[0x0000], 0);  // nothing wrapped
}

TEST_F(RawFile, AFileThatDoesNotFitLoadsNothing) {
    Write(17);
    auto memory = std::make_unique<BoardMemory>();
    std::string error;
    EXPECT_FALSE(LoadBinaryAt(path.c_str(), *memory, 0xFFF0, error));
    EXPECT_NE(error.find("does not fit"), std::string::npos) << error;
    for (unsigned a = 0xFFF0; a <= 0xFFFF; ++a) EXPECT_EQ(memory->bytes[a], 0) << a;
    EXPECT_EQ(memory->bytes[0x0000], 0);
}

TEST_F(RawFile, AnEmptyFileLoadsNothingAndAMissingOneIsAnError) {
    Write(0);
    auto memory = std::make_unique<BoardMemory>();
    std::string error;
    EXPECT_TRUE(LoadBinaryAt(path.c_str(), *memory, 0x1800, error));
    std::remove(path.c_str());
    EXPECT_FALSE(LoadBinaryAt(path.c_str(), *memory, 0x1800, error));
    EXPECT_NE(error.find(path), std::string::npos);
}

TEST(RunOutputs, MemoryDumpRunsSixteenBytesALineToTheLastAddress) {
    auto memory = std::make_unique<BoardMemory>();
    memory->bytes[0xFFEE] = 0xAB;
    memory->bytes[0xFFFF] = 0xCD;
    EXPECT_EQ(MemoryDumpText(*memory, {0xFFEE, 0xFFFF}),
              "FFEE: AB 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
              "FFFE: 00 CD\n");
    EXPECT_EQ(MemoryDumpText(*memory, {0xFFFF, 0xFFFF}), "FFFF: CD\n");
}

TEST(RunOutputs, RegistersShowEveryPair) {
    CpuState cpu{};
    cpu.PC = 0x1234;
    cpu.SP = 0x27FE;
    cpu.AF = 0xA55A;
    cpu.HL_ = 0xBEEF;
    cpu.R = 0x7F;
    cpu.IFF1 = 1;
    cpu.IM = 2;
    const std::string text = RegistersText(cpu);
    for (const char* part : {"PC=1234", "SP=27FE", "AF=A55A", "HL'=BEEF", "R=7F", "IFF1=1", "IFF2=0", "IM=2"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    }
}

class RunSessionFiles : public testing::Test {
protected:
    TempFolder folder;  // a private folder: tests run side by side
    std::string bin = folder.Path("program.bin");
    std::string rom = folder.Path("boot.bin");
    RunOptions options;

    static void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    void SetUp() override {
        // Shows the bits of the keys found in row 3 as the pattern of digit 0.
        WriteFile(bin, {
                           0x3E, 0x77, 0xD3, 0x02,  // LD A,77h; OUT (02h),A   row 3
                           0xDB, 0x00,              // IN A,(00h)
                           0x2F, 0xE6, 0x3F,        // CPL; AND 3Fh            pressed bits
                           0x28, 0xF5,              // JR Z,start
                           0x47,                    // LD B,A
                           0x3E, 0x60, 0xD3, 0x02,  // LD A,60h; OUT (02h),A   digit 0
                           0x78, 0xD3, 0x01,        // LD A,B; OUT (01h),A
                           0x18, 0xEB,              // JR start
                       });
        WriteFile(rom, {0xC3, 0x00, 0x18});  // JP 1800h
        options.romGiven = true;
        options.romPath = rom;
        options.loads.push_back(LoadStep{LoadStep::Kind::Binary, bin, 0x1800});
        options.settlePasses = 20;
        options.segments = true;
    }
    int Run(const char* keys, std::string& out, std::string& err, const std::string& programFolder = "") {
        std::string error;
        options.keys.clear();
        EXPECT_TRUE(ParseKeys(keys, options.keys, error)) << error;
        std::ostringstream outStream, errStream;
        const int code = RunBoardSession(options, programFolder, '/', outStream, errStream);
        out = outStream.str();
        err = errStream.str();
        return code;
    }
};

TEST_F(RunSessionFiles, KeysArePressedInOrderAndTheDisplayIsPrinted) {
    std::string out, err;
    EXPECT_EQ(Run("GO 4", out, err), kRunOk);
    EXPECT_EQ(out, "-     \n02 00 00 00 00 00\n");  // 4 is column 1: the g segment
    EXPECT_EQ(err, "");
    EXPECT_EQ(Run("4 GO", out, err), kRunOk);
    EXPECT_EQ(out, "?     \n10 00 00 00 00 00\n");  // GO is column 4: b alone is no character
}

TEST_F(RunSessionFiles, FileFailuresStopTheRunBeforeAnyOutput) {
    std::string out, err;
    options.romPath = bin + ".missing";
    EXPECT_EQ(Run("4", out, err), kRunFailed);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find(".missing'"), std::string::npos) << err;

    options.romPath = rom;
    options.loads.push_back(LoadStep{LoadStep::Kind::Hex, bin + ".hex", 0});
    EXPECT_EQ(Run("4", out, err), kRunFailed);
    EXPECT_EQ(out, "");
}

TEST_F(RunSessionFiles, AMissingDefaultRomFailsTheRunUnlessNoRomIsAsked) {
    std::string out, err;
    options.romGiven = false;
    options.passes = 10;
    EXPECT_EQ(Run("", out, err), kRunFailed);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err,
              "tarvorun: cannot find the ROM image: the program's folder is unknown"
              " (--rom FILE names an image, --no-rom runs an empty board)\n");
    const std::string programFolder = folder.Path("");  // ends with its separator
    EXPECT_EQ(Run("", out, err, programFolder), kRunFailed);
    EXPECT_NE(err.find("'" + programFolder + "tarvo/tarvo-rom.bin': No such file or directory (--rom"),
              std::string::npos)
        << err;

    options.noRom = true;
    EXPECT_EQ(Run("", out, err), kRunOk);
    EXPECT_EQ(out, "      \n00 00 00 00 00 00\n");
    EXPECT_EQ(err, "");
}

TEST_F(RunSessionFiles, TheDefaultRomIsFoundInAFolderOfAnyLength) {
    // Longer than the window's limit of 257 characters, in parts a file system takes.
    const std::string programFolder = folder.Path(std::string(200, 'a') + "/" + std::string(100, 'b')) + "/";
    std::filesystem::create_directories(programFolder + "tarvo");
    std::filesystem::copy_file(rom, programFolder + "tarvo/tarvo-rom.bin");
    options.romGiven = false;
    std::string out, err;
    EXPECT_EQ(Run("4", out, err, programFolder), kRunOk) << err;
    EXPECT_EQ(out, "-     \n02 00 00 00 00 00\n");  // the ROM's jump reached the program
}

TEST_F(RunSessionFiles, AKeyThatIsNeverScannedFailsTheRun) {
    std::string out, err;
    options.scanLimit = 100;
    EXPECT_EQ(Run("4 ADDR 4", out, err), kRunFailed);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "tarvorun: key 'ADDR' was not scanned within 100 passes (key 2 of 3 in --keys)\n");
}

TEST_F(RunSessionFiles, AWaitRunsItsPassesBetweenTwoKeysWithoutASettleTime) {
    WriteFile(bin, {0x23, 0x18, 0xFD});  // INC HL; JR back: HL counts rounds of two instructions
    options.segments = false;
    options.regs = true;
    options.settlePasses = 1;
    std::string out, err;
    // Settle 1, wait 4, INTR (interrupts are off) and its settle 1, wait 2:
    // 8 passes, 40 rounds.
    EXPECT_EQ(Run("wait:4 INTR wait:2", out, err), kRunOk);
    EXPECT_NE(out.find(" HL=0028 "), std::string::npos) << out;
}

TEST(ProgramFolder, TheFolderKeepsItsSeparator) {
    EXPECT_EQ(FolderOfPath("/opt/tarvo/tarvorun", false), "/opt/tarvo/");
    EXPECT_EQ(FolderOfPath("C:\\emu\\tarvorun.exe", true), "C:\\emu\\");
    EXPECT_EQ(FolderOfPath("C:/emu\\bin/tarvorun.exe", true), "C:/emu\\bin/");
    EXPECT_EQ(FolderOfPath("a\\b", false), "");
    EXPECT_EQ(FolderOfPath("tarvorun", false), "");
    char separator = 0;
    const std::string folder = ProgramFolder(nullptr, separator);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), separator);
}

}  // namespace

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST_F(RunSessionFiles, TraceShowsEachInstructionBeforeItRunsFromTheLastKeyOn) {
    std::string out, err;
    options.trace = true;
    options.passes = 1;
    ASSERT_EQ(Run("", out, err), kRunOk);
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 12u);  // ten instructions, the display, the segments
    EXPECT_EQ(lines[0], "0000  AF=FFFF BC=0000 DE=0000 HL=0000 IX=0000 IY=0000 SP=FFFF T=0  C3 00 18     JP 1800h");
    EXPECT_EQ(lines[2],  // after JP (10) and LD A,n (7)
              "1802  AF=77FF BC=0000 DE=0000 HL=0000 IX=0000 IY=0000 SP=FFFF T=17  D3 02        OUT (02h),A");
    EXPECT_EQ(lines[10], "      ");

    // From the press of 4: the passes until it is scanned and the 20 of settle
    // time; the whole run would be three times as long.
    ASSERT_EQ(Run("GO 4", out, err), kRunOk);
    const std::size_t traced = Lines(out).size() - 2;
    EXPECT_EQ(traced % 10, 0u);
    EXPECT_GE(traced, 210u);
    EXPECT_LT(traced, 400u);
}

// The first pass with no key down: JP 1800h 10, LD A,n 7, OUT 11, IN 11,
// CPL 4, AND n 7, JR Z taken 12, LD A,n 7, OUT 11, IN 11.
TEST_F(RunSessionFiles, CyclesPrintsTheTStatesRunLast) {
    std::string out, err;
    options.passes = 1;
    options.cycles = true;
    ASSERT_EQ(Run("", out, err), kRunOk);
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 3u);  // the display, the segments, the count
    EXPECT_EQ(lines[2], "T-states: 91");
}
