# shellcheck shell=bash
# Harness of the end-to-end tests under Wine, sourced by run_wine_suite.sh and bench_window.sh.
#
# It owns one Xvfb (on a free display), one Wine prefix under the output folder and its wineserver,
# and the program runs it starts; harness_stop, set as the EXIT trap by harness_start, ends them all.
# Every wait polls a condition with a time-out; nothing sleeps for a fixed time to let things happen.

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
MINGW_CXX=${MINGW_CXX:-x86_64-w64-mingw32-g++}
# Seconds to wait for any one condition.
WAIT=${TARVO_WINE_WAIT:-20}
POLL=0.1

HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE_DIR=$(cd "$HARNESS_DIR/../.." && pwd)

XVFB_PID=
PROG_PID=
PROG_DIR=
PROG_RC=
PASSED=0
FAILED=0

# ---------------------------------------------------------------------------------------------
# Reporting

pass() {
    echo "ok - $1"
    PASSED=$((PASSED + 1))
}

fail() {
    echo "not ok - $1: $2"
    FAILED=$((FAILED + 1))
}

# check NAME WHY COMMAND...: ok when COMMAND succeeds, else "not ok - NAME: WHY".
check() {
    local name=$1 why=$2
    shift 2
    if "$@"; then pass "$name"; else fail "$name" "$why"; fi
}

# check_eq NAME EXPECTED ACTUAL
check_eq() {
    if [ "$2" == "$3" ]; then pass "$1"; else fail "$1" "expected '$2', got '$3'"; fi
}

note() { echo "# $*"; }

now_ms() { date +%s%3N; }

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; 1 on time-out.
wait_until() {
    local end=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) >= end)) && return 1
        sleep "$POLL"
    done
    return 0
}

# ---------------------------------------------------------------------------------------------
# Xvfb, the Wine prefix, the helper program

harness_start() {
    OUT_DIR=$1
    mkdir -p "$OUT_DIR"
    OUT_DIR=$(cd "$OUT_DIR" && pwd)
    trap harness_stop EXIT
    trap 'exit 130' INT TERM

    local missing=
    for tool in Xvfb xdotool xwininfo import convert "$MINGW_CXX"; do
        command -v "$tool" >/dev/null || missing="$missing $tool"
    done
    [ -x "$WINE64" ] || missing="$missing $WINE64"
    if [ -n "$missing" ]; then
        echo "harness: missing:$missing" >&2
        return 1
    fi

    local dpyfile=$OUT_DIR/xvfb.display
    : >"$dpyfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dpyfile" 2>"$OUT_DIR/xvfb.log" &
    XVFB_PID=$!
    if ! wait_until "$WAIT" test -s "$dpyfile"; then
        echo "harness: Xvfb did not start (see $OUT_DIR/xvfb.log)" >&2
        return 1
    fi
    DISPLAY=":$(head -n 1 "$dpyfile")"
    export DISPLAY

    export WINEPREFIX=$OUT_DIR/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/.tarvo-prefix-ready" ]; then
        rm -rf "$WINEPREFIX"
        note "creating the Wine prefix $WINEPREFIX"
        if ! "$WINE64" wineboot -i >"$OUT_DIR/wineboot.log" 2>&1 || ! "$WINESERVER" -w; then
            echo "harness: wineboot failed (see $OUT_DIR/wineboot.log)" >&2
            return 1
        fi
        touch "$WINEPREFIX/.tarvo-prefix-ready"
    fi
    # A persistent server makes each program start take well under a second.
    "$WINESERVER" -p

    WINTOOL=$OUT_DIR/wintool.exe
    if [ ! -f "$WINTOOL" ] || [ "$SOURCE_DIR/tools/wine/wintool.cpp" -nt "$WINTOOL" ]; then
        "$MINGW_CXX" -O2 -static -Wall -Wextra "$SOURCE_DIR/tools/wine/wintool.cpp" -o "$WINTOOL" || {
            echo "harness: cannot build the helper program" >&2
            return 1
        }
    fi
    return 0
}

harness_stop() {
    local rc=$?
    if [ -n "$PROG_PID" ]; then kill -9 "$PROG_PID" 2>/dev/null; wait "$PROG_PID" 2>/dev/null; fi
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then "$WINESERVER" -k 2>/dev/null; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
    XVFB_PID=
    exit "$rc"
}

