// The Z80 as the rest of the program drives it. The CPU knows only a bus: any
// type with Read/ReadWord16/Write/WriteWord16/In/Out (see BoardBus, FlatBus).
//   ResetCpu(cpu)                        cpu/cpu_state.h
//   StepCpu(cpu, bus)                    one instruction at PC
//   ExecuteOpcode(cpu, bus, op)          one instruction whose first byte is op
//   RunCpu(cpu, bus, count, stopBefore)  a run of instructions
//   AcceptInterrupt(cpu, bus, data)      maskable interrupt, modes 0, 1, 2
//   AcceptNmi(cpu, bus)                  non-maskable interrupt
// Each also takes a std::uint64_t& last, a T-state count that it adds the
// time it took to, as Zilog's manual gives it (cpu/t_states.h).
#pragma once

#include "cpu/cpu_state.h"
#include "cpu/execute.h"
#include "cpu/interrupts.h"
