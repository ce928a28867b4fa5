#include <cstddef>

#include "cpu/cpu_state.h"

namespace {

// The high byte of a pair lies at offset 1 on a little-endian host, 0 otherwise.
std::uint16_t HighOffset() {
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1 ? 1 : 0;
}

RegisterRef High(std::size_t pairOffset) {
    return RegisterRef{static_cast<std::uint16_t>(pairOffset + HighOffset())};
}
RegisterRef Low(std::size_t pairOffset) {
    return RegisterRef{static_cast<std::uint16_t>(pairOffset + 1 - HighOffset())};
}
RegisterRef Whole(std::size_t pairOffset) { return RegisterRef{static_cast<std::uint16_t>(pairOffset)}; }

// B C D E H L (HL) A | BC DE HL SP | BC DE HL AF, with the HL role given.
RegisterMap BuildMap(std::size_t hlRole) {
    const std::size_t bc = offsetof(CpuState, BC);
    const std::size_t de = offsetof(CpuState, DE);
    const std::size_t af = offsetof(CpuState, AF);
    const std::size_t sp = offsetof(CpuState, SP);
    return RegisterMap{{High(bc), Low(bc), High(de), Low(de), High(hlRole), Low(hlRole), Whole(hlRole), High(af),
                        Whole(bc), Whole(de), Whole(hlRole), Whole(sp),
                        Whole(bc), Whole(de), Whole(hlRole), Whole(af)}};
}

}  // namespace

void ResetCpu(CpuState& cpu) {
    cpu.AF = 0xFFFF;
    cpu.SP = 0xFFFF;
    cpu.I = 0;
    cpu.PC = 0;
    cpu.IFF1 = 0;
    cpu.IFF2 = 0;
    cpu.IM = 0;
    cpu.mainMap = BuildMap(offsetof(CpuState, HL));
    cpu.ixMap = BuildMap(offsetof(CpuState, IX));
    cpu.iyMap = BuildMap(offsetof(CpuState, IY));
}
