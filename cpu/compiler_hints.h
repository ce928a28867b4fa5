// The two hints the instruction loop needs from the compiler, spelled for each
// compiler in this one place.
#pragma once

#if defined(_MSC_VER)
#define TARVO_FORCE_INLINE __forceinline
#define TARVO_UNREACHABLE() __assume(0)
#elif defined(__GNUC__) || defined(__clang__)
#define TARVO_FORCE_INLINE inline __attribute__((always_inline))
#define TARVO_UNREACHABLE() __builtin_unreachable()
#else
#define TARVO_FORCE_INLINE inline
#define TARVO_UNREACHABLE() ((void)0)
#endif
