#!/bin/sh
# End-to-end test of tarvorun: a small keypad program, given here as bytes,
# reads hexadecimal keys and shows them on the display; the runner's text
# output, its files and its exit codes are checked.
# Usage: tarvorun_cli_test.sh TARVORUN WORKFOLDER [EMULATOR ARGS...]
# (the emulator runs a runner built for another machine, as CTest's does)
set -u
runner=$1
work=$2
shift 2
rm -rf "$work"
mkdir -p "$work/tarvo" || exit 1
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Writes the bytes given in hexadecimal to stdout.
hexbytes() {
    for b in "$@"; do
        # shellcheck disable=SC2059
        printf "\\$(printf '%03o' "0x$b")"
    done
}

# Runs a command, through the emulator if there is one; keeps stdout, stderr
# and the exit code.
emulator=$*
launch() {
    # shellcheck disable=SC2086
    $emulator "$@"
}
run() {
    launch "$runner" "$@" >"$work/out" 2>"$work/err"
    code=$?
}

expect_code() {
    if [ "$code" -ne "$1" ]; then
        fail "$2: exit code $code, expected $1 (stderr: $(cat "$work/err"))"
    fi
}

expect_line() {  # expect_line FILE LINENUMBER TEXT WHAT
    got=$(sed -n "$2p" "$1")
    if [ "$got" != "$3" ]; then
        fail "$4: line $2 is '$got', expected '$3'"
    fi
}

expect_err() {  # expect_err TEXT WHAT: stderr holds TEXT on one line, and only one line
    if ! grep -qF -- "$1" "$work/err"; then
        fail "$2: stderr does not say '$1' (it says: $(cat "$work/err"))"
    fi
    if [ "$(wc -l <"$work/err")" -ne 1 ]; then
        fail "$2: stderr is not one line"
    fi
}

# The monitor stand-in: at 0000h, JP 1800h.
hexbytes C3 00 18 >"$work/boot.bin"

# The keypad program at 1800h. It scans keypad rows 0 to 3 (the hexadecimal
# keys), turns a key at row r, column c into the value 4c + 3 - r, shifts the
# six-digit buffer at 1900h left, puts the key's pattern from the table at
# 1A00h into the rightmost place and latches all six digits. Every port C write
# keeps bit 6 high, so the single-step NMI stays off.
{
    hexbytes 31 00 28     # 1800 LD SP,2800h
    hexbytes 3E 80        # 1803 LD A,80h
    hexbytes D3 03        # 1805 OUT (03h),A      mode set
    hexbytes CD 4A 18     # 1807 CALL show
    hexbytes 06 00        # 180A scan: LD B,0     row number
    hexbytes 16 FE        # 180C LD D,0FEh        row mask
    hexbytes 7A           # 180E row: LD A,D
    hexbytes E6 3F        # 180F AND 3Fh
    hexbytes F6 40        # 1811 OR 40h
    hexbytes D3 02        # 1813 OUT (02h),A      select the row
    hexbytes DB 00        # 1815 IN A,(00h)       read the keys
    hexbytes 2F           # 1817 CPL
    hexbytes E6 0F        # 1818 AND 0Fh
    hexbytes 20 0A        # 181A JR NZ,found
    hexbytes CB 02        # 181C RLC D
    hexbytes 04           # 181E INC B
    hexbytes 78           # 181F LD A,B
    hexbytes FE 04        # 1820 CP 4
    hexbytes 20 EA        # 1822 JR NZ,row
    hexbytes 18 E4        # 1824 JR scan
    hexbytes 0E 00        # 1826 found: LD C,0    column number
    hexbytes 0F           # 1828 col: RRCA
    hexbytes 38 03        # 1829 JR C,value
    hexbytes 0C           # 182B INC C
    hexbytes 18 FA        # 182C JR col
    hexbytes 79           # 182E value: LD A,C
    hexbytes 87           # 182F ADD A,A
    hexbytes 87           # 1830 ADD A,A
    hexbytes C6 03        # 1831 ADD A,3
    hexbytes 90           # 1833 SUB B
    hexbytes 21 01 19     # 1834 LD HL,1901h
    hexbytes 11 00 19     # 1837 LD DE,1900h
    hexbytes 01 05 00     # 183A LD BC,5
    hexbytes ED B0        # 183D LDIR             shift the buffer left
    hexbytes 21 00 1A     # 183F LD HL,1A00h
    hexbytes 6F           # 1842 LD L,A
    hexbytes 7E           # 1843 LD A,(HL)
    hexbytes 12           # 1844 LD (DE),A        the new rightmost digit
    hexbytes CD 4A 18     # 1845 CALL show
    hexbytes 18 C0        # 1848 JR scan
    hexbytes 21 00 19     # 184A show: LD HL,1900h
    hexbytes 0E 20        # 184D LD C,20h         digit 0 first
    hexbytes 79           # 184F digit: LD A,C
    hexbytes F6 40        # 1850 OR 40h
    hexbytes D3 02        # 1852 OUT (02h),A      select the digit
    hexbytes 7E           # 1854 LD A,(HL)
    hexbytes D3 01        # 1855 OUT (01h),A      latch its pattern
    hexbytes 23           # 1857 INC HL
    hexbytes CB 39        # 1858 SRL C
    hexbytes 20 F3        # 185A JR NZ,digit
    hexbytes C9           # 185C RET
} >"$work/keypad.bin"
# Patterns of 0 to F (bit 0 e, 1 g, 2 f, 3 a, 4 b, 5 c, 6 point, 7 d).
hexbytes BD 30 9B BA 36 AE AF 38 BF BE 3F A7 8D B3 8F 0F >"$work/digits.bin"

