// The Z80 as the rest of the program drives it.
//   ResetCpu(cpu)                          cpu/cpu_state.h
//   StepCpu(cpu, bus)                      one instruction at PC
//   RunCpu(cpu, bus, count[, stopBefore])  up to count instructions, stopping before
//                                          one whose address stopBefore(pc) accepts
//   ExecuteOpcode(cpu, bus, op)            one instruction whose first byte is op
//   AcceptInterrupt(cpu, bus, data)        maskable interrupt, modes 0, 1, 2
//   AcceptNmi(cpu, bus)                    non-maskable interrupt
// Each also has a form with a last argument, std::uint64_t& tStates, a count
// that it adds its time to, as Zilog's manual gives it (cpu/t_states.h).
//
// The bus: the CPU reaches memory and ports only through it, a type given as
// a template argument (BoardBus in cpu/memory_bus.h, FlatBus in
// cpu/flat_bus.h). Addresses are 16 bits; a word's second byte lies at a + 1,
// wrapping from FFFFh to 0000h. None may throw: a run writes PC and R back
// only when it ends. Every bus has
//   std::uint8_t Read(std::uint16_t a)                  the byte at a as the CPU reads it
//   std::uint16_t ReadWord16(std::uint16_t a)           the word at a, low byte first, as one read (POP, RET)
//   void Write(std::uint16_t a, std::uint8_t v)         v stored at a, or dropped where nothing may be written
//   void WriteWord16(std::uint16_t a, std::uint16_t v)  the word at a, low byte first, as one write (PUSH, CALL)
//   std::uint8_t In(std::uint16_t port)                 port: IN's 8-bit port, zero-extended (for IN r,(C), C)
//   void Out(std::uint16_t port, std::uint8_t v)        the same for OUT
// and, on the bus that instructions run on (this one, or its run view below),
//   std::uint8_t Fetch(std::uint16_t a)                 an opcode or operand byte: exactly what Read(a) gives
//   std::uint16_t FetchWord16(std::uint16_t a)          an operand word: exactly what ReadWord16(a) gives
// StepCpu's opcode fetch and the interrupts use the bus itself, run view or not.
//
// Optional, for speed (docs/speed.md):
//   struct RunView; RunView ForRun()  a small value that a run holds instead of the bus, made at
//                                     the run's start: the eight calls above, behaving as the
//                                     bus does while nothing moves the bus's memory map
//   bool RunView::FitsWhole(pc)       true only if Read gives the stored byte at each of pc ...
//                                     pc + 3, the longest an instruction fetches
//   struct FittingView                made implicitly from a RunView, with the same calls, but
//                                     Fetch and FetchWord16 may skip their tests: they are only
//                                     called within an instruction whose FitsWhole held
// The CPU's own adapters over these (cpu/cpu_access.h), not part of a bus:
//   z80::RunBus<Bus>                  how a run holds the bus: by reference, or its RunView by
//                                     value (by reference too where TARVO_RUN_IN_LOCALS is set)
//   z80::Fitting<Bus>                 Bus in a run whose instruction fits whole: the handlers
//                                     compiled against it use its FittingView
//   z80::CheckedBus<Bus>              Bus again from Fitting<Bus>, fetches tested: for a prefix
//                                     after a prefix, which may run past four bytes
#pragma once

#include "cpu/cpu_state.h"
#include "cpu/execute.h"
#include "cpu/interrupts.h"
