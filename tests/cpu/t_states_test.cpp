// T-states: the figures of Zilog's manual for each group of instructions, a
// condition both ways where there is one, the undocumented forms as the real
// CPU runs them, block repeats as their whole loop, and interrupt acceptance.
// Single steps and runs (threaded, on either bus) must agree on every form.
#include <gtest/gtest.h>

#include <vector>

#include "cpu_rig.h"
#include "opcode_forms.h"

namespace {

constexpr std::uint8_t kZ = 0x40;
constexpr std::uint8_t kC = 0x01;

struct Timed {
    const char* name;
    std::vector<std::uint8_t> bytes;  // operands: addresses 2000h, displacement +1
    std::uint32_t tStates;
    std::uint8_t f = 0;  // the flags it finds
    std::uint8_t b = 1;  // B, for DJNZ
};

// The instruction in RAM at 1800h with every pointer inside RAM, so that it
// runs alike on both buses.
template <class Rig>
void SetUp(Rig& rig, const Timed& c) {
    for (std::size_t i = 0; i < c.bytes.size(); ++i) rig.Load(static_cast<std::uint16_t>(0x1800 + i), {c.bytes[i]});
    rig.cpu.PC = 0x1800;
    rig.cpu.HL = rig.cpu.IX = rig.cpu.IY = 0x2000;
    rig.cpu.DE = 0x2100;
    rig.cpu.SP = 0x2400;
    rig.cpu.AF = c.f;
    rig.cpu.BC = static_cast<std::uint16_t>(c.b << 8 | 0x10);
}

// Its T-states as a single step on the flat bus, and as a run of one on the
// flat and the board's bus; all three must give the figure.
void ExpectFigure(const Timed& c) {
    FlatRig step;
    SetUp(step, c);
    step.Step();
    EXPECT_EQ(step.tStates, c.tStates) << c.name << ", a step";
    FlatRig flat;
    SetUp(flat, c);
    RunCpu(flat.cpu, *flat.bus, 1, NeverStop, flat.tStates);
    EXPECT_EQ(flat.tStates, c.tStates) << c.name << ", a run on the flat bus";
    BoardRig board;
    SetUp(board, c);
    RunCpu(board.cpu, board.bus, 1, NeverStop, board.tStates);
    EXPECT_EQ(board.tStates, c.tStates) << c.name << ", a run on the board's bus";
}

TEST(TStates, LoadsExchangesAndArithmeticTakeTheManualsFigures) {
    const Timed cases[] = {
        {"LD B,C", {0x41}, 4},
        {"LD B,n", {0x06, 0x12}, 7},
        {"LD B,(HL)", {0x46}, 7},
        {"LD B,(IX+d)", {0xDD, 0x46, 0x01}, 19},
        {"LD (IY+d),B", {0xFD, 0x70, 0x01}, 19},
        {"LD (HL),n", {0x36, 0x12}, 10},
        {"LD (IX+d),n", {0xDD, 0x36, 0x01, 0x12}, 19},
        {"LD A,(BC)", {0x0A}, 7},
        {"LD (DE),A", {0x12}, 7},
        {"LD A,(nn)", {0x3A, 0x00, 0x20}, 13},
        {"LD (nn),A", {0x32, 0x00, 0x20}, 13},
        {"LD A,I", {0xED, 0x57}, 9},
        {"LD R,A", {0xED, 0x4F}, 9},
        {"LD BC,nn", {0x01, 0x00, 0x20}, 10},
        {"LD IX,nn", {0xDD, 0x21, 0x00, 0x20}, 14},
        {"LD HL,(nn)", {0x2A, 0x00, 0x20}, 16},
        {"LD (nn),HL", {0x22, 0x00, 0x20}, 16},
        {"LD BC,(nn)", {0xED, 0x4B, 0x00, 0x20}, 20},
        {"LD (nn),SP", {0xED, 0x73, 0x00, 0x20}, 20},
        {"LD IY,(nn)", {0xFD, 0x2A, 0x00, 0x20}, 20},
        {"LD SP,HL", {0xF9}, 6},
        {"LD SP,IX", {0xDD, 0xF9}, 10},
        {"PUSH BC", {0xC5}, 11},
        {"PUSH IX", {0xDD, 0xE5}, 15},
        {"POP DE", {0xD1}, 10},
        {"POP IY", {0xFD, 0xE1}, 14},
        {"EX DE,HL", {0xEB}, 4},
        {"EX AF,AF'", {0x08}, 4},
        {"EXX", {0xD9}, 4},
        {"EX (SP),HL", {0xE3}, 19},
        {"EX (SP),IX", {0xDD, 0xE3}, 23},
        {"LDI", {0xED, 0xA0}, 16},
        {"CPD", {0xED, 0xA9}, 16},
        {"INI", {0xED, 0xA2}, 16},
        {"OUTD", {0xED, 0xAB}, 16},
        {"ADD A,B", {0x80}, 4},
        {"ADC A,n", {0xCE, 0x12}, 7},
        {"SUB (HL)", {0x96}, 7},
        {"CP (IX+d)", {0xDD, 0xBE, 0x01}, 19},
        {"INC B", {0x04}, 4},
        {"DEC (HL)", {0x35}, 11},
        {"INC (IY+d)", {0xFD, 0x34, 0x01}, 23},
        {"DAA", {0x27}, 4},
        {"NEG", {0xED, 0x44}, 8},
        {"IM 1", {0xED, 0x56}, 8},
        {"ADD HL,BC", {0x09}, 11},
        {"ADC HL,DE", {0xED, 0x5A}, 15},
        {"SBC HL,SP", {0xED, 0x72}, 15},
        {"ADD IX,IX", {0xDD, 0x29}, 15},
        {"INC SP", {0x33}, 6},
        {"DEC IY", {0xFD, 0x2B}, 10},
    };
    for (const Timed& c : cases) ExpectFigure(c);
}

TEST(TStates, RotatesBitsJumpsCallsAndIoTakeTheManualsFigures) {
    const Timed cases[] = {
        {"RLCA", {0x07}, 4},
        {"RLC B", {0xCB, 0x00}, 8},
        {"RL (HL)", {0xCB, 0x16}, 15},
        {"SRA (IX+d)", {0xDD, 0xCB, 0x01, 0x2E}, 23},
        {"RLD", {0xED, 0x6F}, 18},
        {"BIT 0,B", {0xCB, 0x40}, 8},
        {"BIT 7,(HL)", {0xCB, 0x7E}, 12},
        {"BIT 1,(IY+d)", {0xFD, 0xCB, 0x01, 0x4E}, 20},
        {"RES 3,(HL)", {0xCB, 0x9E}, 15},
        {"SET 4,(IX+d)", {0xDD, 0xCB, 0x01, 0xE6}, 23},
        {"JP nn", {0xC3, 0x00, 0x20}, 10},
        {"JP NZ,nn taken", {0xC2, 0x00, 0x20}, 10},
        {"JP NZ,nn not taken", {0xC2, 0x00, 0x20}, 10, kZ},
        {"JR e", {0x18, 0x10}, 12},
        {"JR Z,e taken", {0x28, 0x10}, 12, kZ},
        {"JR Z,e not taken", {0x28, 0x10}, 7},
        {"JR NC,e taken", {0x30, 0x10}, 12},
        {"JR NC,e not taken", {0x30, 0x10}, 7, kC},
        {"JP (HL)", {0xE9}, 4},
        {"JP (IX)", {0xDD, 0xE9}, 8},
        {"DJNZ e taken", {0x10, 0x10}, 13, 0, 2},
        {"DJNZ e not taken", {0x10, 0x10}, 8, 0, 1},
        {"CALL nn", {0xCD, 0x00, 0x20}, 17},
        {"CALL C,nn taken", {0xDC, 0x00, 0x20}, 17, kC},
        {"CALL C,nn not taken", {0xDC, 0x00, 0x20}, 10},
        {"RET", {0xC9}, 10},
        {"RET NZ taken", {0xC0}, 11},
        {"RET NZ not taken", {0xC0}, 5, kZ},
        {"RETI", {0xED, 0x4D}, 14},
        {"RETN", {0xED, 0x45}, 14},
        {"RST 38h", {0xFF}, 11},
        {"IN A,(n)", {0xDB, 0x12}, 11},
        {"IN B,(C)", {0xED, 0x40}, 12},
        {"OUT (n),A", {0xD3, 0x12}, 11},
        {"OUT (C),D", {0xED, 0x51}, 12},
        {"HALT, a NOP here", {0x76}, 4},
    };
    for (const Timed& c : cases) ExpectFigure(c);
}

TEST(TStates, UndocumentedFormsTakeWhatTheRealCpuTakes) {
    const Timed cases[] = {
        {"DD before NOP: 4 for the prefix", {0xDD, 0x00}, 8},
        {"FD before EX DE,HL", {0xFD, 0xEB}, 8},
        {"DD DD LD IX,nn", {0xDD, 0xDD, 0x21, 0x00, 0x20}, 18},
        {"DD before ED NEG", {0xDD, 0xED, 0x44}, 12},
        {"ED 00: two NOPs", {0xED, 0x00}, 8},
        {"ED 77", {0xED, 0x77}, 8},
        {"ED FF", {0xED, 0xFF}, 8},
        {"IN F,(C)", {0xED, 0x70}, 12},
        {"OUT (C),0", {0xED, 0x71}, 12},
        {"NEG at ED 4C", {0xED, 0x4C}, 8},
        {"LD (nn),HL at ED 63", {0xED, 0x63, 0x00, 0x20}, 20},
        {"LD IXH,n", {0xDD, 0x26, 0x12}, 11},
        {"LD B,IXL", {0xDD, 0x45}, 8},
        {"INC IYH", {0xFD, 0x24}, 8},
        {"ADD A,IXL", {0xDD, 0x85}, 8},
        {"SLL C", {0xCB, 0x31}, 8},
        {"SLL (HL)", {0xCB, 0x36}, 15},
        {"RLC (IX+d),B", {0xDD, 0xCB, 0x01, 0x00}, 23},
        {"SET 0,(IY+d),B", {0xFD, 0xCB, 0x01, 0xC0}, 23},
        {"BIT 0,(IX+d) at DD CB d 41", {0xDD, 0xCB, 0x01, 0x41}, 20},
    };
    for (const Timed& c : cases) ExpectFigure(c);
}

// 21 for each pass that repeats, 16 for the last: the real CPU's total,
// though the loop runs in one step here.
TEST(TStates, BlockRepeatsTakeTheWholeLoopsFigure) {
    struct Repeat {
        const char* name;
        std::uint8_t op;
        std::uint16_t bc;
        std::uint32_t tStates;
    };
    const Repeat cases[] = {
        {"LDIR, BC 1", 0xB0, 0x0001, 16},
        {"LDIR, BC 3", 0xB0, 0x0003, 21 * 2 + 16},
        {"LDDR, BC 0: 65536 passes", 0xB8, 0x0000, 21 * 65535 + 16},
        {"CPIR, no match in 4", 0xB1, 0x0004, 21 * 3 + 16},
        {"CPDR, a match in the 3rd", 0xB9, 0x0010, 21 * 2 + 16},
        {"INIR, B 3", 0xB2, 0x0310, 21 * 2 + 16},
        {"OTDR, B 1", 0xBB, 0x0110, 16},
        {"OTIR, B 0: 256 passes", 0xB3, 0x0010, 21 * 255 + 16},
        {"INDR, B 2", 0xBA, 0x0210, 21 + 16},
    };
    for (const Repeat& c : cases) {
        FlatRig rig;
        rig.Load(0x1800, {0xED, c.op});
        rig.Load(0x1FFE, {0x77});  // CPDR from 2000h down finds it third
        rig.cpu.PC = 0x1800;
        rig.cpu.HL = 0x2000;
        rig.cpu.DE = 0x3000;
        rig.cpu.BC = c.bc;
        rig.cpu.AF = 0x7700;
        rig.Step();
        EXPECT_EQ(rig.tStates, c.tStates) << c.name;
        EXPECT_EQ(rig.cpu.PC, 0x1802) << c.name;
    }
}

TEST(TStates, InterruptAcceptanceTakesTheManualsFigures) {
    struct Accepted {
        const char* name;
        std::uint16_t mode;
        std::uint16_t iff1;
        std::uint8_t data;
        std::uint32_t tStates;
    };
    const Accepted cases[] = {
        {"mode 0, RST 38h: 2 wait states on its fetch", 0, 1, 0xFF, 13},
        {"mode 0, NOP", 0, 1, 0x00, 6},
        {"mode 1", 1, 1, 0x00, 13},
        {"mode 2", 2, 1, 0x00, 19},
        {"disabled: ignored", 1, 0, 0x00, 0},
    };
    for (const Accepted& c : cases) {
        BoardRig rig;
        rig.cpu.SP = 0x2000;
        rig.cpu.IM = c.mode;
        rig.cpu.IFF1 = c.iff1;
        AcceptInterrupt(rig.cpu, rig.bus, c.data, rig.tStates);
        EXPECT_EQ(rig.tStates, c.tStates) << c.name;
    }
    BoardRig nmi;
    AcceptNmi(nmi.cpu, nmi.bus, nmi.tStates);
    EXPECT_EQ(nmi.tStates, 11u);
}

// The threaded loop adds its own constant for each opcode, the portable
// switch and the prefixed tables theirs: a single step and a run of one must
// count every form alike.
TEST(TStates, StepsAndRunsCountEveryFormAlike) {
    for (const OpcodeForm& form : AllOpcodeForms()) {
        BoardRig stepped;
        BoardRig run;
        for (BoardRig* rig : {&stepped, &run}) {
            for (std::size_t i = 0; i < form.bytes.size(); ++i) rig->memory->bytes[0x1800 + i] = form.bytes[i];
            rig->cpu.PC = 0x1800;
            rig->cpu.SP = rig->cpu.HL = rig->cpu.IX = rig->cpu.IY = 0x2000;
            rig->cpu.BC = 0x0102;
        }
        stepped.Step();
        RunCpu(run.cpu, run.bus, 1, NeverStop, run.tStates);
        EXPECT_EQ(stepped.tStates, run.tStates) << std::hex << int{form.bytes[0]} << " " << int{form.bytes[1]};
        EXPECT_GE(stepped.tStates, 4u * (1 + form.ignoredPrefixes));
    }
}

}  // namespace
