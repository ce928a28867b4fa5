// The page's temporary stops (history/temporary_stops.h): set for one run by
// the source-level Step, Step over and Run to cursor; the line starts come
// from the last assembly (web/asm_binding.cpp).
#include <emscripten/emscripten.h>

#include "history/temporary_stops.h"
#include "web/web_board.h"

extern "C" {

EMSCRIPTEN_KEEPALIVE void tarvo_clear_temporary_stops() { PageTemporaryStops().Clear(); }

// A stop before the instruction at address; with sp of 0 to FFFFh the stops
// hold only with SP there (Step over), with -1 at any SP.
EMSCRIPTEN_KEEPALIVE void tarvo_add_temporary_stop(int address, int sp) {
    TemporaryStops& stops = PageTemporaryStops();
    stops.Add(static_cast<std::uint16_t>(address));
    if (sp >= 0) stops.RequireStack(static_cast<std::uint16_t>(sp));
}

}  // extern "C"