# wintool ARGS...: the helper under the suite's prefix; its output without carriage returns.
wintool() {
    "$WINE64" "$WINTOOL" "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# win_path UNIX_PATH: the path as a Windows program types it (Z: is the Unix root).
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# ---------------------------------------------------------------------------------------------
# The program under test

# prog_prepare DIR EXE_DIR [EXE_NAME]: a scratch folder with its own copy of the program and an
# empty tarvo/ folder (the caller puts a ROM in it, or not).
prog_prepare() {
    rm -rf "$1"
    mkdir -p "$1/tarvo"
    cp "$2/tarvosim.exe" "$1/${3:-tarvosim.exe}"
}

# prog_start DIR [EXE_NAME]: starts the program as a child of this shell, the message-box trace
# on its stderr.
prog_start() {
    PROG_DIR=$1
    PROG_EXE=${2:-tarvosim.exe}
    PROG_RC=
    (cd "$PROG_DIR" && WINEDEBUG=-all,+msgbox exec "$WINE64" "$PROG_EXE" >"$PROG_DIR/stdout.log" 2>"$PROG_DIR/stderr.log") &
    PROG_PID=$!
}

prog_alive() {
    [ -n "$PROG_PID" ] || return 1
    local stat
    stat=$(cat "/proc/$PROG_PID/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat:0:1}" != Z ]
}

prog_gone() { ! prog_alive; }

# prog_wait_exit: waits for the program to end and sets PROG_RC; 1 on time-out.
prog_wait_exit() {
    wait_until "$WAIT" prog_gone || return 1
    wait "$PROG_PID"
    PROG_RC=$?
    PROG_PID=
    return 0
}

# prog_stop: ends a program that a scenario leaves running (after its checks).
prog_stop() {
    [ -n "$PROG_PID" ] || return 0
    kill -9 "$PROG_PID" 2>/dev/null
    wait "$PROG_PID" 2>/dev/null
    PROG_PID=
    # Its windows go with the process; wait until no window of it is left on the screen.
    wait_until "$WAIT" no_window '^Tarvo Emulator'
}

# The message boxes the program has shown so far, from the trace, one text a line (long texts are
# cut short by the trace, line breaks show as \n). Wine's own prompts in the file dialogs ("File
# already exists...", "File does not exist...") are left out.
msgbox_texts() {
    sed -n 's/.*:trace:msgbox:MSGBOX_OnInit L"\(.*\)"\(\.\.\.\)\{0,1\}\r\{0,1\}$/\1/p' "$PROG_DIR/stderr.log" 2>/dev/null |
        grep -v -e '^File already exists\.' -e '^File does not exist\.'
}
msgbox_count() { msgbox_texts | wc -l; }
msgboxes_more_than() { (($(msgbox_count) > $1)); }

# ---------------------------------------------------------------------------------------------
# X windows

# find_window REGEX: the first visible X window whose name matches (anchor it yourself).
find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(find_window "$1")" ]; }
no_window() { [ -z "$(find_window "$1")" ]; }

# wait_window REGEX: prints the window id; 1 on time-out.
wait_window() {
    local id
    local end=$(($(now_ms) + WAIT * 1000))
    while :; do
        id=$(find_window "$1")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        (($(now_ms) >= end)) && return 1
        sleep "$POLL"
    done
}

window_name() { xdotool getwindowname "$1" 2>/dev/null; }
name_is() { [ "$(window_name "$1")" == "$2" ]; }
window_exists() { xwininfo -id "$1" >/dev/null 2>&1 && [ "$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: //p')" == IsViewable ]; }
window_gone() { ! window_exists "$1"; }

# xgeometry ID: "x y width height" of an X window, x and y on the screen.
xgeometry() {
    xwininfo -id "$1" 2>/dev/null | awk -F: '
        /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
        /^ *Width/ { w = $2 } /^ *Height/ { h = $2 }
        END { if (w == "") exit 1; print x + 0, y + 0, w + 0, h + 0 }'
}

# window_geometry ID: sets WX WY WW WH, the main window's X geometry that pixel positions use.
window_geometry() {
    local g
    g=$(xgeometry "$1") || return 1
    read -r WX WY WW WH <<<"$g"
}

# mouse_to X Y: moves the pointer to a screen point and waits until it is there.
mouse_to() {
    local loc
    loc=$(xdotool getmouselocation --shell 2>/dev/null)
    if grep -qx "X=$1" <<<"$loc" && grep -qx "Y=$2" <<<"$loc"; then return 0; fi
    timeout 10 xdotool mousemove --sync "$1" "$2"
}

# focus_window ID: gives the X window the keyboard focus (the pointer goes over it first).
focus_window() {
    local x y w h
    read -r x y w h <<<"$(xgeometry "$1")" && [ -n "$h" ] || return 1
    mouse_to $((x + w / 2)) $((y + h / 2)) || return 1
    timeout 10 xdotool windowfocus --sync "$1"
}

# keys_to ID KEY...: focuses the window, then sends the keys.
keys_to() {
    local id=$1
    shift
    focus_window "$id" || return 1
    xdotool key --delay 40 "$@"
}

# type_to ID TEXT: focuses the window, then types the text.
type_to() {
    focus_window "$1" || return 1
    type_text "$2"
}

# type_text TEXT: types into the focused window. A character that no key of the keyboard map gives
# (日, λ) is typed alone and slowly: xdotool maps it to a spare key first, and Wine must have seen
# that mapping before the next character replaces it, or it types some other character.
type_text() {
    local LC_ALL=C.UTF-8  # characters, not bytes, whatever locale the suite runs in
    local text=$1 plain
    while [ -n "$text" ]; do
        plain=${text%%[![:ascii:]]*}
        if [ -n "$plain" ]; then
            xdotool type --delay 20 -- "$plain" || return 1
            text=${text#"$plain"}
        else
            xdotool type --delay 400 -- "${text:0:1}" || return 1
            text=${text:1}
        fi
    done
}

# click_at X Y [BUTTON]: a click at a screen point (button 1 left, 3 right).
click_at() {
    mouse_to "$1" "$2" || return 1
    xdotool click "${3:-1}"
}

# ---------------------------------------------------------------------------------------------
# Win32 windows, through the helper

# hwnd_of TITLE: the HWND of the visible top-level window of that exact title.
hwnd_of() { wintool find "$1"; }

# child_rects HWND: sets, for each child of the main window, by class:
#   DISPLAY_X DISPLAY_Y DISPLAY_W DISPLAY_H   client area of the STATIC (the display panel), screen
#   KEYPAD_X KEYPAD_Y KEYPAD_W KEYPAD_H       client area of the EDIT (the keypad panel), screen
#   DISPLAY_WIN / KEYPAD_WIN                  their window rectangles "x y w h"
child_rects() {
    local line cls fields
    DISPLAY_X='' KEYPAD_X=''

    while read -r line; do
        read -r -a fields <<<"$line"
        cls=${fields[2]}
        case "$cls" in
            Static)
                DISPLAY_WIN="${fields[4]} ${fields[5]} ${fields[6]} ${fields[7]}"
                DISPLAY_X=${fields[8]} DISPLAY_Y=${fields[9]} DISPLAY_W=${fields[10]} DISPLAY_H=${fields[11]}
                ;;
            Edit)
                KEYPAD_WIN="${fields[4]} ${fields[5]} ${fields[6]} ${fields[7]}"
                KEYPAD_X=${fields[8]} KEYPAD_Y=${fields[9]} KEYPAD_W=${fields[10]} KEYPAD_H=${fields[11]}
                ;;
        esac
    done < <(wintool children "$1")
    [ -n "$DISPLAY_X" ] && [ -n "$KEYPAD_X" ]
}

