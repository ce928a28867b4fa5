// TARVO_EACH_OPCODE(M) expands M(n) for every opcode byte n, 0x00 to 0xFF, as
// a hexadecimal literal token, so that M can make case labels as well as
// names (label_##n).
#pragma once

#define TARVO_OPCODE_ROW(M, h)                                                                         \
    M(0x##h##0) M(0x##h##1) M(0x##h##2) M(0x##h##3) M(0x##h##4) M(0x##h##5) M(0x##h##6) M(0x##h##7) \
    M(0x##h##8) M(0x##h##9) M(0x##h##A) M(0x##h##B) M(0x##h##C) M(0x##h##D) M(0x##h##E) M(0x##h##F)
#define TARVO_EACH_OPCODE(M)                                                                          \
    TARVO_OPCODE_ROW(M, 0) TARVO_OPCODE_ROW(M, 1) TARVO_OPCODE_ROW(M, 2) TARVO_OPCODE_ROW(M, 3)     \
    TARVO_OPCODE_ROW(M, 4) TARVO_OPCODE_ROW(M, 5) TARVO_OPCODE_ROW(M, 6) TARVO_OPCODE_ROW(M, 7)     \
    TARVO_OPCODE_ROW(M, 8) TARVO_OPCODE_ROW(M, 9) TARVO_OPCODE_ROW(M, A) TARVO_OPCODE_ROW(M, B)     \
    TARVO_OPCODE_ROW(M, C) TARVO_OPCODE_ROW(M, D) TARVO_OPCODE_ROW(M, E) TARVO_OPCODE_ROW(M, F)

// M(n) for every eighth opcode byte, 0x00, 0x08 ... 0xF8.
#define TARVO_OPCODE_ROW_STEP_8(M, h) M(0x##h##0) M(0x##h##8)
#define TARVO_EACH_OPCODE_STEP_8(M)                                                                            \
    TARVO_OPCODE_ROW_STEP_8(M, 0) TARVO_OPCODE_ROW_STEP_8(M, 1) TARVO_OPCODE_ROW_STEP_8(M, 2)                   \
    TARVO_OPCODE_ROW_STEP_8(M, 3) TARVO_OPCODE_ROW_STEP_8(M, 4) TARVO_OPCODE_ROW_STEP_8(M, 5)                   \
    TARVO_OPCODE_ROW_STEP_8(M, 6) TARVO_OPCODE_ROW_STEP_8(M, 7) TARVO_OPCODE_ROW_STEP_8(M, 8)                   \
    TARVO_OPCODE_ROW_STEP_8(M, 9) TARVO_OPCODE_ROW_STEP_8(M, A) TARVO_OPCODE_ROW_STEP_8(M, B)                   \
    TARVO_OPCODE_ROW_STEP_8(M, C) TARVO_OPCODE_ROW_STEP_8(M, D) TARVO_OPCODE_ROW_STEP_8(M, E)                   \
    TARVO_OPCODE_ROW_STEP_8(M, F)
