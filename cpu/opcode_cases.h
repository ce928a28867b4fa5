// TARVO_EACH_OPCODE(F) expands F(n) for every opcode byte n, 0 to 255: the
// cases of a switch that has one case per opcode.
#pragma once

#define TARVO_EACH_OPCODE_4(F, n) F(n) F(n + 1) F(n + 2) F(n + 3)
#define TARVO_EACH_OPCODE_16(F, n) \
    TARVO_EACH_OPCODE_4(F, n) TARVO_EACH_OPCODE_4(F, n + 4) TARVO_EACH_OPCODE_4(F, n + 8) TARVO_EACH_OPCODE_4(F, n + 12)
#define TARVO_EACH_OPCODE_64(F, n)                                                            \
    TARVO_EACH_OPCODE_16(F, n) TARVO_EACH_OPCODE_16(F, n + 16) TARVO_EACH_OPCODE_16(F, n + 32) \
        TARVO_EACH_OPCODE_16(F, n + 48)
#define TARVO_EACH_OPCODE(F)                                                                       \
    TARVO_EACH_OPCODE_64(F, 0) TARVO_EACH_OPCODE_64(F, 64) TARVO_EACH_OPCODE_64(F, 128) \
        TARVO_EACH_OPCODE_64(F, 192)