# win_rects HWND: sets WIN_X WIN_Y WIN_W WIN_H (window) and CLI_X CLI_Y CLI_W CLI_H (client), screen.
win_rects() {
    local out
    out=$(wintool rect "$1") || return 1
    read -r _ WIN_X WIN_Y WIN_W WIN_H <<<"$(grep '^window' <<<"$out")"
    read -r _ CLI_X CLI_Y CLI_W CLI_H <<<"$(grep '^client' <<<"$out")"
    [ -n "$WIN_W" ] && [ -n "$CLI_W" ]
}

# ---------------------------------------------------------------------------------------------
# Pixels

# shoot ID FILE: captures the X window as a binary PPM (8 bits a channel) and loads it for px.
shoot() {
    import -window "$1" -depth 8 "ppm:$2" 2>/dev/null || return 1
    ppm_load "$2"
}

ppm_load() {
    local magic size max
    {
        read -r magic
        read -r size
        read -r max
    } <"$1"
    [ "$magic" == P6 ] && [ "$max" == 255 ] || return 1
    PPM_FILE=$1
    PPM_W=${size% *}
    PPM_H=${size#* }
    PPM_OFF=$((${#magic} + ${#size} + ${#max} + 3))
}

# px X Y: the colour of a pixel of the loaded shot, "rrggbb"; window coordinates.
px() {
    if (($1 < 0 || $2 < 0 || $1 >= PPM_W || $2 >= PPM_H)); then
        echo outside
        return 1
    fi
    od -An -tx1 -v -j $((PPM_OFF + ($2 * PPM_W + $1) * 3)) -N3 "$PPM_FILE" | tr -d ' \n'
}

# save_png FILE: the loaded shot as PNG.
save_png() { convert "$PPM_FILE" "png:$1" 2>/dev/null; }

# region_count X Y W H AWK_CONDITION: how many pixels of the region of the loaded shot satisfy a
# condition on r, g, b (decimal), for example 'r > 200 && g < 100'.
region_count() {
    convert "$PPM_FILE" -crop "$3x$4+$1+$2" +repage -depth 8 -format %c histogram:info:- 2>/dev/null |
        sed -nE 's/^ *([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2 \3 \4/p' |
        awk "{ n = \$1; r = \$2; g = \$3; b = \$4; if ($5) total += n } END { print total + 0 }"
}
