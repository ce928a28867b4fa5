// The instruction loop of RunCpu, the one place with a dispatch trick.
//
// With the portable switch every instruction leaves through the same indirect
// jump, whose target the host's branch predictor can hardly guess. Threaded
// dispatch ends each opcode's handler with a jump of its own to the next
// handler, so the predictor learns which opcode tends to follow which; it
// needs labels as values (computed goto), a GCC/Clang extension, hence the
// switch is kept for the other compilers. Both run the same class handlers,
// one per opcode byte as picked from the decode tables while compiling.
#pragma once

#include <cstdint>

#include "cpu/compiler_hints.h"
#include "cpu/cpu_access.h"
#include "cpu/decode_tables.h"
#include "cpu/execute_instruction.h"
#include "cpu/opcode_cases.h"
#include "cpu/t_states.h"

namespace z80 {

#if TARVO_THREADED_DISPATCH

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"  // labels as values, here only

// R is not counted here per instruction: done counts them already, so R so
// far is rBase + done, and a register freed for the loop keeps more of the bus
// and registers out of memory. rBase starts as R at the run's start and moves
// when LD R,A sets R. Only a prefixed instruction reads or sets R, so only for
// one is x.r made R so far, and rBase follows what it leaves there.
template <OpClass kClass, class Bus>
TARVO_FORCE_INLINE void ExecuteCountedByRun(Exec<Bus>& x, std::uint16_t& rBase, std::uint64_t done, std::uint8_t op) {
    constexpr bool kPrefix = kClass == OpClass::PrefixCB || kClass == OpClass::PrefixDD ||
                             kClass == OpClass::PrefixED || kClass == OpClass::PrefixFD;
    if (kPrefix) x.r = static_cast<std::uint16_t>(rBase + done);
    ExecuteClass<kClass>(x, kMainMap, op);
    if (kPrefix) rBase = static_cast<std::uint16_t>(x.r - done);
}

// The board's bus tests every fetch against the window. The handlers of the
// threaded loop run on Fitting<Bus> instead, whose fetches need no test: the
// loop first tests that the instruction's four bytes at most all read back,
// and runs one that does not (at the top of ROM or RAM, or outside both)
// through the portable switch, tested byte by byte. A bus without such a view
// (the flat bus) runs every instruction threaded. Held gives what the loop
// holds its bus through: the run's own, or a FittingView made from it (which
// a run that holds its bus by reference then refers to).
template <class Bus, class = void>
struct ThreadedBus {
    using Type = Bus;
    static typename RunBus<Bus>::Type Held(typename RunBus<Bus>::Type bus) { return bus; }
};
template <class Bus>
struct ThreadedBus<Bus, std::void_t<typename Bus::FittingView>> {
    using Type = Fitting<Bus>;
    static typename Bus::FittingView Held(const typename Bus::RunView& view) { return view; }
};

template <class Bus>
TARVO_FORCE_INLINE bool FitsWhole(const Exec<Bus>&) {
    return true;
}
template <class Bus>
TARVO_FORCE_INLINE bool FitsWhole(const Exec<Fitting<Bus>>& x) {
    return x.bus.FitsWhole(x.pc);
}

// The instruction at PC through the portable switch. Out of line, and with
// PC and R by value, as for ExecutePrefixed.
template <class Bus>
TARVO_NO_INLINE RunRegisters ExecuteTested(CpuState& cpu, typename RunBus<Bus>::Type bus, RunRegisters run) {
    Exec<Bus> x{cpu, bus, run.pc, run.r, 0};
    std::uint64_t tStates = 0;
    Execute(x, x.bus.Fetch(x.pc++), tStates);
    return RunRegisters{x.pc, x.r, static_cast<std::uint32_t>(tStates)};
}

// Runs up to count instructions, adding their T-states to tStates.
template <class Bus, class StopBefore>
inline std::uint64_t RunInstructions(Exec<Bus>& run, std::uint64_t count, StopBefore& stopBefore,
                                     std::uint64_t& tStates) {
    using Threaded = typename ThreadedBus<Bus>::Type;
    auto&& held = ThreadedBus<Bus>::Held(run.bus);
    Exec<Threaded> x{run.cpu, held, run.pc, run.r, 0};  // a local copy, whose PC can live in a host register
    std::uint16_t rBase = run.r;
    std::uint64_t total = tStates;  // so can the count
#define TARVO_HANDLER_ADDRESS(n) &&opcode_##n,
    static const void* const kHandlers[256] = {TARVO_EACH_OPCODE(TARVO_HANDLER_ADDRESS)};
#undef TARVO_HANDLER_ADDRESS
    std::uint64_t done = 0;
#define TARVO_NEXT_INSTRUCTION()                          \
    if (done == count || stopBefore(x.pc)) goto finished; \
    ++done;                                               \
    if (!FitsWhole(x)) goto tested;                       \
    goto* kHandlers[x.bus.Fetch(x.pc++)]

    TARVO_NEXT_INSTRUCTION();
tested: {  // R so far, less this instruction: done counts it already
    RunRegisters after =
        ExecuteTested<Bus>(x.cpu, x.bus, RunRegisters{x.pc, static_cast<std::uint16_t>(rBase + done - 1), 0});
    x.pc = after.pc;
    rBase = static_cast<std::uint16_t>(after.r - done);
    total += after.tStates;
}
    TARVO_NEXT_INSTRUCTION();
#define TARVO_HANDLER(n)                                        \
    opcode_##n : total += kUnprefixedTStates[n];                \
    ExecuteCountedByRun<MainDecodeTable[n]>(x, rBase, done, n); \
    CollectTStates<MainDecodeTable[n]>(x, total);               \
    TARVO_NEXT_INSTRUCTION();
    TARVO_EACH_OPCODE(TARVO_HANDLER)
#undef TARVO_HANDLER
#undef TARVO_NEXT_INSTRUCTION
finished:
    run.pc = x.pc;
    run.r = static_cast<std::uint16_t>(rBase + done);
    tStates = total;
    return done;
}

#pragma GCC diagnostic pop

#else

template <class Bus, class StopBefore>
inline std::uint64_t RunInstructions(Exec<Bus>& run, std::uint64_t count, StopBefore& stopBefore,
                                     std::uint64_t& tStates) {
    Exec<Bus> x = run;  // a local copy, as above; WebAssembly keeps its PC, R and the count out of memory
    std::uint64_t total = tStates;
    std::uint64_t done = 0;
    for (; done < count && !stopBefore(x.pc); ++done) Execute(x, x.bus.Fetch(x.pc++), total);
    run.pc = x.pc;
    run.r = x.r;
    tStates = total;
    return done;
}

#endif

}  // namespace z80
