#!/usr/bin/env bash
# Builds the libFuzzer targets of the Intel HEX reader, the assembler, the exercise reader and the state file
# reader with clang++ (ASan and UBSan) in BUILD_DIR and runs each for SECONDS from the seed corpus in
# tests/fuzz/corpus (the assembler's also from the examples, the exercise reader's from the shipped exercises, the
# state file reader's from a state file that tarvorun writes). Prints the executions and crashes of each; exits 1
# if any fuzzer crashed or failed, 2 on a usage error.
#
#   tests/fuzz/run_fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail

if [ $# -ne 2 ] || ! [[ $2 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
build_dir=$1
seconds=$2
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fuzz_source=$source_dir/tests/fuzz

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVO_TESTS=ON -DTARVO_FUZZERS=ON -DTARVO_EXERCISERS=OFF
cmake --build "$build_dir" --target tarvo_hex_record_fuzzer tarvo_hex_file_fuzzer tarvo_asm_fuzzer \
    tarvo_exercise_fuzzer tarvo_state_fuzzer tarvorun -j2

failed=0
for name in hex_record hex_file asm exercise state; do
    fuzzer=$build_dir/fuzz/tarvo_${name}_fuzzer
    work=$build_dir/fuzz/$name
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    log=$work/fuzz.log
    status=0
    # New inputs go to the work corpus; the committed seeds are only read.
    dict=$fuzz_source/hex.dict
    seeds=("$fuzz_source/corpus/$name")
    if [ "$name" = asm ]; then
        dict=$fuzz_source/asm.dict
        seeds+=("$source_dir/examples")
    fi
    if [ "$name" = exercise ]; then
        dict=$fuzz_source/exercise.dict
        seeds=("$source_dir"/exercises/*/)
    fi
    if [ "$name" = state ]; then
        dict=$fuzz_source/state.dict
        mkdir -p "$work/seed"
        "$build_dir/tools/tarvorun" --no-rom --passes 10 --save-state "$work/seed/board.tarvo"
        seeds=("$work/seed")
    fi
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -dict="$dict" \
        -artifact_prefix="$work/artifacts/" "$work/corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    crashes=$(find "$work/artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) | wc -l)
    echo "$name: executions ${executions:-unknown}, crashes $crashes, exit status $status (log: $log)"
    if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ] || [ -z "$executions" ]; then
        failed=1
        tail -n 30 "$log" >&2
    fi
done
exit $failed
