// Block instructions that finish inside one step, and the flag results the
// board's CPU fixes on purpose where the exercisers cannot see them.
#include <gtest/gtest.h>

#include <vector>

#include "cpu_rig.h"

namespace {

// A flat bus that counts memory writes.
struct CountingBus : FlatBus {
    std::uint64_t writes = 0;
    void Write(std::uint16_t a, std::uint8_t v) {
        ++writes;
        FlatBus::Write(a, v);
    }
};

TEST(BlockRepeats, LdirWithBcZeroCopiesTheWholeSpaceInOneStep) {
    auto bus = std::make_unique<CountingBus>();
    for (unsigned a = 0; a < 0x10000; ++a) bus->memory[a] = static_cast<std::uint8_t>(a * 7);
    bus->memory[0x4000] = 0xED;
    bus->memory[0x4001] = 0xB0;
    CpuState cpu{};
    ResetCpu(cpu);
    cpu.PC = 0x4000;
    cpu.HL = 0x8000;
    cpu.DE = 0x8000;  // onto itself: every byte is copied and stays as it was
    cpu.BC = 0x0000;
    cpu.R = 0;
    StepCpu(cpu, *bus);
    EXPECT_EQ(bus->writes, 65536u);
    EXPECT_EQ(cpu.BC, 0x0000);
    EXPECT_EQ(cpu.HL, 0x8000);  // wrapped through FFFFh to 0000h and on
    EXPECT_EQ(cpu.DE, 0x8000);
    EXPECT_EQ(cpu.PC, 0x4002);
    EXPECT_EQ(cpu.R, 1);
    EXPECT_EQ(RegF(cpu) & kFlagPV, 0u);
}

TEST(BlockRepeats, LdirIntoRomCopiesNothingButAdvances) {
    BoardRig rig;
    rig.Load(0x1800, {0xED, 0xB0});
    rig.Load(0x1900, {1, 2, 3, 4});
    rig.cpu.PC = 0x1800;
    rig.cpu.HL = 0x1900;
    rig.cpu.DE = 0x0000;
    rig.cpu.BC = 0x0004;
    rig.Step();
    for (int a = 0; a < 4; ++a) EXPECT_EQ(rig.memory->bytes[a], 0);
    EXPECT_EQ(rig.cpu.HL, 0x1904);
    EXPECT_EQ(rig.cpu.DE, 0x0004);
    EXPECT_EQ(rig.cpu.BC, 0x0000);
}

TEST(BlockRepeats, LddrCopiesDownwards) {
    FlatRig rig;
    rig.Load(0, {0xED, 0xB8});
    rig.Load(0x5000, {1, 2, 3});
    rig.cpu.HL = 0x5002;
    rig.cpu.DE = 0x5003;  // overlapping by one: a downward copy is safe
    rig.cpu.BC = 3;
    rig.Step();
    EXPECT_EQ(rig.bus->memory[0x5001], 1);
    EXPECT_EQ(rig.bus->memory[0x5002], 2);
    EXPECT_EQ(rig.bus->memory[0x5003], 3);
    EXPECT_EQ(rig.cpu.HL, 0x4FFF);
}

TEST(BlockRepeats, CpirStopsJustPastTheFirstMatch) {
    FlatRig rig;
    rig.Load(0, {0xED, 0xB1});
    rig.Load(0x6000, {9, 8, 7, 7});
    rig.cpu.AF = 0x0700;
    rig.cpu.HL = 0x6000;
    rig.cpu.BC = 0x0010;
    rig.Step();
    EXPECT_EQ(rig.cpu.HL, 0x6003);
    EXPECT_EQ(rig.cpu.BC, 0x000D);
    EXPECT_NE(RegF(rig.cpu) & kFlagZ, 0u);
    EXPECT_NE(RegF(rig.cpu) & kFlagPV, 0u);

    FlatRig none;  // no match: BC runs out, Z and P/V clear
    none.Load(0, {0xED, 0xB1});
    none.cpu.AF = 0x0700;
    none.cpu.HL = 0x6000;
    none.cpu.BC = 0x0003;
    none.Step();
    EXPECT_EQ(none.cpu.HL, 0x6003);
    EXPECT_EQ(RegF(none.cpu) & (kFlagZ | kFlagPV), 0u);
}

struct FlagCase {
    const char* name;
    std::vector<std::uint8_t> program;
    std::uint16_t af, bc, hl;  // before
    std::uint8_t memory;       // byte at HL before
    std::uint8_t portValue;    // what an input reads
    std::uint16_t afAfter;
};

// Results the board relies on beyond what the exercisers check: the copy bits
// of BIT on memory come from the address, and the I/O instructions' flags.
TEST(Flags, OfInstructionsOutsideTheExercisers) {
    const FlagCase cases[] = {
        {"BIT 0,(HL) takes bits 5 and 3 from L", {0xCB, 0x46}, 0x0000, 0x0000, 0x1828, 0xFE, 0, 0x007C},
        {"BIT 0,(HL) bit set", {0xCB, 0x46}, 0x0001, 0x0000, 0x1800, 0x01, 0, 0x0011},
        {"BIT 7,A", {0xCB, 0x7F}, 0x8000, 0x0000, 0x0000, 0x00, 0, 0x8090},
        {"IN A,(n) keeps the flags", {0xDB, 0x00}, 0x00D7, 0x0000, 0x0000, 0x00, 0x5A, 0x5AD7},
        {"IN C,(C) sets S Z P from the byte", {0xED, 0x48}, 0x0001, 0x0000, 0x0000, 0x00, 0x00, 0x0045},
        {"IN C,(C) negative odd byte", {0xED, 0x48}, 0x0000, 0x0000, 0x0000, 0x00, 0x83, 0x0080},
        {"SCF copies 5 and 3 from A", {0x37}, 0x28C4, 0x0000, 0x0000, 0x00, 0, 0x28ED},
        {"CCF puts the old carry in H", {0x3F}, 0x0001, 0x0000, 0x0000, 0x00, 0, 0x0010},
        {"NEG of 80h overflows", {0xED, 0x44}, 0x8000, 0x0000, 0x0000, 0x00, 0, 0x8087},
        {"NEG of 0", {0xED, 0x44}, 0x0000, 0x0000, 0x0000, 0x00, 0, 0x0042},
        {"ADD A,B then DAA: 15h+27h", {0x80, 0x27}, 0x1500, 0x2700, 0x0000, 0x00, 0, 0x4214},
        {"SLL B", {0xCB, 0x30}, 0x0000, 0x8000, 0x0000, 0x00, 0, 0x0001},
    };
    for (const FlagCase& c : cases) {
        BoardRig rig;
        for (std::size_t i = 0; i < c.program.size(); ++i) rig.memory->bytes[0x1A00 + i] = c.program[i];
        rig.memory->bytes[c.hl] = c.memory;
        rig.cpu.PC = 0x1A00;
        rig.cpu.AF = c.af;
        rig.cpu.BC = c.bc;
        rig.cpu.HL = c.hl;
        rig.ports.inValue = c.portValue;
        rig.Step(c.program[0] == 0x80 ? 2 : 1);  // the DAA case runs two instructions
        EXPECT_EQ(rig.cpu.AF, c.afAfter) << c.name << std::hex << " got " << rig.cpu.AF;
    }
}

TEST(Flags, LdAIShowsIff2InParity) {
    for (std::uint16_t iff2 : {std::uint16_t{0}, std::uint16_t{1}}) {
        FlatRig rig;
        rig.Load(0, {0xED, 0x57});
        rig.cpu.I = 0x00;
        rig.cpu.AF = 0xFF01;
        rig.cpu.IFF2 = iff2;
        rig.Step();
        EXPECT_EQ(rig.cpu.AF, iff2 ? 0x0045 : 0x0041);
    }
}

TEST(Flags, BlockInputAndOutput) {
    BoardRig rig;
    rig.Load(0x1800, {0xED, 0xA2, 0xED, 0xA3});  // INI; OUTI
    rig.cpu.PC = 0x1800;
    rig.cpu.BC = 0x02FF;
    rig.cpu.HL = 0x1900;
    rig.ports.inValue = 0x80;
    rig.Step();
    // k = 80h + (FFh + 1) mod 256 = 80h: no carry; B = 1; N from bit 7 of the byte.
    EXPECT_EQ(RegF(rig.cpu), 0x02);
    EXPECT_EQ(rig.memory->bytes[0x1900], 0x80);
    rig.cpu.HL = 0x19F0;
    rig.memory->bytes[0x19F0] = 0x20;
    rig.Step();
    // B = 0; k = 20h + F1h > FFh: H and C; parity of (k & 7) ^ 0 = 1 bit: odd.
    EXPECT_EQ(RegF(rig.cpu), kFlagZ | kFlagH | kFlagC);
    EXPECT_EQ(rig.ports.writes.back(), std::make_pair(std::uint16_t{0x00FF}, std::uint8_t{0x20}));
}

TEST(ControlFlow, RelativeJumpsAndDjnz) {
    FlatRig loop;
    loop.Load(0x1000, {0x18, 0xFE});  // JR $: jumps to itself
    loop.cpu.PC = 0x1000;
    loop.Step(3);
    EXPECT_EQ(loop.cpu.PC, 0x1000);

    FlatRig djnz;
    djnz.Load(0x1000, {0x10, 0x10});  // DJNZ +16 with B = 0: B = FFh, taken
    djnz.cpu.PC = 0x1000;
    djnz.cpu.BC = 0x0000;
    djnz.Step();
    EXPECT_EQ(RegB(djnz.cpu), 0xFF);
    EXPECT_EQ(djnz.cpu.PC, 0x1012);

    FlatRig last;
    last.Load(0x1000, {0x10, 0x10});  // B = 1: falls through
    last.cpu.PC = 0x1000;
    last.cpu.BC = 0x0100;
    last.Step();
    EXPECT_EQ(last.cpu.PC, 0x1002);
}

TEST(ControlFlow, ConditionsReadTheirFlags) {
    // JP cc,nn for each of the eight conditions, with F all clear then all set.
    for (unsigned cc = 0; cc < 8; ++cc) {
        for (std::uint16_t f : {std::uint16_t{0x00}, std::uint16_t{0xFF}}) {
            FlatRig rig;
            rig.Load(0, {static_cast<std::uint8_t>(0xC2 | cc << 3), 0x00, 0x30});
            rig.cpu.AF = f;
            rig.Step();
            bool taken = (cc % 2 == 1) == (f == 0xFF);  // odd cc: flag set
            EXPECT_EQ(rig.cpu.PC, taken ? 0x3000 : 0x0003) << cc << " " << f;
        }
    }
}

TEST(StackOps, PopAfPushAfKeepsEveryFlagBit) {
    FlatRig rig;
    rig.Load(0, {0xF1, 0xF5});
    rig.Load(0x8000, {0xD7, 0x12});
    rig.cpu.SP = 0x8000;
    rig.Step();
    EXPECT_EQ(rig.cpu.AF, 0x12D7);
    rig.Load(0x8000, {0, 0});
    rig.Step();
    EXPECT_EQ(rig.bus->ReadWord16(0x8000), 0x12D7);
}

}  // namespace