program="--rom $work/boot.bin --bin $work/keypad.bin@1800 --bin $work/digits.bin@1A00"

# Keys reach the program and the display shows them.
# shellcheck disable=SC2086
run $program --keys "1 8 0 0 a B" --segments --dump 1900:1905 --save-hex 1800 1A0F "$work/keypad.hex"
expect_code 0 "keys 1800AB"
expect_line "$work/out" 1 "1800AB" "keys 1800AB, display"
expect_line "$work/out" 2 "30 BF BD BD 3F A7" "keys 1800AB, segments"
expect_line "$work/out" 3 "1900: 30 BF BD BD 3F A7" "keys 1800AB, dump"
[ -s "$work/err" ] && fail "keys 1800AB: unexpected stderr: $(cat "$work/err")"

# The saved Intel HEX file: 32-byte records, CR LF line ends, the end record.
cr=$(printf '\r')
expect_line "$work/keypad.hex" 1 ":201800003100283E80D303CD4A18060016FE7AE63FF640D302DB002FE60F200ACB02047876$cr" \
    "saved hex, first record"
expect_line "$work/keypad.hex" 17 ":101A0000BD309BBA36AEAF38BFBE3FA78DB38F0F88$cr" "saved hex, last data record"
expect_line "$work/keypad.hex" 18 ":00000001FF$cr" "saved hex, end record"
lines=$(wc -l <"$work/keypad.hex")
[ "$lines" -eq 18 ] || fail "saved hex: $lines lines, expected 18"

# The same program loaded from that file, with more keys than digits and a key
# (GO) that the program reads but ignores.
run --rom "$work/boot.bin" --hex "$work/keypad.hex" --keys "0 1 2 3 4 5 GO 6 7 8 9 c d E F" --settle 300 --regs
expect_code 0 "keys from the hex file"
expect_line "$work/out" 1 "89CDEF" "keys from the hex file, display"
case $(sed -n 2p "$work/out") in
    "PC=18"*" SP=2800 "*) ;;
    *) fail "keys from the hex file: registers line '$(sed -n 2p "$work/out")'" ;;
esac

# The default ROM image is the one beside the program, whatever the working
# folder; without it the run fails, unless --no-rom asks for an empty board.
cp "$runner" "$work/tarvorun-copy" || exit 1
(cd / && launch "$work/tarvorun-copy" --bin "$work/keypad.bin@1800" --passes 100 >"$work/out" 2>"$work/err")
code=$?
expect_code 1 "no default ROM"
expect_err "tarvo/tarvo-rom.bin': No such file or directory" "no default ROM"
[ -s "$work/out" ] && fail "no default ROM: something was printed on stdout"
(cd / && launch "$work/tarvorun-copy" --no-rom --bin "$work/keypad.bin@1800" --passes 100 >"$work/out" 2>"$work/err")
code=$?
expect_code 0 "--no-rom"
expect_line "$work/out" 1 "      " "--no-rom, display"
[ -s "$work/err" ] && fail "--no-rom: unexpected stderr: $(cat "$work/err")"
cp "$work/boot.bin" "$work/tarvo/tarvo-rom.bin" || exit 1
(cd / && launch "$work/tarvorun-copy" --bin "$work/keypad.bin@1800" --bin "$work/digits.bin@1A00" --keys "7" \
    >"$work/out" 2>"$work/err")
code=$?
expect_code 0 "default ROM"
expect_line "$work/out" 1 "     7" "default ROM, display"
[ -s "$work/err" ] && fail "default ROM: unexpected stderr: $(cat "$work/err")"

