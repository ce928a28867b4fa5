#!/bin/bash
# ZEXDOC on our Z80 core and on another interpreter's ZEXDOC program, run
# alternately; prints each round's processor time (user + system), the medians
# and the ratio. A benchmark, not a test: nothing here fails on a figure.
#
#   tools/bench_peers.sh 'COMMAND ARGS...'     (or PEER_ZEXDOC=... in the environment)
#
# COMMAND is a program that runs ZEXDOC, and nothing else, on the other core.
# This script builds only our side; the other program is yours to build, outside
# this repository, with the compiler and flags printed below, so that the two
# are compared alike. It runs in PEER_DIR (default: the current folder); a run
# that fails, or whose output holds "ERROR", stops the benchmark.
# Variables: ROUNDS (runs of each, default 3), OPT (optimisation flags of our
# build, default -O2), CXX (default g++), CC (the C compiler named for the
# peer, default gcc), Z80_TESTS_DIR (the folder holding
# zexdoc.com), BENCH_DIR (build folder and logs).
# Without a command the script says what it needs and exits with 77.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
peer=${1:-${PEER_ZEXDOC:-}}
peer_dir=${PEER_DIR:-.}
rounds=${ROUNDS:-3}
opt=${OPT:--O2}
cxx=${CXX:-g++}
cc=${CC:-gcc}
tests_dir=${Z80_TESTS_DIR:-$src/../shared/z80-tests}
work=${BENCH_DIR:-$src/build-bench-peers}

if [ -z "$peer" ]; then
    cat >&2 <<EOF2
bench_peers: no peer command given.
Build another Z80 interpreter's ZEXDOC program yourself, outside this repository,
with $cc (or $cxx) and $opt, so that it runs ZEXDOC alone, then run
    make bench-peers PEER_ZEXDOC='/path/to/its/program ARGS' [PEER_DIR=/its/folder]
or  PEER_DIR=/its/folder tools/bench_peers.sh '/path/to/its/program ARGS'
EOF2
    exit 77
fi
zexdoc="$tests_dir/zexdoc.com"
if [ ! -f "$zexdoc" ]; then
    echo "bench_peers: $zexdoc not found (set Z80_TESTS_DIR)" >&2
    exit 1
fi
case "$rounds" in '' | *[!0-9]* | 0) echo "bench_peers: ROUNDS must be a positive number" >&2; exit 2 ;; esac

mkdir -p "$work"
echo "== our side built with $cxx, flags: $opt"
cmake -S "$src" -B "$work/tarvo" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_CXX_FLAGS_RELEASE="$opt -DNDEBUG" -DTARVO_TESTS=OFF >"$work/tarvo-configure.log"
cmake --build "$work/tarvo" --target bench_cpu --parallel "${JOBS:-2}" >"$work/tarvo-build.log"

# Processor time (user + system) of one run, in seconds; its output is kept.
cpu_seconds() {
    local log=$1
    shift
    local TIMEFORMAT='%3U %3S'
    local times
    times=$({ time "$@" >"$log" 2>&1; } 2>&1)
    awk '{ printf "%.3f\n", $1 + $2 }' <<<"$times"
}

ours=()
theirs=()
for ((i = 1; i <= rounds; i++)); do
    t=$(cpu_seconds "$work/tarvo-$i.log" "$work/tarvo/tools/bench_cpu" --instructions 0 --zexdoc "$zexdoc")
    grep -q "every test OK" "$work/tarvo-$i.log" || { echo "bench_peers: our ZEXDOC run failed, see $work/tarvo-$i.log" >&2; exit 1; }
    ours+=("$t")
    # The command is a whole command line: word splitting is wanted here.
    # shellcheck disable=SC2086
    if ! t=$(cd "$peer_dir" && cpu_seconds "$work/peer-$i.log" $peer) || grep -q "ERROR" "$work/peer-$i.log"; then
        echo "bench_peers: the peer's ZEXDOC run failed, see $work/peer-$i.log" >&2
        exit 1
    fi
    theirs+=("$t")
    printf 'round %d: tarvosim %s s, peer %s s\n' "$i" "${ours[-1]}" "${theirs[-1]}"
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
m_ours=$(median "${ours[@]}")
m_theirs=$(median "${theirs[@]}")
echo "ZEXDOC, processor time, $rounds rounds each, alternating:"
echo "  tarvosim  ${ours[*]}  median $m_ours s"
echo "  peer      ${theirs[*]}  median $m_theirs s"
awk -v a="$m_ours" -v b="$m_theirs" 'BEGIN { printf "  ratio tarvosim / peer = %.3f\n", a / b }'
