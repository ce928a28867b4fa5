// Maskable interrupts in modes 0, 1 and 2, the NMI, and EI/DI/RETN around them.
#include <gtest/gtest.h>

#include "cpu_rig.h"

namespace {

// PC 1234h, SP 1FF0h, interrupts enabled in the given mode.
struct EnabledRig : BoardRig {
    explicit EnabledRig(std::uint16_t mode) {
        cpu.PC = 0x1234;
        cpu.SP = 0x1FF0;
        cpu.IFF1 = cpu.IFF2 = 1;
        cpu.IM = mode;
        cpu.R = 0x10;
    }
};

TEST(MaskableInterrupt, IsIgnoredAndForgottenWhileDisabled) {
    EnabledRig rig(1);
    rig.cpu.IFF1 = 0;
    CpuState before = rig.cpu;
    AcceptInterrupt(rig.cpu, rig.bus, 0x00);
    EXPECT_EQ(rig.cpu.PC, before.PC);
    EXPECT_EQ(rig.cpu.SP, before.SP);
    EXPECT_EQ(rig.cpu.R, before.R);
    EXPECT_EQ(rig.cpu.IFF2, 1);
}

TEST(MaskableInterrupt, Mode1CallsThirtyEightHex) {
    EnabledRig rig(1);
    AcceptInterrupt(rig.cpu, rig.bus, 0x00);
    EXPECT_EQ(rig.cpu.PC, 0x0038);
    EXPECT_EQ(rig.cpu.SP, 0x1FEE);
    EXPECT_EQ(rig.memory->bytes[0x1FEE], 0x34);
    EXPECT_EQ(rig.memory->bytes[0x1FEF], 0x12);
    EXPECT_EQ(rig.cpu.IFF1, 0);
    EXPECT_EQ(rig.cpu.IFF2, 0);
    EXPECT_EQ(rig.cpu.R, 0x11);
}

TEST(MaskableInterrupt, Mode2CallsThroughTheVectorTable) {
    EnabledRig rig(2);
    rig.cpu.I = 0x18;
    rig.Load(0x1800, {0xCD, 0xAB});
    rig.Load(0x18FE, {0x00, 0x19});
    AcceptInterrupt(rig.cpu, rig.bus, 0x00);
    EXPECT_EQ(rig.cpu.PC, 0xABCD);
    EXPECT_EQ(rig.cpu.SP, 0x1FEE);

    EnabledRig odd(2);  // all eight bits of the data byte are used
    odd.cpu.I = 0x18;
    odd.Load(0x18FF, {0x00, 0x19});
    AcceptInterrupt(odd.cpu, odd.bus, 0xFF);
    EXPECT_EQ(odd.cpu.PC, 0x1900);
}

TEST(MaskableInterrupt, Mode0ExecutesTheDataByte) {
    EnabledRig rst(0);
    AcceptInterrupt(rst.cpu, rst.bus, 0xFF);  // RST 38h, returning to the current PC
    EXPECT_EQ(rst.cpu.PC, 0x0038);
    EXPECT_EQ(rst.memory->bytes[0x1FEE], 0x34);
    EXPECT_EQ(rst.memory->bytes[0x1FEF], 0x12);

    EnabledRig nop(0);
    AcceptInterrupt(nop.cpu, nop.bus, 0x00);  // what the INTR key sends
    EXPECT_EQ(nop.cpu.PC, 0x1234);
    EXPECT_EQ(nop.cpu.SP, 0x1FF0);
    EXPECT_EQ(nop.cpu.IFF1, 0);
    EXPECT_EQ(nop.cpu.R, 0x12);  // one for the acceptance, one for the NOP

    EnabledRig call(0);  // operands of the data byte come from PC
    call.cpu.PC = 0x1800;
    call.Load(0x1800, {0x00, 0x20});
    AcceptInterrupt(call.cpu, call.bus, 0xCD);  // CALL 2000h
    EXPECT_EQ(call.cpu.PC, 0x2000);
    EXPECT_EQ(call.memory->bytes[0x1FEE], 0x02);
    EXPECT_EQ(call.memory->bytes[0x1FEF], 0x18);
}

TEST(MaskableInterrupt, EiIsInForceAtOnceAndDiStopsIt) {
    for (int instructions : {1, 2}) {
        BoardRig rig;
        rig.Load(0x1800, {0xFB, 0xF3});  // EI; DI
        rig.cpu.PC = 0x1800;
        rig.cpu.SP = 0x2000;
        rig.cpu.IM = 1;
        rig.Step(instructions);
        AcceptInterrupt(rig.cpu, rig.bus, 0x00);
        EXPECT_EQ(rig.cpu.PC, instructions == 1 ? 0x0038 : 0x1802) << instructions;
    }
}

TEST(Nmi, CallsSixtySixHexAndRetnRestoresTheEnable) {
    EnabledRig rig(1);
    rig.Load(0x0066, {0xED, 0x45});  // RETN
    AcceptNmi(rig.cpu, rig.bus);
    EXPECT_EQ(rig.cpu.PC, 0x0066);
    EXPECT_EQ(rig.cpu.IFF1, 0);
    EXPECT_EQ(rig.cpu.IFF2, 1);
    EXPECT_EQ(rig.cpu.R, 0x11);
    rig.Step();
    EXPECT_EQ(rig.cpu.PC, 0x1234);
    EXPECT_EQ(rig.cpu.IFF1, 1);
}

TEST(Nmi, IsTakenWithInterruptsDisabledToo) {
    EnabledRig rig(1);
    rig.cpu.IFF1 = rig.cpu.IFF2 = 0;
    AcceptNmi(rig.cpu, rig.bus);
    EXPECT_EQ(rig.cpu.PC, 0x0066);
}

TEST(Nmi, NestedNmisLeaveInterruptsDisabledAfterBothReturns) {
    EnabledRig rig(1);
    rig.Load(0x0066, {0xED, 0x4D});  // RETI: the same as RETN here
    AcceptNmi(rig.cpu, rig.bus);
    AcceptNmi(rig.cpu, rig.bus);
    EXPECT_EQ(rig.cpu.IFF2, 0);
    rig.Step();
    EXPECT_EQ(rig.cpu.PC, 0x0066);
    EXPECT_EQ(rig.cpu.IFF1, 0);
    rig.Step();
    EXPECT_EQ(rig.cpu.PC, 0x1234);
    EXPECT_EQ(rig.cpu.IFF1, 0);
}

TEST(Nmi, StackAtOneWrapsAndWritesIntoRom) {
    EnabledRig rig(1);
    rig.cpu.SP = 0x0001;
    AcceptNmi(rig.cpu, rig.bus);
    EXPECT_EQ(rig.cpu.SP, 0xFFFF);
    EXPECT_EQ(rig.memory->bytes[0xFFFF], 0x34);
    EXPECT_EQ(rig.memory->bytes[0x0000], 0x12);  // only the first address is tested
}

}  // namespace
