// The monitor as the page shows it, on the real monitor image: its key loop,
// and the registers it saved when MONI stopped a program.
#include "board/monitor_view.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <memory>

#include <gtest/gtest.h>

#include "board/key_actions.h"
#include "board/pass_cursor.h"
#include "cpu/memory_bus.h"

namespace {

struct Key {
    int row, column;
};
// Grid places on the keypad picture.
constexpr Key kAddr{3, 4}, kGo{3, 2}, kMoni{1, 0}, k0{3, 5}, k1{3, 6}, kA{1, 7};

struct MonitorBoard {
    std::unique_ptr<Board> owner = std::make_unique<Board>();
    Board& board = *owner;

    MonitorBoard() {
        SetUpBoard(board);
        std::ifstream image(TARVO_MONITOR_IMAGE, std::ios::binary);
        image.read(reinterpret_cast<char*>(board.memory.bytes), kRomTop);
        EXPECT_EQ(image.gcount(), std::streamsize{kRomTop}) << TARVO_MONITOR_IMAGE;
        StartBoard(board);
    }

    // Each key, then time for the monitor to scan every row and act.
    void Press(std::initializer_list<Key> keys) {
        for (const Key& key : keys) {
            PressKey(board, key.row, key.column);
            RunIdlePasses(board, 400);
        }
    }
};

TEST(MonitorView, TheIdleMonitorReadsTheKeypadOnlyInItsKeyLoop) {
    MonitorBoard m;
    RunIdlePasses(m.board, 60000);  // past the greeting
    BoardCpu access(m.board);
    PassCursor<BoardCpuBus> cursor(m.board, access.bus);
    int keypadReads = 0;
    for (int i = 0; i < 20000; ++i) {
        const MonitorView view = ViewOfMonitor(m.board);
        ASSERT_NE(view.place, MonitorPlace::Outside) << std::hex << m.board.cpu.PC;
        ASSERT_TRUE(view.holdsProgram);
        const bool readsKeypad = ReadByte(m.board.memory, m.board.window, m.board.cpu.PC) == 0xDB;  // IN A,(n)
        if (readsKeypad) {
            ++keypadReads;
            ASSERT_EQ(view.place, MonitorPlace::WaitingForKey) << std::hex << m.board.cpu.PC;
        }
        cursor.Step();
    }
    EXPECT_GT(keypadReads, 1000);
}

TEST(MonitorView, MoniSavesTheProgramsRegistersWhereTheViewReadsThem) {
    MonitorBoard m;
    const std::uint8_t program[] = {
        0x01, 0x34, 0x12,        // 1A00 LD BC,1234h
        0x3E, 0x42,              // 1A03 LD A,42h
        0xDD, 0x21, 0xCD, 0xAB,  // 1A05 LD IX,0ABCDh
        0x18, 0xFE,              // 1A09 JR $
    };
    for (std::size_t i = 0; i < sizeof program; ++i) m.board.memory.bytes[0x1A00 + i] = program[i];
    m.Press({kAddr, k1, kA, k0, k0, kGo});
    EXPECT_EQ(m.board.cpu.PC, 0x1A09);
    EXPECT_EQ(ViewOfMonitor(m.board).place, MonitorPlace::Outside);
    EXPECT_FALSE(ViewOfMonitor(m.board).holdsProgram);

    m.Press({kMoni});
    const MonitorView view = ViewOfMonitor(m.board);
    EXPECT_NE(view.place, MonitorPlace::Outside);
    EXPECT_TRUE(view.holdsProgram);
    EXPECT_EQ(view.saved.PC, 0x1A09);
    EXPECT_EQ(view.saved.BC, 0x1234);
    EXPECT_EQ(view.saved.AF >> 8, 0x42);
    EXPECT_EQ(view.saved.IX, 0xABCD);
    EXPECT_EQ(view.saved.SP, 0x2780);  // the user's stack after RESET, untouched
    EXPECT_EQ(view.saved.interruptsOn, 0);
}

}  // namespace
