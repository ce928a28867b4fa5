// Key presses from the page: every key the learner presses goes through the
// board's key queue, so that none is lost or reordered however fast they
// come, and keys typed while the run is paused wait for it to go on.
// Kept on purpose: RESET and MONI act at once, as on the board, and drop the
// waiting keys: they were typed for what these two keys break off (after
// RESET the monitor reads away stale presses itself; after MONI it would act
// on them). The tape keys run the page's file commands at once. Every press
// is an input to the history, the queue's too. RESET starts the board's
// T-state count afresh: the CPU panel counts T-states since reset.
#include <emscripten/emscripten.h>

#include "board/key_actions.h"
#include "history/board_history.h"
#include "web/web_board.h"

namespace {

int Press(const KeyCell& key, int gridRow, int gridColumn) {
    Board& board = PageBoard();
    switch (key.kind) {
        case KeyKind::Reset:
        case KeyKind::Monitor: {
            const int dropped = PageKeys().Drop(board, PagePasses());
            PressKey(board, gridRow, gridColumn);
            if (key.kind == KeyKind::Reset) board.tStates = 0;
            return dropped;
        }
        case KeyKind::TapeRead:
        case KeyKind::TapeWrite: PressKey(board, gridRow, gridColumn); return 0;
        default: return PageKeys().Add(gridRow, gridColumn) ? 0 : -1;
    }
}

}  // namespace

extern "C" {

// A press of the key at a grid position. Returns how many waiting keys it
// dropped (RESET, MONI), else 0; -1 when the queue is full and the press was
// refused. A place without a key does nothing.
EMSCRIPTEN_KEEPALIVE int tarvo_press_key(int gridRow, int gridColumn) {
    const KeyCell* key = KeyAtGrid(gridRow, gridColumn);
    if (key == nullptr) return 0;
    int result = 0;
    PageHistory().Input([&] { result = Press(*key, gridRow, gridColumn); });
    return result;
}

// Keys typed that the board's program has not taken yet.
EMSCRIPTEN_KEEPALIVE int tarvo_keys_waiting() { return PageKeys().Waiting(); }

}  // extern "C"
