// The length of an idle pass, for the page's pacing: the page asks the core
// for passes and counts speeds in instructions.
#include <emscripten/emscripten.h>

#include "board/idle_pass.h"

extern "C" {

EMSCRIPTEN_KEEPALIVE int tarvo_instructions_per_pass() { return kInstructionsPerPass; }

}  // extern "C"
