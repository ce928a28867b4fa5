// Instruction decoding: prefix chains, the refresh register, the undocumented
// DD CB / FD CB forms, HALT, and run/step equivalence.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cpu_rig.h"

namespace {

struct Decoded {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint16_t length;  // bytes consumed
};

// Every instruction adds exactly one to R, however many prefix bytes it has.
TEST(RefreshRegister, GainsOnePerInstructionWhateverThePrefixes) {
    const Decoded cases[] = {
        {"NOP", {0x00}, 1},
        {"LD IX,nn", {0xDD, 0x21, 0x34, 0x12}, 4},
        {"DD DD LD IX,nn", {0xDD, 0xDD, 0x21, 0x34, 0x12}, 5},
        {"DD FD DD FD LD IY,nn", {0xDD, 0xFD, 0xDD, 0xFD, 0x21, 0x34, 0x12}, 7},
        {"DD ED ADC HL,BC", {0xDD, 0xED, 0x4A}, 3},
        {"DD NOP", {0xDD, 0x00}, 2},
        {"ED 00", {0xED, 0x00}, 2},
        {"ED FF", {0xED, 0xFF}, 2},
        {"FD CB d SET 0,(IY+d)", {0xFD, 0xCB, 0x02, 0xC6}, 4},
        {"LDIR over 16 bytes", {0xED, 0xB0}, 2},
        {"CB RLC B", {0xCB, 0x00}, 2},
    };
    for (const Decoded& c : cases) {
        FlatRig rig;
        for (std::size_t i = 0; i < c.bytes.size(); ++i) rig.bus->memory[0x4000 + i] = c.bytes[i];
        rig.cpu.PC = 0x4000;
        rig.cpu.IY = 0x8000;
        rig.cpu.HL = 0x9000;
        rig.cpu.DE = 0xA000;
        rig.cpu.BC = 0x0010;
        rig.cpu.R = 0x85;
        rig.Step();
        EXPECT_EQ(rig.cpu.R, 0x86) << c.name;
        EXPECT_EQ(rig.cpu.PC, 0x4000 + c.length) << c.name;
    }
}

// Within a run R is counted apart from its bit 7: LD R,A and LD A,R in the
// middle of a run, and the count wrapping, must match single steps.
TEST(RunCpu, KeepsTheRefreshRegisterAsStepsDo) {
    const std::uint8_t program[] = {
        0x3E, 0x80, 0xED, 0x4F, 0xED, 0x5F, 0x32, 0x00, 0x20,  // LD A,80h; LD R,A; LD A,R; LD (2000h),A
        0x3E, 0x7E, 0xED, 0x4F, 0x00, 0x00, 0x00,              // LD A,7Eh; LD R,A; NOP x3
        0xED, 0x5F, 0x32, 0x01, 0x20, 0xC3, 0x00, 0x18,        // LD A,R; LD (2001h),A; JP 1800h
    };
    for (std::uint16_t startR : {std::uint16_t{0x00}, std::uint16_t{0x7F}, std::uint16_t{0xFF}}) {
        for (int count : {1, 3, 9, 300}) {
            FlatRig stepped;
            FlatRig run;
            std::memcpy(stepped.bus->memory + 0x1800, program, sizeof program);
            std::memcpy(run.bus->memory + 0x1800, program, sizeof program);
            stepped.cpu.PC = run.cpu.PC = 0x1800;
            stepped.cpu.R = run.cpu.R = startR;
            stepped.Step(count);
            RunCpu(run.cpu, *run.bus, static_cast<std::uint64_t>(count));
            EXPECT_EQ(run.cpu.R, stepped.cpu.R) << std::hex << startR << " " << std::dec << count;
            EXPECT_EQ(RegA(run.cpu), RegA(stepped.cpu)) << std::hex << startR << " " << std::dec << count;
            EXPECT_EQ(std::memcmp(stepped.bus->memory + 0x2000, run.bus->memory + 0x2000, 2), 0);
        }
    }
}

TEST(RefreshRegister, CountsInItsLowSevenBitsAndKeepsBitSeven) {
    const std::uint16_t cases[][2] = {{0x7F, 0x00}, {0xFF, 0x80}, {0x00, 0x01}, {0x80, 0x81}};
    for (const auto& c : cases) {
        FlatRig rig;
        rig.cpu.R = c[0];
        rig.Step();
        EXPECT_EQ(rig.cpu.R, c[1]) << std::hex << c[0];
    }
}

TEST(RefreshRegister, LdRAStoresAllEightBitsAndLdARReadsAfterTheIncrement) {
    FlatRig rig;
    rig.Load(0, {0x3E, 0xFE, 0xED, 0x4F, 0xED, 0x5F});  // LD A,FEh; LD R,A; LD A,R
    rig.cpu.R = 0x10;
    rig.cpu.IFF2 = 1;
    rig.Step(2);
    EXPECT_EQ(rig.cpu.R, 0xFE);
    rig.Step();
    EXPECT_EQ(RegA(rig.cpu), 0xFF);  // FE + 1 in the low seven bits, bit 7 kept
    EXPECT_EQ(RegF(rig.cpu) & 0xC4, 0x84);  // S set, Z clear, P/V = IFF2
}

TEST(PrefixChains, OnlyTheLastIndexPrefixCounts) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::uint16_t ix, iy, hl;
    };
    const Case cases[] = {
        {{0xDD, 0xDD, 0x21, 0x34, 0x12}, 0x1234, 0x0000, 0x0000},
        {{0xDD, 0xFD, 0x21, 0x34, 0x12}, 0x0000, 0x1234, 0x0000},
        {{0xFD, 0xDD, 0x21, 0x34, 0x12}, 0x1234, 0x0000, 0x0000},
        {{0xFD, 0xED, 0x6B, 0x00, 0x80}, 0x0000, 0x0000, 0xBBAA},  // ED drops the prefix: LD HL,(8000h)
    };
    for (const Case& c : cases) {
        FlatRig rig;
        rig.Load(0x8000, {0xAA, 0xBB});
        for (std::size_t i = 0; i < c.bytes.size(); ++i) rig.bus->memory[i] = c.bytes[i];
        rig.Step();
        EXPECT_EQ(rig.cpu.IX, c.ix);
        EXPECT_EQ(rig.cpu.IY, c.iy);
        EXPECT_EQ(rig.cpu.HL, c.hl);
        EXPECT_EQ(rig.cpu.PC, c.bytes.size());
    }
}

