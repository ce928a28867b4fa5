#include "cpu/cpu_state.h"

void ResetCpu(CpuState& cpu) {
    cpu.AF = 0xFFFF;
    cpu.SP = 0xFFFF;
    cpu.I = 0;
    cpu.PC = 0;
    cpu.IFF1 = 0;
    cpu.IFF2 = 0;
    cpu.IM = 0;
}
