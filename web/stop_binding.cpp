// The page's temporary stops (web/temporary_stops.h): set for one run by the
// source-level Step, Step over and Run to cursor; the line starts come from
// the last assembly (web/asm_binding.cpp).
#include <emscripten/emscripten.h>

#include "web/temporary_stops.h"

namespace {

TemporaryStops stops;

}  // namespace

TemporaryStops& PageTemporaryStops() { return stops; }

extern "C" {

EMSCRIPTEN_KEEPALIVE void tarvo_clear_temporary_stops() { stops.Clear(); }

// A stop before the instruction at address; with sp of 0 to FFFFh the stops
// hold only with SP there (Step over), with -1 at any SP.
EMSCRIPTEN_KEEPALIVE void tarvo_add_temporary_stop(int address, int sp) {
    stops.Add(static_cast<std::uint16_t>(address));
    if (sp >= 0) stops.RequireStack(static_cast<std::uint16_t>(sp));
}

}  // extern "C"
