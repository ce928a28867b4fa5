// Time on the board and going back in it, as the page's CPU panel asks: the
// T-state count, Step back and Run back, who last wrote a byte, and the
// watchpoints. Counts cross to the script as doubles, exact up to 2^53.
#include <cstdint>
#include <string>

#include <emscripten/emscripten.h>

#include "history/board_history.h"
#include "history/stopping_run.h"
#include "web/web_board.h"

namespace {

LastWrite lastWrite{LastWrite::By::Nobody, 0, 0};
std::string watchError;
std::string watchText;

}  // namespace

extern "C" {

// T-states since reset (RESET and Power off and on start the count afresh).
EMSCRIPTEN_KEEPALIVE double tarvo_t_states() { return static_cast<double>(PageBoard().tStates); }

// Instructions run since the history began, and how many of them it can go back over.
EMSCRIPTEN_KEEPALIVE double tarvo_history_now() { return static_cast<double>(PageHistory().Now()); }
EMSCRIPTEN_KEEPALIVE double tarvo_history_depth() {
    return static_cast<double>(PageHistory().Now() - PageHistory().Oldest());
}
EMSCRIPTEN_KEEPALIVE double tarvo_history_bytes() { return static_cast<double>(PageHistory().MemoryBytes()); }

// 1 when it went back one instruction, 0 at the oldest point kept.
EMSCRIPTEN_KEEPALIVE int tarvo_step_back() {
    const bool back = PageHistory().StepBack();
    PageStops().GoOnFromHere();
    return back ? 1 : 0;
}

// Back to the latest earlier breakpoint or watchpoint: 1 and the reason in
// tarvo_stop_text; 0 at the oldest point kept, where it went instead.
EMSCRIPTEN_KEEPALIVE int tarvo_run_back() { return PageStops().RunBack() ? 1 : 0; }

// Why the last run (forward or back) stopped, in words.
EMSCRIPTEN_KEEPALIVE const char* tarvo_stop_text() { return PageStops().Why().c_str(); }

// Who last wrote the byte: 0 nobody within the history, 1 an instruction
// (its address in tarvo_last_write_pc), 2 an input (a load, an edit, a key);
// how many instructions ago in tarvo_last_write_ago.
EMSCRIPTEN_KEEPALIVE int tarvo_last_write(int address) {
    lastWrite = PageHistory().LastWriteTo(static_cast<std::uint16_t>(address));
    return static_cast<int>(lastWrite.by);
}
EMSCRIPTEN_KEEPALIVE int tarvo_last_write_pc() { return lastWrite.pc; }
EMSCRIPTEN_KEEPALIVE double tarvo_last_write_ago() {
    return static_cast<double>(PageHistory().Now() - lastWrite.at);
}

// A watchpoint on memory (kind 0 read, 1 write) or ports (2 IN, 3 OUT) over a
// range, or a register condition (text in the core's memory): its number, or
// 0 with the reason in tarvo_watch_error.
EMSCRIPTEN_KEEPALIVE int tarvo_watch_add(int kind, int from, int to) {
    watchError.clear();
    Watchpoints& watches = PageStops().Watches();
    const auto watchKind = static_cast<WatchKind>(kind);
    if (watchKind == WatchKind::Read || watchKind == WatchKind::Write) {
        return watches.AddMemory(watchKind, static_cast<std::uint16_t>(from), static_cast<std::uint16_t>(to), watchError);
    }
    if (watchKind == WatchKind::PortIn || watchKind == WatchKind::PortOut) {
        return watches.AddPort(watchKind, static_cast<unsigned>(from), static_cast<unsigned>(to), watchError);
    }
    watchError = "there is no watchpoint of kind " + std::to_string(kind);
    return 0;
}
EMSCRIPTEN_KEEPALIVE int tarvo_watch_add_condition(const char* text) {
    watchError.clear();
    return PageStops().Watches().AddCondition(text, watchError);
}
EMSCRIPTEN_KEEPALIVE const char* tarvo_watch_error() { return watchError.c_str(); }
EMSCRIPTEN_KEEPALIVE int tarvo_watch_remove(int id) { return PageStops().Watches().Remove(id) ? 1 : 0; }

// A watchpoint as the list shows it: "write 1900h-190Fh", "A = 3"; "" when there is none of that number.
EMSCRIPTEN_KEEPALIVE const char* tarvo_watch_text(int id) {
    watchText.clear();
    for (const Watchpoint& w : PageStops().Watches().List()) {
        if (w.id == id) watchText = DescribeWatchpoint(w);
    }
    return watchText.c_str();
}

}  // extern "C"
