// The board's memory as the CPU sees it: the read mask, the write window and
// the first-address-only tests of word accesses.
#include <gtest/gtest.h>

#include "cpu_rig.h"

namespace {

struct ByteRead {
    std::uint16_t address;
    bool readable;
};

TEST(BoardMemoryMap, ByteReadsFollowTheDecodedRanges) {
    const ByteRead cases[] = {
        {0x0000, true},  {0x07FF, true},  {0x0800, true},  {0x0801, false}, {0x17FF, false},
        {0x1800, true},  {0x27FF, true},  {0x2800, false}, {0x8000, false}, {0xFFFF, false},
    };
    auto memory = std::make_unique<BoardMemory>();
    MemoryWindow window{0x0800, 0xFFFF};
    for (const ByteRead& c : cases) {
        memory->bytes[c.address] = 0x42;
        EXPECT_EQ(ReadByte(*memory, window, c.address), c.readable ? 0x42 : 0xFF) << std::hex << c.address;
    }
}

TEST(BoardMemoryMap, WritesLandFromRomEndUpEvenWhereReadsAreMasked) {
    auto memory = std::make_unique<BoardMemory>();
    MemoryWindow window{0x0800, 0xFFFF};
    WriteByte(*memory, window, 0x0000, 0x11);
    WriteByte(*memory, window, 0x07FF, 0x22);
    WriteByte(*memory, window, 0x0800, 0x33);
    WriteByte(*memory, window, 0x3000, 0x12);
    EXPECT_EQ(memory->bytes[0x0000], 0x00);
    EXPECT_EQ(memory->bytes[0x07FF], 0x00);
    EXPECT_EQ(memory->bytes[0x0800], 0x33);
    EXPECT_EQ(memory->bytes[0x3000], 0x12);
    EXPECT_EQ(ReadByte(*memory, window, 0x3000), 0xFF);
}

TEST(BoardMemoryMap, WordReadsTestOnlyTheirFirstAddress) {
    auto memory = std::make_unique<BoardMemory>();
    MemoryWindow window{0x0800, 0xFFFF};
    memory->bytes[0x0800] = 0x01;
    memory->bytes[0x0801] = 0x02;  // masked for byte reads, raw for this word
    memory->bytes[0x1FFF] = 0x03;
    memory->bytes[0x2000] = 0x04;
    memory->bytes[0x27FF] = 0x05;
    memory->bytes[0x2800] = 0x06;
    memory->bytes[0x1800] = 0x07;
    memory->bytes[0xFFFF] = 0x08;
    memory->bytes[0x0000] = 0x09;
    EXPECT_EQ(ReadWord(*memory, window, 0x0800), 0x0201);
    EXPECT_EQ(ReadWord(*memory, window, 0x1FFF), 0x0403);
    EXPECT_EQ(ReadWord(*memory, window, 0x27FF), 0x0605);
    EXPECT_EQ(ReadWord(*memory, window, 0x17FF), 0xFFFF);  // although 1800h is readable
    EXPECT_EQ(ReadWord(*memory, window, 0xFFFF), 0xFFFF);  // masked first address
}

TEST(BoardMemoryMap, WordWritesTestOnlyTheirFirstAddress) {
    auto memory = std::make_unique<BoardMemory>();
    MemoryWindow window{0x0800, 0xFFFF};
    WriteWord(*memory, window, 0x07FF, 0x1234);  // dropped whole
    EXPECT_EQ(memory->bytes[0x07FF], 0x00);
    EXPECT_EQ(memory->bytes[0x0800], 0x00);
    WriteWord(*memory, window, 0xFFFF, 0x1234);  // high byte wraps into ROM
    EXPECT_EQ(memory->bytes[0xFFFF], 0x34);
    EXPECT_EQ(memory->bytes[0x0000], 0x12);
}

TEST(BoardMemoryMap, RamEndBelowTopMasksReadsAndDropsWritesAboveIt) {
    auto memory = std::make_unique<BoardMemory>();
    MemoryWindow window{0x0800, 0x1FFF};
    memory->bytes[0x2000] = 0x55;
    EXPECT_EQ(ReadByte(*memory, window, 0x2000), 0xFF);
    EXPECT_EQ(ReadWord(*memory, window, 0x2000), 0xFFFF);
    WriteByte(*memory, window, 0x2001, 0x66);
    EXPECT_EQ(memory->bytes[0x2001], 0x00);
}

// Every address under windows that cut the decoded ranges anywhere, against
// the rule as the board states it.
TEST(BoardMemoryMap, EveryAddressUnderOddWindowsFollowsTheRule) {
    const MemoryWindow windows[] = {{0x0800, 0xFFFF}, {0x0000, 0xFFFF}, {0x0800, 0x1FFF}, {0x0800, 0x1800},
                                    {0x0800, 0x17FF}, {0x0800, 0x0800}, {0x0400, 0x03FF}, {0x2000, 0x0100},
                                    {0xFFFF, 0xFFFF}, {0x0000, 0x0000}};
    auto memory = std::make_unique<BoardMemory>();
    for (const MemoryWindow& window : windows) {
        for (unsigned a = 0; a <= 0xFFFF; ++a) {
            const auto address = static_cast<std::uint16_t>(a);
            const bool decoded = a <= 0x0800 || (a >= 0x1800 && a <= 0x27FF);
            const bool readable = decoded && a <= window.ramEnd;
            const bool writable = a >= window.romEnd && a <= window.ramEnd;
            memory->bytes[a] = 0x5A;
            WriteByte(*memory, window, address, 0xA5);
            ASSERT_EQ(memory->bytes[a], writable ? 0xA5 : 0x5A) << std::hex << window.romEnd << "-" << window.ramEnd << " " << a;
            ASSERT_EQ(ReadByte(*memory, window, address), readable ? memory->bytes[a] : 0xFF)
                << std::hex << window.romEnd << "-" << window.ramEnd << " " << a;
        }
    }
}

TEST(BoardCpu, FetchFromMaskedAddressExecutesRst38) {
    BoardRig rig;
    rig.cpu.PC = 0x3000;
    rig.cpu.SP = 0x2000;
    rig.Step();
    EXPECT_EQ(rig.cpu.PC, 0x0038);
    EXPECT_EQ(rig.memory->bytes[0x1FFE], 0x01);  // return address 3001h
    EXPECT_EQ(rig.memory->bytes[0x1FFF], 0x30);
}

TEST(BoardCpu, StackInMaskedRangePopsFFFF) {
    BoardRig rig;
    rig.Load(0x1800, {0xC5, 0xD1});  // PUSH BC; POP DE
    rig.cpu.PC = 0x1800;
    rig.cpu.SP = 0x3000;
    rig.cpu.BC = 0x1234;
    rig.Step(2);
    EXPECT_EQ(rig.cpu.DE, 0xFFFF);
    EXPECT_EQ(rig.cpu.SP, 0x3000);
    EXPECT_EQ(rig.memory->bytes[0x2FFE], 0x34);  // the write landed, unseen
}

TEST(BoardCpu, StepAtTopOfMemoryWrapsPcBeforeTheInstructionRuns) {
    FlatRig rig;
    rig.Load(0xFFFF, {0xCD});  // CALL nn: operand at 0000h
    rig.Load(0x0000, {0x34, 0x12});
    rig.cpu.PC = 0xFFFF;
    rig.cpu.SP = 0x8000;
    rig.Step();
    EXPECT_EQ(rig.cpu.PC, 0x1234);
    EXPECT_EQ(rig.bus->ReadWord16(0x7FFE), 0x0002);
}

// The CPU passes the instruction's 8-bit port number, never A or B above it.
TEST(PortNumbers, AreTheEightBitPortZeroExtended) {
    BoardRig rig;
    rig.Load(0x1800, {
                         0xDB, 0x02,  // IN A,(02h)
                         0xD3, 0x01,  // OUT (01h),A
                         0xED, 0x40,  // IN B,(C)
                         0xED, 0x79,  // OUT (C),A
                         0xED, 0x70,  // IN (C)
                         0xED, 0x71,  // OUT (C),0
                     });
    rig.cpu.PC = 0x1800;
    rig.cpu.AF = 0x55FF;
    rig.cpu.BC = 0x1203;
    rig.ports.inValue = 0x80;
    rig.Step(6);
    ASSERT_EQ(rig.ports.reads.size(), 3u);
    EXPECT_EQ(rig.ports.reads[0], 0x0002);
    EXPECT_EQ(rig.ports.reads[1], 0x0003);
    EXPECT_EQ(rig.ports.reads[2], 0x0003);  // B was 80h by then: still 0003h
    ASSERT_EQ(rig.ports.writes.size(), 3u);
    EXPECT_EQ(rig.ports.writes[0], std::make_pair(std::uint16_t{0x0001}, std::uint8_t{0x80}));
    EXPECT_EQ(rig.ports.writes[1], std::make_pair(std::uint16_t{0x0003}, std::uint8_t{0x80}));
    EXPECT_EQ(rig.ports.writes[2], std::make_pair(std::uint16_t{0x0003}, std::uint8_t{0x00}));
}

TEST(PortNumbers, BlockIoUsesCOnEveryIteration) {
    BoardRig rig;
    rig.Load(0x1800, {0xED, 0xB2, 0xED, 0xB3});  // INIR; OTIR
    rig.cpu.PC = 0x1800;
    rig.cpu.BC = 0x0007;  // B = 0: 256 transfers
    rig.cpu.HL = 0x1900;
    rig.Step();
    EXPECT_EQ(rig.ports.reads.size(), 256u);
    for (std::uint16_t port : rig.ports.reads) EXPECT_EQ(port, 0x0007);
    EXPECT_EQ(rig.cpu.HL, 0x1A00);
    EXPECT_EQ(rig.memory->bytes[0x19FF], 0x5A);
    rig.cpu.BC = 0x0306;
    rig.Step();
    ASSERT_EQ(rig.ports.writes.size(), 3u);
    EXPECT_EQ(rig.ports.writes[2].first, 0x0006);
}

}  // namespace
