#!/bin/sh
# End-to-end test of tarvoasm: exit codes, messages, the files it writes (and
# does not write after an error), and the keypad listing typed into the board
# by tarvorun, which must leave the same bytes as loading the program.
# Usage: tarvoasm_cli_test.sh TARVOASM TARVORUN SOURCE_ROOT WORKFOLDER [EMULATOR ARGS...]
set -u
assembler=$1
runner=$2
root=$3
work=$4
shift 4
emulator=$*
rm -rf "$work"
mkdir -p "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

asm() {
    # shellcheck disable=SC2086
    $emulator "$assembler" "$@" >"$work/out" 2>"$work/err"
    code=$?
}

expect_code() {
    if [ "$code" -ne "$1" ]; then
        fail "$2: exit code $code, expected $1 (stderr: $(cat "$work/err"))"
    fi
}

expect_err() {
    if ! grep -qF -- "$1" "$work/err"; then
        fail "$2: stderr does not say '$1' (it says: $(cat "$work/err"))"
    fi
}

# Usage errors.
asm --help
expect_code 0 "--help"
grep -q "^Usage: tarvoasm" "$work/out" || fail "--help prints no usage"
asm
expect_code 2 "no source"
expect_err "no source file given" "no source"
asm "$root/examples/counter.asm" -o "$work/counter.txt"
expect_code 2 "-o with another extension"
expect_err "must end in .hex (Intel HEX) or .bin (binary)" "-o with another extension"
asm "$root/examples/counter.asm" --frobnicate
expect_code 2 "an unknown option"
asm "$work/missing.asm"
expect_code 1 "a missing source"
expect_err "tarvoasm: cannot read '$work/missing.asm'" "a missing source"

# Errors: every one with its place, and no file written or replaced.
printf '\tORG 1800h\n\tJP strat\nstart:\tLD A,300\n' >"$work/bad.asm"
echo "older" >"$work/bad.hex"
asm "$work/bad.asm" -o "$work/bad.hex" -l "$work/bad.lst"
expect_code 1 "a source with errors"
expect_err "$work/bad.asm:2:5: error: unknown name 'strat'; did you mean 'start'?" "a source with errors"
expect_err "$work/bad.asm:3:13: error: 300 (12Ch) does not fit in a byte (-128 to 255)" "a source with errors"
expect_err "$work/bad.asm: 2 errors, 0 warnings" "a source with errors"
[ "$(cat "$work/bad.hex")" = "older" ] || fail "a source with errors replaced bad.hex"
[ ! -e "$work/bad.lst" ] || fail "a source with errors wrote bad.lst"

# A good source: every output, relative INCLUDE, the binary from the lowest
# address written to the highest.
mkdir -p "$work/sub"
printf '\tORG 1800h\n\tINCLUDE "sub/part.asm"\n\tDB 2\n\tORG 1804h\n\tDB 4\n' >"$work/main.asm"
printf '\tDB 1\n\tINCLUDE more.asm\n' >"$work/sub/part.asm"
printf 'more:\tDB 0FFh\n' >"$work/sub/more.asm"
asm "$work/main.asm" -o "$work/main.bin" -l "$work/main.lst" --symbols - --line-map "$work/main.map"
expect_code 0 "a source with INCLUDEs"
[ "$(od -An -tx1 "$work/main.bin" | tr -d ' \n')" = "01ff020004" ] || fail "main.bin holds $(od -An -tx1 "$work/main.bin")"
grep -q "^more  *1801h  label  $work/sub/more.asm:1$" "$work/out" || fail "--symbols - printed $(cat "$work/out")"
grep -q "^1801  1     $work/sub/more.asm:1$" "$work/main.map" || fail "the line map is $(cat "$work/main.map")"
grep -q "^1804  04  *5          DB 4$" "$work/main.lst" || fail "the listing lacks DB 4: $(cat "$work/main.lst")"

# The keypad listing typed in with the monitor gives the bytes that loading the
# HEX file gives, and tarvorun --asm loads the same.
asm "$root/examples/counter.asm" -o "$work/counter.hex" --keys "$work/counter.keys"
expect_code 0 "counter.asm"
keys=$(grep -v '^;' "$work/counter.keys" | sed 's/^[0-9A-F]\{4\}  //; s/ *;.*//' | tr '\n' ' ')
# shellcheck disable=SC2086
$emulator "$runner" --settle 20 --keys "$keys" --dump 1800:185C | tail -n +2 >"$work/typed" ||
    fail "tarvorun could not type the keys"
# shellcheck disable=SC2086
$emulator "$runner" --hex "$work/counter.hex" --dump 1800:185C | tail -n +2 >"$work/loaded"
# shellcheck disable=SC2086
$emulator "$runner" --asm "$root/examples/counter.asm" --dump 1800:185C | tail -n +2 >"$work/assembled"
[ -s "$work/loaded" ] || fail "nothing loaded from counter.hex"
cmp -s "$work/typed" "$work/loaded" || fail "the typed keys left other bytes than counter.hex: $(diff "$work/typed" "$work/loaded")"
cmp -s "$work/assembled" "$work/loaded" || fail "tarvorun --asm loaded other bytes than counter.hex"
grep -q "^; to run it: ADDR 1 8 0 0 GO$" "$work/counter.keys" || fail "the keypad listing does not say how to run it"

# tarvorun --asm stops on an error in the source.
# shellcheck disable=SC2086
$emulator "$runner" --asm "$work/bad.asm" >"$work/out" 2>"$work/err"
code=$?
expect_code 1 "tarvorun --asm with errors"
expect_err "bad.asm:2:5: error: unknown name 'strat'" "tarvorun --asm with errors"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "tarvoasm command line: all checks passed"
