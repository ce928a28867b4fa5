// Whether and how the emulation runs. One record for the whole run.
#pragma once

#include <cstdint>

struct RunState {
    bool running;                    // set once the board has started; never cleared
    std::uint8_t stepNmiArmed;       // 0 or 1; written only by the 8255's port C
    std::uint32_t stepNmiCountdown;  // idle passes left before the step NMI; wraps modulo 2^32
};
