#!/bin/bash
# Our core's T-states against z80emu's cycle counts, instruction by instruction
# on a random program of every instruction form but HALT, with interrupts in
# between (tools/cycle_peer/compare_cycles.cpp says how).
#
#   tools/compare_cycles.sh [PEER_DIR]     (or PEER_DIR=... in the environment)
#
# PEER_DIR is a folder holding z80emu's sources (z80emu.c, z80emu.h and the
# headers beside them) that you have fetched yourself, outside this
# repository. The script copies them into its build folder, puts our
# z80user.h (the memory and port macros z80emu asks of its user) beside them
# in place of theirs, and compiles them with our driver there.
# Variables: INSTRUCTIONS (default 2000000), SEED (default 1), CC and CXX (the
# compilers, default gcc and g++), COMPARE_DIR (the build folder).
# Without a folder the script says what it needs and exits with 77.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
peer=${1:-${PEER_DIR:-}}
work=${COMPARE_DIR:-$src/build-compare-cycles}
cc=${CC:-gcc}
cxx=${CXX:-g++}

if [ -z "$peer" ]; then
    echo "skipped: no PEER_DIR given (z80emu's sources, fetched by you outside this repository: make compare-cycles PEER_DIR=/path/to/z80emu)"
    exit 77
fi
sources=(z80emu.c z80emu.h z80config.h instructions.h macros.h tables.h)
for f in "${sources[@]}"; do
    if [ ! -f "$peer/$f" ]; then
        echo "compare-cycles: $peer/$f not found: PEER_DIR must hold z80emu's sources (${sources[*]})" >&2
        exit 1
    fi
done

mkdir -p "$work/peer"
for f in "${sources[@]}"; do cp "$peer/$f" "$work/peer/"; done
cp "$src/tools/cycle_peer/z80user.h" "$src/tools/cycle_peer/peer_machine.h" "$work/peer/"

# The peer is compiled as its own build does it; its warnings are not ours.
"$cc" -O2 -w -c "$work/peer/z80emu.c" -o "$work/z80emu.o"
"$cxx" -std=c++17 -O2 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror \
    -I"$src" -isystem "$work/peer" "$src/tools/cycle_peer/compare_cycles.cpp" "$src/cpu/reset_cpu.cpp" \
    "$src/cpu/disassemble.cpp" "$work/z80emu.o" -o "$work/compare_cycles"
echo "compare-cycles: our core against z80emu from $peer"
"$work/compare_cycles" --instructions "${INSTRUCTIONS:-2000000}" --seed "${SEED:-1}"
