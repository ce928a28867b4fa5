// The board as the page drives it: start, key presses, runs of idle passes,
// single instructions and breakpoints, and what the display needs repainted.
// Every function is called from the page's script between two frames.
#include <algorithm>
#include <cstdint>
#include <string>

#include <emscripten/emscripten.h>

#include "board/board_pictures.h"
#include "board/display_text.h"
#include "board/idle_pass.h"
#include "board/panel_layout.h"
#include "board/pass_cursor.h"
#include "board/segment_geometry.h"
#include "files/monitor_rom.h"
#include "history/board_history.h"
#include "history/stopping_run.h"
#include "web/web_board.h"

namespace {

// The canvas: the board picture with its digits on top, the keypad picture below.
constexpr int kCanvasWidth = kBoardPictureWidth;

Board board;
BoardCpu access(board);
// Step and breakpoints can stop a pass in the middle; the cursor keeps its
// place, so the step NMI's countdown keeps exactly the idle pass's timing.
PassCursor<BoardCpuBus> cursor(board, access.bus);
// Every key the learner types waits here for its turn (web/key_binding.cpp).
KeyQueue keys;
bool repaintRequested = true;

// What tarvo_take_tape_command hands the script.
constexpr int kNoTapeCommand = 0;
constexpr int kTapeReadCommand = 1;   // TAPE RD: the page's hex file load
constexpr int kTapeWriteCommand = 2;  // TAPE WR: the page's hex file save
int pendingTapeCommand = kNoTapeCommand;

// Why the last tarvo_run stopped short: what tarvo_stop_reason hands the script.
constexpr int kRanOn = 0;
constexpr int kStoppedAtBreakpoint = 1;
constexpr int kStoppedTemporarily = 2;  // at one of PageTemporaryStops(): a step's end
constexpr int kStoppedAtWatchpoint = 3;
int stopReason = kRanOn;

// The page paints a decimal point, lit or not, over the whole place of the
// window's two point rectangles: the window's lit point, three pixels wide,
// all but vanishes once a phone scales the canvas down.
SegmentRect PageSegmentRect(int digit, const SegmentShape& shape, bool lit) {
    if (shape.bit != kSegmentPoint) return SegmentRectOnBoard(digit, shape, lit);
    const SegmentRect a = SegmentRectOnBoard(digit, shape, true);
    const SegmentRect b = SegmentRectOnBoard(digit, shape, false);
    return SegmentRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                       std::max(a.bottom, b.bottom)};
}

void RequestRepaintHook(void*) { repaintRequested = true; }
void TapeCommandHook(void*, TapeCommand command) {
    pendingTapeCommand = command == TapeCommand::OpenHexFile ? kTapeReadCommand : kTapeWriteCommand;
}

// The window's start order: 8255 and memory window, monitor ROM (from
// /tarvo/tarvo-rom.bin, which the page has put there), CPU reset, run.
bool StartPageBoard() {
    SetUpBoard(board);
    const bool loaded = LoadMonitorRom("/", '/', board.memory);
    StartBoard(board);
    return loaded;
}

// Nothing left over from the run before: a stop, a step under way, a tape key.
void ForgetPendingStops() {
    stopReason = kRanOn;
    PageTemporaryStops().Clear();
    pendingTapeCommand = kNoTapeCommand;
    repaintRequested = true;
}

}  // namespace

Board& PageBoard() { return board; }
KeyQueue& PageKeys() { return keys; }
std::uint64_t PagePasses() { return cursor.Passes(); }
int PagePassPosition() { return cursor.Position(); }
void ResumePageRun(int position, std::uint64_t passes) {
    cursor.PlaceAt(position, passes);
    ForgetPendingStops();
}
// Made on first use, after the board, its bus and its cursor above.
BoardHistory& PageHistory() {
    static BoardHistory history(BoardRun{board, access.bus, cursor, keys});
    return history;
}
StoppingRun& PageStops() {
    static StoppingRun stops(PageHistory(), BoardRun{board, access.bus, cursor, keys});
    return stops;
}
TemporaryStops& PageTemporaryStops() { return PageStops().Temporary(); }