TEST(PrefixChains, IndexPrefixRedirectsOnlyHlRoles) {
    FlatRig rig;
    rig.Load(0, {
                    0xDD, 0x04,              // DD INC B: plain INC B
                    0xDD, 0xEB,              // DD EX DE,HL: still DE and HL
                    0xDD, 0x66, 0x01,        // LD H,(IX+1): H, not IXh
                    0xDD, 0x26, 0x12,        // LD IXh,12h
                    0xDD, 0x6C,              // LD IXl,IXh
                    0xDD, 0x29,              // ADD IX,IX
                });
    rig.Load(0x3001, {0x77});
    rig.cpu.BC = 0x0100;
    rig.cpu.DE = 0x1111;
    rig.cpu.HL = 0x2222;
    rig.cpu.IX = 0x3000;
    rig.Step(3);
    EXPECT_EQ(rig.cpu.BC, 0x0200);
    EXPECT_EQ(rig.cpu.DE, 0x2222);
    EXPECT_EQ(rig.cpu.HL, 0x7711);
    EXPECT_EQ(rig.cpu.IX, 0x3000);
    rig.Step(3);
    EXPECT_EQ(rig.cpu.IX, 0x2424);  // 1212h doubled
    EXPECT_EQ(rig.cpu.HL, 0x7711);
}

TEST(IndexedOperands, DisplacementIsSignedAndWraps) {
    FlatRig rig;
    rig.Load(0, {0xDD, 0x7E, 0xFF, 0xDD, 0x7E, 0x80, 0xDD, 0x36, 0x05, 0xAA});
    rig.Load(0x1800, {0x11});
    rig.Load(0xFF80, {0x22});
    rig.cpu.IX = 0x1801;
    rig.Step();
    EXPECT_EQ(RegA(rig.cpu), 0x11);
    rig.cpu.IX = 0x0000;
    rig.Step();
    EXPECT_EQ(RegA(rig.cpu), 0x22);
    rig.cpu.IX = 0x1900;
    rig.Step();  // LD (IX+5),AAh: displacement before the immediate
    EXPECT_EQ(rig.bus->memory[0x1905], 0xAA);
    EXPECT_EQ(rig.cpu.PC, 10);
}

