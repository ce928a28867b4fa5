// The CPU as one instruction sees it, and the operand fetch, stack and
// register-field access shared by all handlers.
#pragma once

#include <cstdint>
#include <type_traits>

#include "cpu/compiler_hints.h"
#include "cpu/cpu_state.h"

namespace z80 {

// PC and R change on every instruction. Held here, outside CpuState, the
// compiler can keep them in host registers across a run of instructions
// instead of storing and reloading them each time; they are written back to
// CpuState when the run ends. A call that runs one instruction for the run
// returns them with the T-states it took (at most a whole block repeat's,
// some 1.4 million); the run adds those to its count.
struct RunRegisters {
    std::uint16_t pc;
    std::uint16_t r;
    std::uint32_t tStates;
};

// How an instruction run holds its bus: by reference, unless the bus offers
// a view for runs (BoardBus), which the run then holds by value. Held by the
// run, the view stays in host registers; behind a reference its parts would
// be loaded again after every byte written to memory, since such a write may,
// for all the compiler knows, change them. On WebAssembly, where a struct
// goes through memory whenever it is passed, the run keeps the view aside
// and holds a reference to it (see compiler_hints.h).
template <class Bus, class = void>
struct RunBus {
    using Type = Bus&;
    static Type For(Bus& bus) { return bus; }
};
template <class Bus>
struct RunBus<Bus, std::void_t<typename Bus::RunView>> {
    using View = typename Bus::RunView;
    using Type = std::conditional_t<TARVO_RUN_IN_LOCALS != 0, View&, View>;
    static View For(Bus& bus) { return bus.ForRun(); }
};

// A bus whose run view has a FittingView, as a run holds it for an
// instruction known to fit whole in memory that reads back: the same bus,
// with fetches that need no test. CheckedBus undoes it.
template <class Bus>
struct Fitting {
    using RunView = typename Bus::FittingView;
};
template <class Bus>
struct CheckedBus {
    using Type = Bus;
};
template <class Bus>
struct CheckedBus<Fitting<Bus>> {
    using Type = Bus;
};

// One instruction's, or one run's, CPU: the record, the bus as the run holds
// it, and PC and R held aside (see RunRegisters).
template <class Bus>
struct Exec {
    CpuState& cpu;
    typename RunBus<Bus>::Type bus;
    std::uint16_t pc;
    // R so far, counted whole: one add per instruction, unmasked (CurrentR
    // puts R together). The threaded loop counts R apart and fills this in
    // only for the instructions that read or set it (cpu/run_instructions.h).
    std::uint16_t r;
    // T-states of the running instruction that the constant added for its
    // first byte does not cover: what a condition that held adds, and the
    // instruction after a prefix. The dispatch moves them to the run's 64-bit
    // count (cpu/t_states.h); one instruction's fit in 32 bits, a whole block
    // repeat's included.
    std::uint32_t tStates;
};

template <class Bus>
TARVO_FORCE_INLINE std::uint8_t FetchByte(Exec<Bus>& x) {
    return x.bus.Fetch(x.pc++);
}

template <class Bus>
TARVO_FORCE_INLINE std::uint16_t FetchWord(Exec<Bus>& x) {
    std::uint16_t v = x.bus.FetchWord16(x.pc);
    x.pc = static_cast<std::uint16_t>(x.pc + 2);
    return v;
}

template <class Bus>
TARVO_FORCE_INLINE void Push(CpuState& cpu, Bus& bus, std::uint16_t v) {
    cpu.SP = static_cast<std::uint16_t>(cpu.SP - 2);
    bus.WriteWord16(cpu.SP, v);
}

template <class Bus>
TARVO_FORCE_INLINE std::uint16_t Pop(CpuState& cpu, Bus& bus) {
    std::uint16_t v = bus.ReadWord16(cpu.SP);
    cpu.SP = static_cast<std::uint16_t>(cpu.SP + 2);
    return v;
}

TARVO_FORCE_INLINE bool IsIndexed(const RegisterMap& map) { return &map != &kMainMap; }

// Register fields of an opcode: r = bits 5-3, s = bits 2-0, p = bits 5-4.
TARVO_FORCE_INLINE unsigned FieldR(std::uint8_t op) { return (op >> 3) & 7u; }
TARVO_FORCE_INLINE unsigned FieldS(std::uint8_t op) { return op & 7u; }
TARVO_FORCE_INLINE unsigned FieldP(std::uint8_t op) { return (op >> 4) & 3u; }

TARVO_FORCE_INLINE std::uint8_t& Reg8(CpuState& cpu, const RegisterMap& map, unsigned field) {
    return ByteAt(cpu, map.slots[field]);
}
TARVO_FORCE_INLINE std::uint16_t& HlRole(CpuState& cpu, const RegisterMap& map) {
    return WordAt(cpu, map.slots[kSlotHl]);
}
TARVO_FORCE_INLINE std::uint16_t& Pair(CpuState& cpu, const RegisterMap& map, unsigned p) {
    return WordAt(cpu, map.slots[kSlotPairs + p]);
}
TARVO_FORCE_INLINE std::uint16_t& StackPair(CpuState& cpu, const RegisterMap& map, unsigned p) {
    return WordAt(cpu, map.slots[kSlotStack + p]);
}

// The memory operand (HL), or (IX+d)/(IY+d) with d read at PC.
template <class Bus>
TARVO_FORCE_INLINE std::uint16_t MemoryOperand(Exec<Bus>& x, const RegisterMap& map) {
    if (!IsIndexed(map)) return x.cpu.HL;
    auto d = static_cast<std::int8_t>(FetchByte(x));
    return static_cast<std::uint16_t>(HlRole(x.cpu, map) + d);
}

// R counts instructions in its low seven bits; bit 7 is kept.
TARVO_FORCE_INLINE std::uint16_t NextR(std::uint16_t r) {
    return static_cast<std::uint16_t>((r & 0x80) | ((r + 1) & 0x7F));
}

// During a run, x.r counts every instruction and cpu.R keeps bit 7; R is the
// two put together.
template <class Bus>
TARVO_FORCE_INLINE std::uint16_t CurrentR(const Exec<Bus>& x) {
    return static_cast<std::uint16_t>((x.cpu.R & 0x80) | (x.r & 0x7F));
}

}  // namespace z80
