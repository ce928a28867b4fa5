// The disassembler: the text form on samples, and its length for every
// instruction form against the bytes the core actually fetches. That every
// text assembles back to its bytes is checked with pasmo (tests/disassembler).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cpu/disassemble.h"
#include "cpu/flat_bus.h"
#include "cpu/z80.h"
#include "tests/cpu/opcode_forms.h"

namespace {

std::uint8_t ReadFlat(const void* context, std::uint16_t address) {
    return static_cast<const FlatBus*>(context)->memory[address];
}

DisassembledInstruction DisassembleAt(FlatBus& bus, std::uint16_t at, const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) bus.memory[static_cast<std::uint16_t>(at + i)] = bytes[i];
    return Disassemble(ReadFlat, &bus, at);
}

struct Sample {
    std::uint16_t at;
    std::vector<std::uint8_t> bytes;
    unsigned length;
    const char* text;
};

TEST(Disassemble, SamplesReadAsTheCoreRunsThem) {
    const Sample samples[] = {
        {0x1800, {0x3E, 0xFF}, 2, "LD A,0FFh"},
        {0x1800, {0x21, 0x00, 0xC0}, 3, "LD HL,0C000h"},
        {0x1800, {0x38, 0x80}, 2, "JR C,1782h"},
        {0x1800, {0xEF}, 1, "RST 28h"},
        {0xFFFE, {0xC3, 0x34, 0x12}, 3, "JP 1234h"},  // the operand wraps to 0000h
        {0x1800, {0xED, 0x4D}, 2, "RETI"},
        {0x1800, {0xED, 0x4C}, 2, "NEG"},
        {0x1800, {0xED, 0x70}, 2, "DB 0EDh,70h ; IN F,(C)"},
        {0x1800, {0xED, 0xFF}, 2, "DB 0EDh,0FFh ; NOP"},
        {0x1800, {0xFD, 0x36, 0x80, 0x0A}, 4, "LD (IY-80h),0Ah"},
        {0x1800, {0xFD, 0x6C}, 2, "LD IYL,IYH"},
        {0x1800, {0xDD, 0xCB, 0xFE, 0xC7}, 4, "DB 0DDh,0CBh,0FEh,0C7h ; SET 0,(IX-02h),A"},
        {0x1800, {0xDD, 0xEB}, 2, "EX DE,HL ; DD ignored"},
        {0x1800, {0xFD, 0xDD, 0x21, 0x01, 0x00}, 5, "LD IX,0001h ; FD ignored"},
        {0x1800, {0xDD, 0xFD, 0xDD, 0xED, 0x44}, 5, "NEG ; 3 prefixes ignored"},
        {0x1800, {0xFD, 0xED, 0x70}, 3, "DB 0FDh,0EDh,70h ; IN F,(C)"},
        {0x1800, {0xDD, 0xDD, 0xFD, 0xCB, 0x80, 0xFF}, 6, "DB 0FDh,0CBh,80h,0FFh ; SET 7,(IY-80h),A (+2)"},
    };
    auto bus = std::make_unique<FlatBus>();
    for (const Sample& sample : samples) {
        DisassembledInstruction d = DisassembleAt(*bus, sample.at, sample.bytes);
        EXPECT_EQ(d.length, sample.length) << sample.text;
        EXPECT_STREQ(d.text, sample.text);
    }
}

// A run of prefixes filling memory never ends in the core; the disassembler
// stops and shows one byte.
TEST(Disassemble, EndlessPrefixRunShowsOneByte) {
    auto bus = std::make_unique<FlatBus>();
    std::fill(std::begin(bus->memory), std::end(bus->memory), std::uint8_t{0xFD});
    DisassembledInstruction d = Disassemble(ReadFlat, bus.get(), 0x1234);
    EXPECT_EQ(d.length, 1);
    EXPECT_STREQ(d.text, "DB 0FDh ; prefix run");
}

// Notes how far past the instruction's address the core reads while it runs.
struct FetchWatchBus : FlatBus {
    static constexpr unsigned kAt = 0xF000;
    unsigned extent = 0;

    void Note(unsigned a) {
        if (a >= kAt && a < kAt + 16) extent = std::max(extent, a - kAt + 1);
    }
    std::uint8_t Read(std::uint16_t a) {
        Note(a);
        return FlatBus::Read(a);
    }
    std::uint16_t ReadWord16(std::uint16_t a) {
        Note(a);
        Note(a + 1u);
        return FlatBus::ReadWord16(a);
    }
    std::uint8_t Fetch(std::uint16_t a) { return Read(a); }
    std::uint16_t FetchWord16(std::uint16_t a) { return ReadWord16(a); }
};

TEST(Disassemble, LengthIsWhatTheCoreFetchesForEveryForm) {
    auto bus = std::make_unique<FetchWatchBus>();
    for (const OpcodeForm& form : AllOpcodeForms()) {
        DisassembledInstruction d = DisassembleAt(*bus, FetchWatchBus::kAt, form.bytes);
        // Registers point well away from the code: only fetches land near it.
        CpuState cpu{};
        ResetCpu(cpu);
        cpu.BC = cpu.DE = cpu.HL = 0x2000;
        cpu.IX = cpu.IY = 0x3000;
        cpu.SP = 0x4000;
        cpu.PC = FetchWatchBus::kAt;
        bus->extent = 0;
        StepCpu(cpu, *bus);
        ASSERT_EQ(d.length, bus->extent) << d.text;
    }
}

}  // namespace