extern "C" {

// The board's start, and the history begins there.
// 0: the ROM was not found; the board starts all the same, as in the window.
EMSCRIPTEN_KEEPALIVE int tarvo_start() {
    board.hooks = BoardHooks{nullptr, &RequestRepaintHook, &TapeCommandHook};
    const bool loaded = StartPageBoard();
    PageHistory().Begin();
    return loaded ? 1 : 0;
}

// Power off and on: the whole board as the page started it (every register,
// memory zero with the monitor loaded again, the 8255, the latches, the key
// matrix), no key waiting, at the start of an idle pass, no temporary stop
// (Step over, a source-level step) under way: an input to the history like
// any other, so that Step back goes back over it. Breakpoints are the page's,
// not the board's: they stay. Returns as tarvo_start.
EMSCRIPTEN_KEEPALIVE int tarvo_power_cycle() {
    bool loaded = false;
    PageHistory().Input([&loaded] {
        ClearBoard(board);
        cursor.Restart();
        keys = KeyQueue{};
        loaded = StartPageBoard();
    });
    ForgetPendingStops();
    return loaded ? 1 : 0;
}

// Runs up to the given number of idle passes' worth of instructions and
// returns how many instructions ran. With breakpoints on, the run stops before
// an instruction at a breakpoint address, at a temporary stop (Step over's
// return, a source-level step's next line), and with watchpoints just after
// the instruction that touched a watched place (history/stopping_run.h):
// never before the first instruction after a stop or a step, so that a run
// goes on from there. Any stop ends the temporary stops.
EMSCRIPTEN_KEEPALIVE int tarvo_run(int passes, int useBreakpoints) {
    stopReason = kRanOn;
    if (!board.run.running || passes <= 0) return 0;
    const auto count = static_cast<std::uint64_t>(passes) * static_cast<std::uint64_t>(kInstructionsPerPass);
    const std::uint64_t ran = PageStops().Run(count, useBreakpoints != 0);
    switch (PageStops().Cause()) {
        case StopCause::Breakpoint: stopReason = kStoppedAtBreakpoint; break;
        case StopCause::Temporary: stopReason = kStoppedTemporarily; break;
        case StopCause::Watchpoint: stopReason = kStoppedAtWatchpoint; break;
        case StopCause::None: break;
    }
    if (stopReason != kRanOn) PageStops().GoOnFromHere();
    return static_cast<int>(ran);
}

// One of the reasons above, for the last tarvo_run.
EMSCRIPTEN_KEEPALIVE int tarvo_stop_reason() { return stopReason; }

EMSCRIPTEN_KEEPALIVE void tarvo_step() {
    PageHistory().Step();
    PageStops().GoOnFromHere();
}

EMSCRIPTEN_KEEPALIVE int tarvo_pass_position() { return cursor.Position(); }

EMSCRIPTEN_KEEPALIVE void tarvo_set_breakpoint(int address, int on) {
    PageStops().SetBreakpoint(static_cast<std::uint16_t>(address), on != 0);
}

// The key at a point of the canvas, through the window's hit test on the
// keypad picture: the grid row in bits 8 and up, the grid column in bits 0-7;
// -1 off the keys (the board picture, the strips beside the 9 by 4 cells).
EMSCRIPTEN_KEEPALIVE int tarvo_key_at(int x, int y) {
    if (x < 0 || x >= kCanvasWidth || y < kBoardPictureHeight || y >= kBoardPictureHeight + kKeypadPictureHeight) {
        return -1;
    }
    int gridRow = 0;
    int gridColumn = 0;
    if (!KeypadCellAt(x, y - kBoardPictureHeight, kCanvasWidth, kKeypadPictureHeight, gridRow, gridColumn)) return -1;
    if (KeyAtGrid(gridRow, gridColumn) == nullptr) return -1;
    return gridRow << 8 | gridColumn;
}

// 1 once after each display change (and at first): the page then repaints the digits.
EMSCRIPTEN_KEEPALIVE int tarvo_take_repaint() {
    const bool requested = repaintRequested;
    repaintRequested = false;
    return requested ? 1 : 0;
}

// The tape key pressed since the last call, as one of the codes above.
EMSCRIPTEN_KEEPALIVE int tarvo_take_tape_command() {
    const int command = pendingTapeCommand;
    pendingTapeCommand = kNoTapeCommand;
    return command;
}

// The rectangles of all 48 segments in drawing order, digit by digit, as the
// window draws them into the board picture (but the points, above): left,
// top, right, bottom (both edges included, the outline on them), 1 lit /
// 0 unlit, and the segment's bit in the digit's pattern.
EMSCRIPTEN_KEEPALIVE const int* tarvo_segments() {
    static int rects[kDigitCount * kSegmentCount * kSegmentRecordInts];
    int* out = rects;
    for (int digit = 0; digit < kDigitCount; ++digit) {
        for (const SegmentShape& shape : kSegmentShapes) {
            const bool lit = (board.latches.digits[digit] & shape.bit) != 0;
            const SegmentRect r = PageSegmentRect(digit, shape, lit);
            *out++ = r.left;
            *out++ = r.top;
            *out++ = r.right;
            *out++ = r.bottom;
            *out++ = lit ? 1 : 0;
            *out++ = shape.bit;
        }
    }
    return rects;
}

// What the script needs to know of the pictures and of the tables above, so
// that no size is written twice: the canvas width, the board and keypad
// picture heights, the number of segment records and the ints in each, the
// register words of tarvo_registers, the lit and unlit segment colours as
// 0xRRGGBB, and the words of tarvo_monitor_saved_registers.
EMSCRIPTEN_KEEPALIVE const int* tarvo_layout() {
    const auto rgb = [](SegmentColour c) { return c.red << 16 | c.green << 8 | c.blue; };
    static const int layout[] = {
        kCanvasWidth,          kBoardPictureHeight, kKeypadPictureHeight,   kDigitCount * kSegmentCount,
        kSegmentRecordInts,    kRegisterWordCount,  rgb(kLitSegmentColour), rgb(kUnlitSegmentColour),
        kMonitorSavedWordCount};
    return layout;
}

// The six digits as text, each followed by '.' when its point is lit, as the
// headless runner prints them: the page's words for screen readers.
EMSCRIPTEN_KEEPALIVE const char* tarvo_display_text() {
    static std::string text;
    text = DisplayText(board.latches);
    return text.c_str();
}

// The character one segment pattern shows (for reading the canvas back).
EMSCRIPTEN_KEEPALIVE int tarvo_segment_character(int pattern) {
    return SegmentCharacter(static_cast<std::uint8_t>(pattern));
}

}  // extern "C"