// DD CB d op with low bits other than 6: the operation works on (IX+d) and,
// except for BIT, the result is copied into B, C, D, E, H, L or A.
TEST(IndexedBitOperations, UndocumentedFormsWorkOnMemoryAndCopyTheResult) {
    struct Case {
        const char* name;
        std::uint8_t op;
        std::uint8_t memoryAfter;
        std::uint16_t bc, hl, af;  // expected registers after
    };
    const Case cases[] = {
        {"RLC (IX+2)->B", 0x00, 0x03, 0x0300, 0x2222, 0x0000},
        {"SET 0,(IX+2)->C", 0xC1, 0x81, 0x0081, 0x2222, 0x0000},
        {"RES 7,(IX+2)->H", 0xBC, 0x01, 0x0000, 0x0122, 0x0000},
        {"SLL (IX+2)->L", 0x35, 0x03, 0x0000, 0x2203, 0x0000},
        {"SRL (IX+2)->A", 0x3F, 0x40, 0x0000, 0x2222, 0x4000},
        {"SET 1,(IX+2) only", 0xCE, 0x83, 0x0000, 0x2222, 0x0000},
    };
    for (const Case& c : cases) {
        FlatRig rig;
        rig.Load(0, {0xDD, 0xCB, 0x02, c.op});
        rig.Load(0x5002, {0x81});
        rig.cpu.IX = 0x5000;
        rig.cpu.BC = 0x0000;
        rig.cpu.HL = 0x2222;
        rig.cpu.AF = 0x0000;
        rig.Step();
        EXPECT_EQ(rig.cpu.PC, 4) << c.name;
        EXPECT_EQ(rig.bus->memory[0x5002], c.memoryAfter) << c.name;
        EXPECT_EQ(rig.cpu.BC, c.bc) << c.name;
        EXPECT_EQ(rig.cpu.HL, c.hl) << c.name;
        EXPECT_EQ(rig.cpu.AF & 0xFF00, c.af) << c.name;
        EXPECT_EQ(rig.cpu.IX, 0x5000) << c.name;  // never IXh or IXl
    }
}

TEST(IndexedBitOperations, BitUnderEveryEncodingTestsMemory) {
    for (std::uint8_t low = 0; low < 8; ++low) {
        FlatRig rig;
        rig.Load(0, {0xFD, 0xCB, 0xFE, static_cast<std::uint8_t>(0x40 | low)});  // BIT 0,(IY-2)
        rig.Load(0x1800, {0xFE});
        rig.cpu.IY = 0x1802;
        rig.cpu.BC = 0x0101;
        rig.cpu.AF = 0x0000;
        rig.Step();
        EXPECT_EQ(RegF(rig.cpu), 0x54) << int(low);  // Z P/V H; 5 and 3 from 00h, the low byte of 1800h
        EXPECT_EQ(rig.cpu.BC, 0x0101) << int(low);
        EXPECT_EQ(rig.cpu.PC, 4) << int(low);
    }
}

TEST(Halt, IsANopAndTheNextStepRunsOn) {
    FlatRig rig;
    rig.Load(0x1800, {0x76, 0x3C});  // HALT; INC A
    rig.cpu.PC = 0x1800;
    rig.cpu.AF = 0x0000;
    rig.Step();
    EXPECT_EQ(rig.cpu.PC, 0x1801);
    rig.Step();
    EXPECT_EQ(RegA(rig.cpu), 0x01);
}

// RunCpu holds PC and R aside for speed: it must leave exactly what the same
// number of StepCpu calls leaves.
TEST(RunCpu, MatchesStepByStepExecution) {
    const std::uint8_t program[] = {
        0x31, 0x00, 0x28, 0xDD, 0x21, 0x00, 0x20, 0x06, 0x00, 0x21, 0x00, 0x20, 0x7E, 0x81, 0x07,
        0xDD, 0xAE, 0x05, 0x77, 0x23, 0x4F, 0xCD, 0x20, 0x18, 0x10, 0xF2, 0xC3, 0x07, 0x18, 0x00,
        0x00, 0x00, 0xC5, 0xCB, 0x39, 0x79, 0xE6, 0x0F, 0xDD, 0x34, 0x01, 0xED, 0x5F, 0xC1, 0xC9,
    };
    FlatRig stepped;
    FlatRig run;
    std::memcpy(stepped.bus->memory + 0x1800, program, sizeof program);
    std::memcpy(run.bus->memory + 0x1800, program, sizeof program);
    stepped.cpu.PC = run.cpu.PC = 0x1800;
    stepped.Step(100000);
    EXPECT_EQ(RunCpu(run.cpu, *run.bus, 100000, NeverStop, run.tStates), 100000u);
    EXPECT_EQ(std::memcmp(&stepped.cpu, &run.cpu, sizeof(CpuState)), 0);
    EXPECT_EQ(stepped.tStates, run.tStates);
    EXPECT_EQ(std::memcmp(stepped.bus->memory, run.bus->memory, sizeof run.bus->memory), 0);

    // Stopping before an address leaves PC on it, the instruction not run.
    FlatRig stopped;
    std::memcpy(stopped.bus->memory + 0x1800, program, sizeof program);
    stopped.cpu.PC = 0x1800;
    std::uint64_t ran = RunCpu(stopped.cpu, *stopped.bus, 1000, [](std::uint16_t pc) { return pc == 0x1820; });
    EXPECT_EQ(stopped.cpu.PC, 0x1820);
    EXPECT_EQ(ran, 12u);  // 4 set-up instructions, then 8 up to and including the CALL
}

