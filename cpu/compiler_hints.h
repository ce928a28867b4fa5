// What the instruction loop needs from the compiler, spelled for each compiler
// in this one place: inlining and layout hints, the host's byte order and the
// dispatch.
#pragma once

#if defined(_MSC_VER)
#define TARVO_FORCE_INLINE __forceinline
#define TARVO_NO_INLINE __declspec(noinline)
#define TARVO_UNREACHABLE() __assume(0)
#elif defined(__GNUC__) || defined(__clang__)
#if defined(__SANITIZE_ADDRESS__)
// With AddressSanitizer, forcing every handler into the instruction loop makes
// one file take minutes to compile; the checks matter there, not the speed.
#define TARVO_FORCE_INLINE inline
#else
#define TARVO_FORCE_INLINE inline __attribute__((always_inline))
#endif
#define TARVO_NO_INLINE __attribute__((noinline))
#define TARVO_UNREACHABLE() __builtin_unreachable()
#define TARVO_LIKELY(condition) __builtin_expect(!!(condition), 1)
#else
#define TARVO_FORCE_INLINE inline
#define TARVO_NO_INLINE
#define TARVO_UNREACHABLE() ((void)0)
#endif
#ifndef TARVO_LIKELY
#define TARVO_LIKELY(condition) (condition)
#endif

// The byte order of the host, which decides where the 8-bit halves of a
// register pair lie. Compilers without __BYTE_ORDER__ (MSVC) target only
// little-endian hosts.
#if defined(__BYTE_ORDER__) && defined(__ORDER_BIG_ENDIAN__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define TARVO_BIG_ENDIAN_HOST 1
#else
#define TARVO_BIG_ENDIAN_HOST 0
#endif

// The instruction loop's two settings. Each can be set from the build
// (-DTARVO_THREADED_DISPATCH=0, say); the CMake option TARVO_PORTABLE_LOOP
// sets both as WebAssembly has them, so that native tests run the page's loop.
//
// Threaded dispatch (cpu/run_instructions.h) needs labels as values, which
// GCC and Clang offer; other compilers (MSVC) take the portable switch. So
// does WebAssembly: it has no indirect jumps, and Emscripten turns the labels
// back into one large switch that runs slower than the plain one.
#ifndef TARVO_THREADED_DISPATCH
#if (defined(__GNUC__) || defined(__clang__)) && !defined(__EMSCRIPTEN__)
#define TARVO_THREADED_DISPATCH 1
#else
#define TARVO_THREADED_DISPATCH 0
#endif
#endif

// The run's state in locals. WebAssembly passes and returns structs through
// memory, and a struct whose address leaves the loop cannot live in the
// engine's registers: calls to the prefixed instructions with the bus by
// value put PC and R in memory for every instruction, which cost the page
// close to half its speed. So on WebAssembly the run holds the bus by
// reference and the prefixed instructions are inlined into the dispatch.
#ifndef TARVO_RUN_IN_LOCALS
#if defined(__EMSCRIPTEN__)
#define TARVO_RUN_IN_LOCALS 1
#else
#define TARVO_RUN_IN_LOCALS 0
#endif
#endif
// How the prefixed instructions' functions are compiled under that setting.
#if TARVO_RUN_IN_LOCALS
#define TARVO_PREFIXED_INLINE TARVO_FORCE_INLINE
#else
#define TARVO_PREFIXED_INLINE
#endif
