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

namespace z80 {

#if TARVO_THREADED_DISPATCH

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"  // labels as values, here only

template <class Bus, class StopBefore>
inline std::uint64_t RunInstructions(Exec<Bus>& run, std::uint64_t count, StopBefore& stopBefore) {
    Exec<Bus> x = run;  // a local copy, whose PC and R can live in host registers
#define TARVO_HANDLER_ADDRESS(n) &&opcode_##n,
    static const void* const kHandlers[256] = {TARVO_EACH_OPCODE(TARVO_HANDLER_ADDRESS)};
#undef TARVO_HANDLER_ADDRESS
    std::uint64_t done = 0;
#define TARVO_NEXT_INSTRUCTION()                                 \
    if (done == count || stopBefore(x.pc)) goto finished; \
    ++done;                                               \
    ++x.r;                                                \
    goto* kHandlers[x.bus.Read(x.pc++)]

    TARVO_NEXT_INSTRUCTION();
#define TARVO_HANDLER(n)                                   \
    opcode_##n : ExecuteClass<MainDecodeTable[n]>(x, kMainMap, n); \
    TARVO_NEXT_INSTRUCTION();
    TARVO_EACH_OPCODE(TARVO_HANDLER)
#undef TARVO_HANDLER
#undef TARVO_NEXT_INSTRUCTION
finished:
    run.pc = x.pc;
    run.r = x.r;
    return done;
}

#pragma GCC diagnostic pop

#else

template <class Bus, class StopBefore>
inline std::uint64_t RunInstructions(Exec<Bus>& run, std::uint64_t count, StopBefore& stopBefore) {
    Exec<Bus> x = run;  // a local copy, as above; WebAssembly keeps its PC and R out of memory
    std::uint64_t done = 0;
    for (; done < count && !stopBefore(x.pc); ++done) Execute(x, x.bus.Read(x.pc++));
    run.pc = x.pc;
    run.r = x.r;
    return done;
}

#endif

}  // namespace z80