// On the board's bus a run fetches an instruction untested when its four
// bytes all read back, and tests it byte by byte otherwise. Instructions of
// one to five bytes placed across each edge of ROM and RAM, and under a
// window that ends RAM early, must run as single steps run them.
TEST(RunCpu, MatchesStepsAcrossTheEdgesOfTheBoardsMemory) {
    const std::vector<std::uint8_t> instructions[] = {
        {0x3E, 0x12},                    // LD A,12h
        {0x21, 0x34, 0x12},              // LD HL,1234h
        {0xDD, 0x36, 0x01, 0x77},        // LD (IX+1),77h
        {0xFD, 0xCB, 0x02, 0xC6},        // SET 0,(IY+2)
        {0xED, 0x43, 0x10, 0x20},        // LD (2010h),BC
        {0xDD, 0xFD, 0x36, 0x01, 0x77},  // a prefix after a prefix: LD (IY+1),77h
        {0xDD, 0xED, 0x4B, 0x10, 0x20},  // DD dropped by ED: LD BC,(2010h)
        {0xC3, 0x00, 0x20},              // JP 2000h
    };
    const MemoryWindow windows[] = {{0x0800, 0xFFFF}, {0x0800, 0x1FFF}};
    for (const MemoryWindow& window : windows) {
        for (std::uint16_t edge : {std::uint16_t{0x0800}, std::uint16_t{0x2000}, std::uint16_t{0x2800}}) {
            for (const auto& bytes : instructions) {
                for (int before = 1; before <= 6; ++before) {
                    const auto at = static_cast<std::uint16_t>(edge - before);
                    BoardRig stepped;
                    BoardRig run;
                    for (BoardRig* rig : {&stepped, &run}) {
                        rig->window = window;
                        rig->cpu.IX = rig->cpu.IY = 0x2100;
                        rig->cpu.SP = 0x2200;
                        for (std::size_t i = 0; i < bytes.size(); ++i) rig->memory->bytes[(at + i) & 0xFFFF] = bytes[i];
                        rig->memory->bytes[edge] = 0x01;  // stored, but read only where the window lets it
                        rig->cpu.PC = at;
                    }
                    stepped.Step(2);
                    RunCpu(run.cpu, run.bus, 2, NeverStop, run.tStates);
                    SCOPED_TRACE(testing::Message() << std::hex << window.ramEnd << " " << at << " " << int{bytes[0]});
                    EXPECT_EQ(std::memcmp(&stepped.cpu, &run.cpu, sizeof(CpuState)), 0);
                    EXPECT_EQ(stepped.tStates, run.tStates);
                    EXPECT_EQ(std::memcmp(stepped.memory->bytes, run.memory->bytes, 65536), 0);
                }
            }
        }
    }
}

TEST(ResetCpu, SetsTheControlRegistersAndKeepsTheRest) {
    FlatRig rig;
    CpuState& cpu = rig.cpu;
    cpu.BC = 0x0102;
    cpu.DE = 0x0304;
    cpu.HL = 0x0506;
    cpu.IX = 0x0708;
    cpu.IY = 0x090A;
    cpu.BC_ = 0x0B0C;
    cpu.DE_ = 0x0D0E;
    cpu.HL_ = 0x0F10;
    cpu.AF_ = 0x1112;
    cpu.R = 0x93;
    cpu.AF = 0x1234;
    cpu.SP = 0x4000;
    cpu.I = 0x18;
    cpu.PC = 0x2000;
    cpu.IFF1 = cpu.IFF2 = 1;
    cpu.IM = 2;
    CpuState before = cpu;
    ResetCpu(cpu);
    EXPECT_EQ(cpu.AF, 0xFFFF);
    EXPECT_EQ(cpu.SP, 0xFFFF);
    EXPECT_EQ(cpu.I, 0);
    EXPECT_EQ(cpu.PC, 0);
    EXPECT_EQ(cpu.IFF1, 0);
    EXPECT_EQ(cpu.IFF2, 0);
    EXPECT_EQ(cpu.IM, 0);
    const std::uint16_t CpuState::*kept[] = {&CpuState::BC,  &CpuState::DE,  &CpuState::HL,  &CpuState::IX,
                                             &CpuState::IY,  &CpuState::BC_, &CpuState::DE_, &CpuState::HL_,
                                             &CpuState::AF_, &CpuState::R};
    for (auto field : kept) EXPECT_EQ(cpu.*field, before.*field);
}

TEST(CpuStateCopies, RunIndependentlyOfTheOriginal) {
    FlatRig rig;
    rig.Load(0, {0x06, 0x42});  // LD B,42h
    CpuState copy = rig.cpu;
    StepCpu(copy, *rig.bus);
    EXPECT_EQ(RegB(copy), 0x42);
    EXPECT_EQ(RegB(rig.cpu), 0x00);
}

}  // namespace
