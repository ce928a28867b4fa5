// The key queue: typed keys reach the program one read at a time, in order,
// a gap apart, and a run comes out the same however it is cut into calls.
#include <cstring>

#include <gtest/gtest.h>

#include "board/key_queue_run.h"
#include "board_fixture.h"

namespace {

// Keys of matrix row 2, the grid places of 1, 5, 9 and STEP: one port A read
// of that row would report (and forget) them all together.
constexpr int kRowTwo[][2] = {{3, 6}, {2, 6}, {1, 6}, {2, 2}};
constexpr std::uint16_t kReads = 0x1900;

// Selects keypad row 2, then stores every port A read that reports a key at
// kReads on, each followed by the low byte of a count of the reads so far:
// when it came.
void LoadRowReader(BoardFixture& f) {
    f.Load(kProgramStart, {
                              0x3E, 0x7B, 0xD3, 0x02,  // LD A,7Bh; OUT (02h),A: row 2, step NMI off
                              0x21, 0x00, 0x19,        // LD HL,1900h
                              0x13, 0xDB, 0x00,        // loop: INC DE; IN A,(00h)
                              0xFE, 0xFF, 0x28, 0xF9,  // CP FFh; JR Z,loop
                              0x77, 0x23, 0x73, 0x23,  // LD (HL),A; INC HL; LD (HL),E; INC HL
                              0x18, 0xF3,              // JR loop
                          });
}

TEST(KeyQueue, KeysOfOneRowTypedAtOnceAreReadOneByOneInOrder) {
    BoardFixture f;
    LoadRowReader(f);
    BoardCpu access(f.board);
    PassCursor<BoardCpuBus> cursor(f.board, access.bus);
    KeyQueue keys;
    for (const auto& key : kRowTwo) ASSERT_TRUE(keys.Add(key[0], key[1]));
    EXPECT_EQ(keys.Waiting(), 4);
    RunPassesWithKeys(cursor, keys, f.board, 5 * kKeyQueueGapPasses);
    EXPECT_EQ(keys.Waiting(), 0);
    const std::uint8_t expected[] = {0xFE, 0xFD, 0xFB, 0xEF, 0x00};  // columns 0, 1, 2, 4, then nothing more
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.board.memory.bytes[kReads + 2 * i], expected[i]) << "read " << i;
}

TEST(KeyQueue, ARunComesOutTheSameHoweverItIsCut) {
    BoardFixture whole;
    BoardFixture cut;
    LoadRowReader(whole);
    LoadRowReader(cut);
    BoardCpu wholeAccess(whole.board);
    BoardCpu cutAccess(cut.board);
    PassCursor<BoardCpuBus> wholeCursor(whole.board, wholeAccess.bus);
    PassCursor<BoardCpuBus> cutCursor(cut.board, cutAccess.bus);
    KeyQueue wholeKeys;
    KeyQueue cutKeys;
    for (int i = 0; i < 40; ++i) {
        wholeKeys.Add(kRowTwo[i % 4][0], kRowTwo[i % 4][1]);
        cutKeys.Add(kRowTwo[i % 4][0], kRowTwo[i % 4][1]);
    }
    const auto never = [](const Board&) { return false; };
    // Pieces of every kind, ending anywhere in a pass, until every key has come and gone.
    for (std::uint64_t round = 1; cutCursor.Passes() < 41 * kKeyQueueGapPasses; ++round) {
        RunPassesWithKeys(cutCursor, cutKeys, cut.board, round % 3);
        RunUntilWithKeys(cutCursor, cutKeys, round % 17, never);
        for (std::uint64_t i = 0; i < round % 5; ++i) StepWithKeys(cutCursor, cutKeys, cut.board);
    }
    cutCursor.FinishPass();
    RunPassesWithKeys(wholeCursor, wholeKeys, whole.board, cutCursor.Passes());

    EXPECT_EQ(wholeCursor.Passes(), cutCursor.Passes());
    EXPECT_EQ(std::memcmp(&whole.board.cpu, &cut.board.cpu, sizeof(CpuState)), 0);
    EXPECT_EQ(std::memcmp(whole.board.memory.bytes, cut.board.memory.bytes, 65536), 0);
    EXPECT_EQ(cutKeys.Waiting(), 0);
    EXPECT_EQ(cut.board.memory.bytes[kReads + 2 * 39], 0xEF);  // every key came
}

TEST(KeyQueue, TheNextKeyWaitsForTheReadThenTheGap) {
    BoardFixture f;
    KeyQueue keys;
    keys.Add(3, 6);  // 1
    keys.Add(2, 6);  // 5
    EXPECT_EQ(keys.Serve(f.board, 0, 1000), 1u);  // 1 goes in; look again after each pass
    EXPECT_TRUE(IsKeyPending(f.board, 3, 6));
    EXPECT_EQ(keys.Serve(f.board, 0, 1000), 1u);  // again at the same boundary: nothing new
    EXPECT_FALSE(IsKeyPending(f.board, 2, 6));
    EXPECT_EQ(keys.Serve(f.board, 7, 1000), 1u);  // not read yet
    EXPECT_EQ(ScanKeyMatrix(f.board.keys, 0x7B), 0xFE);  // the program reads it
    EXPECT_EQ(keys.Serve(f.board, 8, 1000), kKeyQueueGapPasses);
    EXPECT_EQ(keys.Serve(f.board, 8 + kKeyQueueGapPasses - 1, 1000), 1u);
    EXPECT_FALSE(IsKeyPending(f.board, 2, 6));
    EXPECT_EQ(keys.Serve(f.board, 8 + kKeyQueueGapPasses, 1000), 1u);
    EXPECT_TRUE(IsKeyPending(f.board, 2, 6));
    EXPECT_EQ(keys.Waiting(), 1);
}

TEST(KeyQueue, DropTakesBackTheUnreadPressAndRestartsTheGap) {
    BoardFixture f;
    KeyQueue keys;
    keys.Add(3, 6);
    keys.Add(2, 6);
    keys.Serve(f.board, 0, 1);
    EXPECT_EQ(keys.Drop(f.board, 10), 2);
    EXPECT_FALSE(IsKeyPending(f.board, 3, 6));
    EXPECT_EQ(keys.Waiting(), 0);
    EXPECT_EQ(keys.Serve(f.board, 11, 5000), 5000u);  // nothing waits: the run may go on
    keys.Add(1, 6);                                     // 9
    EXPECT_EQ(keys.Serve(f.board, 11, 5000), kKeyQueueGapPasses - 1);
    keys.Serve(f.board, 10 + kKeyQueueGapPasses, 1);
    EXPECT_TRUE(IsKeyPending(f.board, 1, 6));
}

TEST(KeyQueue, RefusesTapeKeysPlacesWithoutAKeyAndAFullQueue) {
    KeyQueue keys;
    EXPECT_FALSE(keys.Add(3, 1));  // TAPE RD
    EXPECT_FALSE(keys.Add(2, 1));  // TAPE WR
    EXPECT_FALSE(keys.Add(4, 0));
    for (int i = 0; i < kKeyQueueCapacity; ++i) ASSERT_TRUE(keys.Add(3, 5));
    EXPECT_FALSE(keys.Add(3, 5));
    EXPECT_EQ(keys.Waiting(), kKeyQueueCapacity);
}

}  // namespace
