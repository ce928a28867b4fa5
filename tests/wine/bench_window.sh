#!/usr/bin/env bash
# Emulated instructions per second in the program's window under Wine (a benchmark, not a test).
#
#   tests/wine/bench_window.sh EXE_DIR OUT_DIR [SECONDS]
#
# Two test programs count their loops in a 32-bit counter at 1800h-1803h:
#   quiet   10 instructions a loop, no port access at all;
#   portb   100 instructions a loop, one of them a write to port B (after one port C write that
#           selects all six digits), so every 100 instructions ask for one repaint of the display.
# For each, the program runs from a ROM image; "Save hex f&ile" From 1800 To 1803 reads the counter
# through the dialogs twice, SECONDS (default 10) of wall time apart. The emulation stands still
# while the menu and dialogs are open, so the time that counts runs from the moment the first
# save's file is there (the program is back in its loop) to the moment the menu is opened for the
# second read. Instructions = loops x instructions a loop, plus 3 for each carry into a higher
# counter byte; nothing is subtracted. Idle passes a second = instructions a second / 10.
#
# Uses the harness of run_wine_suite.sh (its own Xvfb and the Wine prefix under OUT_DIR).

set -u

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 EXE_DIR OUT_DIR [SECONDS]" >&2
    exit 2
fi

# shellcheck source=tests/wine/lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=tests/wine/board.sh
source "$(dirname "$0")/board.sh"

SECONDS_TO_RUN=${3:-10}
[ -f "$1/tarvosim.exe" ] || {
    echo "bench: there is no tarvosim.exe in $1" >&2
    exit 1
}
EXE_DIR=$(cd "$1" && pwd)
harness_start "$2" || exit 1

# loop: LD HL,1800h; LD B,6; DJNZ $; INC (HL); JR NZ,loop; then the carries into bytes 1 to 3.
QUIET_ROM='21 00 18  06 06  10 FE  34  20 F6
23 34 20 F2  23 34 20 EE  23 34 18 EA'
QUIET_PER_LOOP=10
# LD A,7Fh; OUT (02h),A; loop: LD HL,1800h; LD A,5Bh; OUT (01h),A; LD B,93; DJNZ $; NOP; INC (HL);
# JR NZ,loop; then the carries.
PORTB_ROM='3E 7F  D3 02
21 00 18  3E 5B  D3 01  06 5D  10 FE  00  34  20 F1
23 34 20 ED  23 34 20 E9  23 34 18 E5'
PORTB_PER_LOOP=100

# read_counter DIR N: saves 1800-1803 as DIR/countN.hex; sets COUNTER (decimal), MENU_AT (when the
# menu was opened: the emulation stops) and BACK_AT (when the file was there: it runs again).
read_counter() {
    local file=$1/count$2.hex
    rm -f "$file"
    focus_window "$MAIN" || return 1
    MENU_AT=$(now_ms)
    xdotool key alt+f i || return 1
    local dlg
    dlg=$(wait_window '^Save mem as Intel Hex$') || return 1
    type_to "$dlg" 1800 && xdotool key Tab && xdotool type -- 1803 && xdotool key Return || return 1
    dlg=$(wait_window '^Save As$') || return 1
    type_to "$dlg" "$(win_path "$file")" && xdotool key Return || return 1
    local prompt end=$(($(now_ms) + WAIT * 1000))
    until [ -s "$file" ] && grep -q '^:00000001FF' "$file"; do
        prompt=$(find_window '^Error$')
        [ -n "$prompt" ] && keys_to "$prompt" y
        (($(now_ms) >= end)) && return 1
        sleep 0.02
    done
    BACK_AT=$(now_ms)
    local record
    record=$(head -n 1 "$file" | tr -d '\r')
    [[ $record == :04180000* ]] || return 1
    COUNTER=$((16#${record:15:2}${record:13:2}${record:11:2}${record:9:2}))
}

# instructions C1 C2 PER_LOOP: instructions executed while the counter went from C1 to C2.
instructions() {
    local c1=$1 c2=$2 per=$3
    echo $(((c2 - c1) * per + 3 * ((c2 >> 8) - (c1 >> 8)) + 3 * ((c2 >> 16) - (c1 >> 16)) + 3 * ((c2 >> 24) - (c1 >> 24))))
}

# rate NUMBER MILLISECONDS: NUMBER a second, rounded.
rate() { echo $((($1 * 1000 + $2 / 2) / $2)); }

bench() {
    local name=$1 rom=$2 per=$3
    local dir=$OUT_DIR/bench/$name
    prog_prepare "$dir" "$EXE_DIR"
    write_bytes "$dir/tarvo/tarvo-rom.bin" "$rom"
    prog_start "$dir"
    MAIN=$(wait_window '^Tarvo Emulator 1\.01$') || {
        echo "bench $name: no window" >&2
        return 1
    }
    local c1 t1 t2 c2
    read_counter "$dir" 1 || {
        echo "bench $name: first read failed" >&2
        return 1
    }
    c1=$COUNTER t1=$BACK_AT
    sleep "$SECONDS_TO_RUN" # the measured interval itself
    read_counter "$dir" 2 || {
        echo "bench $name: second read failed" >&2
        return 1
    }
    c2=$COUNTER t2=$MENU_AT
    keys_to "$MAIN" alt+f x
    prog_wait_exit || prog_stop
    local n ms
    n=$(instructions "$c1" "$c2" "$per")
    ms=$((t2 - t1))
    printf '%-6s %2d instr/loop  loops %9d in %6d ms: %9d loops/s  %10d instructions/s  %8d idle passes/s\n' \
        "$name" "$per" $((c2 - c1)) "$ms" "$(rate $((c2 - c1)) "$ms")" "$(rate "$n" "$ms")" "$(rate "$n" $((ms * 10)))"
}

echo "# $(nproc) processors; load average $(cut -d' ' -f1-3 /proc/loadavg)"
bench quiet "$QUIET_ROM" $QUIET_PER_LOOP
bench portb "$PORTB_ROM" $PORTB_PER_LOOP
echo "# load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
