// The monitor around a stopped program, for the CPU panel: where in the
// monitor the CPU is, and the program's registers as the monitor saved them.
#include <cstdint>

#include <emscripten/emscripten.h>

#include "board/monitor_view.h"
#include "web/web_board.h"

extern "C" {

// 0: outside the monitor; 1: in it; 2: in its key loop, waiting for a key.
// Add 4 when it holds the user's program stopped, with its registers saved.
EMSCRIPTEN_KEEPALIVE int tarvo_monitor_place() {
    const MonitorView view = ViewOfMonitor(PageBoard());
    const int place = view.place == MonitorPlace::WaitingForKey ? 2 : view.place == MonitorPlace::Inside ? 1 : 0;
    return place + (view.holdsProgram ? 4 : 0);
}

// The saved registers, kMonitorSavedWordCount words: AF BC DE HL, AF' BC' DE'
// HL', IX IY SP PC, I, and the interrupt flip-flop (0 or 1).
EMSCRIPTEN_KEEPALIVE const std::uint16_t* tarvo_monitor_saved_registers() {
    static std::uint16_t words[kMonitorSavedWordCount];
    const MonitorSavedRegisters s = ViewOfMonitor(PageBoard()).saved;
    const std::uint16_t values[kMonitorSavedWordCount] = {s.AF,  s.BC, s.DE, s.HL, s.AF_, s.BC_, s.DE_,
                                                          s.HL_, s.IX, s.IY, s.SP, s.PC,  s.I,   s.interruptsOn};
    for (int i = 0; i < kMonitorSavedWordCount; ++i) words[i] = values[i];
    return words;
}

}  // extern "C"
