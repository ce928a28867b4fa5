// What the instruction loop needs from the compiler, spelled for each compiler
// in this one place: four hints and the host's byte order.
#pragma once

#if defined(_MSC_VER)
#define TARVO_FORCE_INLINE __forceinline
#define TARVO_UNREACHABLE() __assume(0)
#define TARVO_NOINLINE __declspec(noinline)
#elif defined(__GNUC__) || defined(__clang__)
#if defined(__SANITIZE_ADDRESS__)
// With AddressSanitizer, forcing every handler into the instruction loop makes
// one file take minutes to compile; the checks matter there, not the speed.
#define TARVO_FORCE_INLINE inline
#else
#define TARVO_FORCE_INLINE inline __attribute__((always_inline))
#endif
#define TARVO_UNREACHABLE() __builtin_unreachable()
#define TARVO_LIKELY(condition) __builtin_expect(!!(condition), 1)
#define TARVO_NOINLINE __attribute__((noinline))
#else
#define TARVO_FORCE_INLINE inline
#define TARVO_UNREACHABLE() ((void)0)
#endif
#ifndef TARVO_NOINLINE
#define TARVO_NOINLINE
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

// Threaded dispatch (cpu/run_instructions.h) needs labels as values, which
// GCC and Clang offer; other compilers (MSVC) take the portable switch. So
// does WebAssembly: it has no indirect jumps, and Emscripten turns the labels
// back into one large switch that runs slower than the plain one.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(__EMSCRIPTEN__)
#define TARVO_THREADED_DISPATCH 1
#else
#define TARVO_THREADED_DISPATCH 0
#endif
