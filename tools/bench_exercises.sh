#!/usr/bin/env bash
# Grades COUNT submissions of the shipped exercises (their reference and wrong
# solutions in turn) with tarvorun --exercise, JOBS at a time through xargs -P,
# and prints how long it took. A figure to read, not a test.
#
#   tools/bench_exercises.sh TARVORUN [COUNT] [JOBS]
set -euo pipefail

tarvorun=${1:?usage: $0 TARVORUN [COUNT] [JOBS]}
count=${2:-1000}
jobs=${3:-$(nproc)}
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

pairs=()
for folder in "$source_dir"/exercises/*/; do
    for submission in "$folder"*.asm; do pairs+=("$folder/exercise.json $submission"); done
done
list=$(mktemp)
trap 'rm -f "$list"' EXIT
for ((i = 0; i < count; ++i)); do echo "${pairs[i % ${#pairs[@]}]}"; done >"$list"

start=$(date +%s.%N)
# Each line is one grading; exit status 1 (a failed check) is expected for the wrong solutions.
xargs -P "$jobs" -L 1 sh -c '"$0" --exercise "$1" "$2" >/dev/null 2>&1; [ $? -le 1 ]' "$tarvorun" <"$list"
end=$(date +%s.%N)
awk -v n="$count" -v j="$jobs" -v s="$start" -v e="$end" -v p="${#pairs[@]}" 'BEGIN {
    t = e - s
    printf "graded %d submissions (%d kinds) in %.2f s with %d jobs: %.1f a second\n", n, p, t, j, n / t
}'
