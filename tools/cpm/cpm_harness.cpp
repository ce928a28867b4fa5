#include "cpm/cpm_harness.h"

#include <cstdint>

#include "cpu/flat_bus.h"
#include "cpu/z80.h"

namespace {

constexpr std::uint16_t kBdosEntry = 0x0005;
constexpr std::uint16_t kTopOfMemory = 0xF000;

void Print(CpmRunResult& result, char c, void (*echo)(char)) {
    result.output += c;
    if (echo) echo(c);
}

void ServiceBdos(const CpuState& cpu, const FlatBus& bus, CpmRunResult& result, void (*echo)(char)) {
    switch (RegC(cpu)) {
        case 2: Print(result, static_cast<char>(LowByte(cpu.DE)), echo); break;
        case 9:
            for (std::uint16_t a = cpu.DE; bus.memory[a] != '$'; ++a) Print(result, static_cast<char>(bus.memory[a]), echo);
            break;
        default: break;
    }
}

}  // namespace

CpmRunResult RunCpmProgram(const std::vector<std::uint8_t>& image, void (*echo)(char)) {
    static FlatBus bus;  // 64 KiB: keep it off the stack
    bus = FlatBus{};
    for (std::size_t i = 0; i < image.size() && 0x100 + i < sizeof bus.memory; ++i) bus.memory[0x100 + i] = image[i];
    bus.memory[kBdosEntry] = 0xC9;  // RET: the CPU returns to the caller itself
    bus.memory[6] = static_cast<std::uint8_t>(kTopOfMemory);
    bus.memory[7] = static_cast<std::uint8_t>(kTopOfMemory >> 8);

    CpuState cpu{};
    ResetCpu(cpu);
    cpu.PC = 0x0100;
    CpmRunResult result;
    // One compare on the common path: both addresses lie below 6.
    auto atBdosOrWarmBoot = [](std::uint16_t pc) { return pc <= kBdosEntry && (pc == kBdosEntry || pc == 0x0000); };
    for (;;) {
        result.instructions += RunCpu(cpu, bus, UINT64_MAX, atBdosOrWarmBoot, result.tStates);
        if (cpu.PC == 0x0000) break;
        ServiceBdos(cpu, bus, result, echo);
        StepCpu(cpu, bus, result.tStates);  // the RET at the entry
        ++result.instructions;
    }
    result.finished = true;
    return result;
}