# A key whose row the program never scans: a run failure that names the key.
# shellcheck disable=SC2086
run $program --keys "7 ADDR" --scan-limit 5000
expect_code 1 "unscanned key"
expect_err "'ADDR'" "unscanned key"

# File failures: exit code 1, and the system's reason or the bad line.
run --rom "$work/missing.bin"
expect_code 1 "missing --rom"
expect_err "missing.bin': No such file or directory" "missing --rom"
run --rom "$work/boot.bin" --hex "$work/missing.hex"
expect_code 1 "missing --hex"
expect_err "missing.hex': No such file or directory" "missing --hex"
printf ':031800003100288C\r:0318000031002884\r:0000000100\r' >"$work/bad.hex"
run --rom "$work/boot.bin" --hex "$work/bad.hex"
expect_code 1 "bad checksum in --hex"
expect_err "$work/bad.hex:2: checksum mismatch" "bad checksum in --hex"
run --rom "$work/boot.bin" --bin "$work/keypad.bin@FFC0"
expect_code 1 "--bin beyond FFFFh"
expect_err "does not fit" "--bin beyond FFFFh"
run --rom "$work/boot.bin" --passes 1 --save-hex 1800 1810 "$work/no-such-folder/out.hex"
expect_code 1 "--save-hex into a missing folder"
expect_err "out.hex': No such file or directory" "--save-hex into a missing folder"

# A run saved as a state file goes on from there in the next run, without a
# reset; the state file keeps every part the next save writes back.
# shellcheck disable=SC2086
run $program --keys "1 2" --save-state "$work/half.tarvo"
expect_code 0 "--save-state"
run --state "$work/half.tarvo" --keys "3 4" --save-state "$work/again.tarvo"
expect_code 0 "--state"
expect_line "$work/out" 1 "  1234" "--state, display"
run --state "$work/again.tarvo" --dump 1900:1905
expect_line "$work/out" 2 "1900: 00 00 30 9B BA 36" "--state of a --state run, buffer"
head -c 5000 "$work/half.tarvo" >"$work/cut.tarvo"
run --state "$work/cut.tarvo" --save-state "$work/not-written.tarvo"
expect_code 1 "--state cut short"
expect_err "the file ends inside part 3 of 10 (MEM ): it gives 65536 bytes" "--state cut short"
[ -e "$work/not-written.tarvo" ] && fail "--state cut short: a state file was written"
run --state "$work/keypad.hex"
expect_code 1 "--state of a HEX file"
expect_err "this is not a Tarvo state file" "--state of a HEX file"

# A save through a symbolic link writes the file it leads to; the link stays.
ln -s keypad.hex "$work/link.hex" || exit 1
run --rom "$work/boot.bin" --passes 1 --save-hex 1A00 1A00 "$work/link.hex"
expect_code 0 "--save-hex through a link"
[ -L "$work/link.hex" ] || fail "--save-hex through a link: the link was replaced"
expect_line "$work/keypad.hex" 1 ":011A000000E5$cr" "--save-hex through a link"

# Usage errors: exit code 2, nothing run.
for args in "--bogus" "--passes" "--passes 12x" "--keys TAPERD" "--keys TAPEWR" "--keys SHIFT" \
    "--bin $work/boot.bin" "--bin $work/boot.bin@10000" "--dump 2000:1000" "--dump 1000" \
    "--save-hex 1800 1810" "--scan-limit 0" "--no-rom --rom $work/boot.bin" "stray"; do
    # shellcheck disable=SC2086
    run $args
    expect_code 2 "usage error '$args'"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "usage error '$args': stderr is not one line"
    [ -s "$work/out" ] && fail "usage error '$args': something was printed on stdout"
done
run --keys TAPERD
expect_err "not available here" "tape key"

run --help
expect_code 0 "--help"
for word in --rom --no-rom --hex --bin --keys --passes --settle --scan-limit --segments --regs --dump --save-hex \
    --state --save-state TAPERD; do
    grep -qF -- "$word" "$work/out" || fail "--help does not mention $word"
done

# Output that is lost fails the run, the help text's as well.
launch "$runner" --help >/dev/full 2>"$work/err"
code=$?
expect_code 1 "--help to a full disk"
expect_err "cannot write the output: No space left on device" "--help to a full disk"
# Closed, the output's place would go to the --nmi-log file. (Not through an emulator,
# whose own files may take that place.)
if [ -z "$emulator" ]; then
    launch "$runner" --rom "$work/boot.bin" --nmi-log --passes 10 >&- 2>"$work/err"
    code=$?
    expect_code 1 "closed output"
    expect_err "cannot write the output: the standard output is closed" "closed output"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all tarvorun checks passed"
