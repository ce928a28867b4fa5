#!/usr/bin/env bash
# shellcheck disable=SC2317  # the scenarios, and the functions they use, are called by name
# End-to-end tests of the Windows program under Wine, driven as a person would: clicks, keys and
# window names with xdotool, pixel colours from screenshots, message-box texts from Wine's msgbox
# trace, and a small helper (tools/wine/wintool.cpp) that reads window rectangles across processes.
#
#   tests/wine/run_wine_suite.sh EXE_DIR OUT_DIR
#
# EXE_DIR holds tarvosim.exe (64-bit). OUT_DIR receives the Wine prefix (made once, then reused),
# the scratch folders of the scenarios, main-window.png and any failure screenshots.
# Prints "ok - NAME" or "not ok - NAME: WHY" per check and "N passed, M failed" last; the exit
# status is 1 when a check failed.
#
# TARVO_WINE_SCENARIOS="start keypad" runs some of the scenarios; TARVO_WINE_WAIT sets the time-out of
# each wait in seconds (default 20).
#
# Needs: Debian's wine64, xvfb, xdotool, imagemagick, x11-utils and g++-mingw-w64-x86-64.

set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 EXE_DIR OUT_DIR" >&2
    exit 2
fi

# shellcheck source=tests/wine/lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=tests/wine/board.sh
source "$(dirname "$0")/board.sh"

MAIN_TITLE='Tarvo Emulator 1.01'
MAIN_REGEX='^Tarvo Emulator 1\.01$'
BOX_REGEX='^Tarvo Emulator$'

# keep_shot NAME: keeps the last shot as OUT_DIR/fail-NAME.png for a failure report.
keep_shot() { save_png "$OUT_DIR/fail-$1.png" && echo "#   screenshot: $OUT_DIR/fail-$1.png"; }

# main_window: waits for the main window and sets MAIN (X window), HWND, the window's and the panels'
# rectangles and WX WY (origin of the X window).
main_window() {
    MAIN=$(wait_window "$MAIN_REGEX") || return 1
    HWND=$(hwnd_of "$MAIN_TITLE") || return 1
    win_rects "$HWND" && child_rects "$HWND" && window_geometry "$MAIN"
}

# wait_display PATTERN...: polls screenshots of the main window until the display shows them.
wait_display() { wait_until "$WAIT" display_now "$MAIN" "$@"; }

# check_display NAME SHOT-NAME PATTERN...: a check that the display comes to show the six patterns;
# on failure the last screenshot is kept as fail-SHOT-NAME.png.
check_display() {
    local name=$1 shot=$2
    shift 2
    if wait_display "$@"; then
        pass "$name"
    else
        fail "$name" "$DISPLAY_DIFF"
        keep_shot "$shot"
    fi
}

# click_ok_of HWND: clicks the OK button of a message box.
click_ok_of() {
    local line f
    line=$(wintool children "$1" | grep -m 1 ' Button .*"OK"$') || return 1
    read -r -a f <<<"$line"
    click_at $((f[8] + f[10] / 2)) $((f[9] + f[11] / 2))
}

# dismiss_box: clicks OK in the program's message box and waits until it is gone.
dismiss_box() {
    local box hwnd
    box=$(find_window "$BOX_REGEX") && [ -n "$box" ] || return 1
    hwnd=$(hwnd_of "Tarvo Emulator") || return 1
    click_ok_of "$hwnd" && wait_until "$WAIT" window_gone "$box"
}

# about_barrier: opens Help > About and waits for it. The program has one thread, so once the About
# box is up, everything that earlier keys or clicks set going has happened. Sets ABOUT.
about_barrier() {
    keys_to "$MAIN" alt+h a && ABOUT=$(wait_window '^About$')
}

close_about() { keys_to "$ABOUT" Return && wait_until "$WAIT" window_gone "$ABOUT"; }

# visible_windows: the titles of the visible top-level windows of the prefix, one a line.
visible_windows() { wintool list | awk '$2 == 1' | sed 's/^[^"]*"//; s/"$//' | sort; }

# file_menu KEY: the File menu item of that access key.
file_menu() { keys_to "$MAIN" alt+f "$1"; }

# address_dialog TITLE FROM TO: fills in the address dialog and presses OK (Return).
address_dialog() {
    local dlg
    dlg=$(wait_window "^$1\$") || return 1
    type_to "$dlg" "$2" && xdotool key Tab && xdotool type --delay 20 -- "$3" && xdotool key Return &&
        wait_until "$WAIT" window_gone "$dlg"
}

# file_dialog TITLE PATH: types a Unix path as a Windows path into the Open or Save As dialog and
# presses Return; answers Wine's create and overwrite prompts ("Error") with y.
file_dialog() {
    local dlg prompt
    dlg=$(wait_window "^$1\$") || return 1
    type_to "$dlg" "$(win_path "$2")" && xdotool key Return || return 1
    local end=$(($(now_ms) + WAIT * 1000))
    while window_exists "$dlg"; do
        prompt=$(find_window '^Error$')
        if [ -n "$prompt" ]; then
            keys_to "$prompt" y
            wait_until "$WAIT" window_gone "$prompt"
        fi
        (($(now_ms) >= end)) && return 1
        sleep "$POLL"
    done
}

# file_is FILE EXPECTED-FILE
file_is() { [ -f "$1" ] && cmp -s "$1" "$2"; }

finish() {
    echo "# took $((($(now_ms) - SUITE_START) / 1000)) s"
    echo "$PASSED passed, $FAILED failed"
    [ "$FAILED" -eq 0 ]
    exit $?
}

# ---------------------------------------------------------------------------------------------
# start: the window, its panels and pictures, the unlit digits; a missing ROM image

scenario_start() {
    local dir=$SCRATCH/start
    note "start: no tarvo/tarvo-rom.bin"
    prog_prepare "$dir" "$EXE_DIR"
    prog_start "$dir"

    if wait_window "$BOX_REGEX" >/dev/null && wait_until "$WAIT" msgboxes_more_than 0; then
        check_eq "start: a missing ROM image is reported" "There was an error opening the Tarvo files!" \
            "$(msgbox_texts | head -n 1)"
        check "start: the message box goes away with OK" "it is still there after a click on OK" dismiss_box
    else
        fail "start: a missing ROM image is reported" "no message box within $WAIT s"
    fi

    if ! main_window; then
        fail "start: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    pass "start: the main window opens"
    check_eq "start: the title" "$MAIN_TITLE" "$(window_name "$MAIN")"
    check_eq "start: the window is 540 by 740" "540 740" "$WIN_W $WIN_H"
    # Without a window manager the X window holds the menu bar and the client area only.
    check_eq "start: the X window holds the 532 by 694 client area and the menu bar" "532 713 532 694" \
        "$WW $WH $CLI_W $CLI_H"

    # The layout: display over the upper two thirds, keypad over the third below; each panel's
    # client area is its window less the 2-pixel sunken edge.
    local t=$((CLI_H / 3))
    check_eq "start: the display panel fills the upper two thirds" "0 0 $CLI_W $((2 * t))" \
        "$(awk -v x="$CLI_X" -v y="$CLI_Y" '{ print $1 - x, $2 - y, $3, $4 }' <<<"$DISPLAY_WIN")"
    check_eq "start: the keypad panel fills the third below" "0 $((2 * t)) $CLI_W $t" \
        "$(awk -v x="$CLI_X" -v y="$CLI_Y" '{ print $1 - x, $2 - y, $3, $4 }' <<<"$KEYPAD_WIN")"

    check_display "start: all six digits are drawn, every segment unlit" start-digits 00 00 00 00 00 00
    save_png "$OUT_DIR/main-window.png"
    note "screenshot of the main window: $OUT_DIR/main-window.png"

    # The pictures: the board's dark display window above, the keypad's caps below.
    picture_to_panel "$DARK_WINDOW_X2" "$DARK_WINDOW_Y2" "$PICTURE_W" "$PICTURE_H" "$DISPLAY_W" "$DISPLAY_H"
    local c
    c=$(px $((DISPLAY_X - WX + SX)) $((DISPLAY_Y - WY + SY)))
    check "start: the board picture shows its dark display window beside the digits" "pixel is $c" is_dark_red "$c"
    keypad_pictures "start"
    # The rows below the keypad panel (client height not a multiple of 3) show the grey background.
    if ((CLI_H % 3 > 0)); then
        check_eq "start: the row below the keypad shows the class background" c0c0c0 \
            "$(px $((CLI_X - WX + CLI_W / 2)) $((CLI_Y - WY + CLI_H - 1)))"
    fi

    # The program goes on after the message: it answers the menu, and E&xit ends it with 0.
    if about_barrier; then
        pass "start: after the message the program goes on (Help > About opens)"
        local about
        about=$(msgbox_texts | tail -n 1)
        check_eq "start: About names the program and version" "Tarvo emulator - Version 1.01" "${about%%\\n*}"
        close_about
    else
        fail "start: after the message the program goes on (Help > About opens)" "no About box"
    fi
    file_menu x
    if prog_wait_exit; then
        check_eq "start: File > E&xit ends the program with exit code 0" 0 "$PROG_RC"
    else
        fail "start: File > E&xit ends the program with exit code 0" "still running after $WAIT s"
        prog_stop
    fi
}

# keypad_pictures PREFIX: the keypad picture in the keypad panel of the loaded shot.
keypad_pictures() {
    local n
    keypad_cell_box 0 0
    n=$(region_count "$BX" "$BY" "$BW" "$BH" "$ORANGE")
    check "$1: the keypad picture's RESET cap (orange) is in the keypad's top left cell" "$n orange pixels" \
        test "$n" -ge 150
    keypad_cell_box 3 8
    n=$(region_count "$BX" "$BY" "$BW" "$BH" "$WHITE")
    check "$1: a white hexadecimal key cap is in the keypad's bottom right cell" "$n white pixels" test "$n" -ge 150
    keypad_cell_box 0 1
    n=$(region_count "$BX" "$BY" "$BW" "$BH" "$LIGHT_GREY")
    check "$1: a light grey function key cap is in the second cell" "$n light grey pixels" test "$n" -ge 150
    n=$(region_count $((KEYPAD_X - WX)) $((KEYPAD_Y - WY)) "$KEYPAD_W" "$KEYPAD_H" "$DARK_GREY")
    check "$1: the keypad's ground is dark grey" "$n of $((KEYPAD_W * KEYPAD_H)) pixels" \
        test $((n * 4)) -ge $((KEYPAD_W * KEYPAD_H))
    n=$(region_count $((DISPLAY_X - WX)) $((DISPLAY_Y - WY)) "$DISPLAY_W" "$DISPLAY_H" "$WHITE")
    local all=$((DISPLAY_W * DISPLAY_H))
    check "$1: the display panel does not show the keypad (few white pixels)" "$n white pixels" \
        test $((n * 20)) -lt "$all"
}

# ---------------------------------------------------------------------------------------------
# keypad: clicks on the keypad picture reach the program on the board

scenario_keypad() {
    local dir=$SCRATCH/keypad
    note "keypad: a test program that shows the row and column of each key"
    prog_prepare "$dir" "$EXE_DIR"
    write_bytes "$dir/tarvo/tarvo-rom.bin" "$KEYPAD_ROM"
    prog_start "$dir"
    if ! main_window; then
        fail "keypad: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    local s=$START_PATTERN
    if wait_display "$s" "$s" "$s" "$s" "$s" "$s"; then
        pass "keypad: the test program runs from the ROM image and latches its start-up pattern"
    else
        fail "keypad: the test program runs from the ROM image and latches its start-up pattern" "$DISPLAY_DIFF"
        keep_shot keypad-start
        prog_stop
        return
    fi
    check_eq "keypad: a ROM image that is there gives no message" 0 "$(msgbox_count)"

    local key name row col mrow mcol button d0 d1 which
    local i=0
    for key in "${KEYPAD_KEYS[@]}"; do
        read -r name row col mrow mcol <<<"$key"
        # Every other key with the right button.
        if ((i % 2)); then button=3 which=right; else button=1 which=left; fi
        i=$((i + 1))
        d0=$(printf '%02X' $((1 << mcol)))
        d1=$(printf '%02X' $((1 << mrow)))
        keypad_cell_point "$row" "$col"
        click_at "$KX" "$KY" "$button"
        check_display "keypad: $which click on $name is read in row $mrow, column $mcol" "keypad-$name" \
            "$d0" "$d1" "$s" "$s" "$s" "$s"
    done

    # The keys that act at once: USER KEY (port A bit 6), MONI (the NMI), INTR, RESET.
    keypad_cell_point 3 0
    click_at "$KX" "$KY" 1
    check_display "keypad: USER KEY is reported in port A bit 6" keypad-user "$d0" "$d1" "$USER_PATTERN" "$s" "$s" "$s"
    keypad_cell_point 1 0
    click_at "$KX" "$KY" 3
    check_display "keypad: MONI takes the NMI" keypad-moni "$d0" "$d1" "$USER_PATTERN" "$s" "$s" "$NMI_PATTERN"
    keypad_cell_point 2 0
    click_at "$KX" "$KY" 1
    check_display "keypad: INTR takes the interrupt (mode 2, vector 00h)" keypad-intr \
        "$d0" "$d1" "$USER_PATTERN" "$INT_PATTERN" "$s" "$NMI_PATTERN"
    save_png "$OUT_DIR/keypad-before-reset.png"
    keypad_cell_point 0 0
    click_at "$KX" "$KY" 1
    check_display "keypad: RESET restarts the program (start-up pattern again)" keypad-reset "$s" "$s" "$s" "$s" "$s" "$s"
    # The program still reads keys after the reset.
    read -r name row col mrow mcol <<<"${KEYPAD_KEYS[0]}"
    keypad_cell_point "$row" "$col"
    click_at "$KX" "$KY" 1
    check_display "keypad: keys are read after RESET" keypad-after-reset \
        "$(printf '%02X' $((1 << mcol)))" "$(printf '%02X' $((1 << mrow)))" "$s" "$s" "$s" "$s"
    # The tape keys run the Intel HEX commands: TAPE RD the Open dialog, TAPE WR the address dialog.
    local dlg
    keypad_cell_point 3 1
    click_at "$KX" "$KY" 1
    if dlg=$(wait_window '^Open$'); then
        pass "keypad: TAPE RD opens the Open dialog of Open hex file"
        keys_to "$dlg" Escape
        wait_until "$WAIT" window_gone "$dlg"
    else
        fail "keypad: TAPE RD opens the Open dialog of Open hex file" "no Open dialog"
    fi
    keypad_cell_point 2 1
    click_at "$KX" "$KY" 1
    if dlg=$(wait_window '^Save mem as Intel Hex$'); then
        pass "keypad: TAPE WR opens the address dialog of Save hex file"
        keys_to "$dlg" Escape
        wait_until "$WAIT" window_gone "$dlg"
    else
        fail "keypad: TAPE WR opens the address dialog of Save hex file" "no address dialog"
    fi
    read -r name row col mrow mcol <<<"${KEYPAD_KEYS[1]}"
    keypad_cell_point "$row" "$col"
    click_at "$KX" "$KY" 3
    check_display "keypad: keys are read after the tape keys' dialogs" keypad-after-tape \
        "$(printf '%02X' $((1 << mcol)))" "$(printf '%02X' $((1 << mrow)))" "$s" "$s" "$s" "$s"
    check_eq "keypad: no message box came up" 0 "$(msgbox_count)"
    prog_stop
}

# ---------------------------------------------------------------------------------------------
# files: the four file commands through their dialogs

scenario_files() {
    local dir=$SCRATCH/files
    note "files: Intel HEX and binary files through the dialogs"
    prog_prepare "$dir" "$EXE_DIR"
    local rom=$dir/tarvo/tarvo-rom.bin
    write_bytes "$rom" "$KEYPAD_ROM"
    local data=$dir/data
    mkdir -p "$data"
    printf ':051800003e01d300765b\r\n:00000001FF\r\n' >"$data/prog.hex"
    write_bytes "$data/block.bin" 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F A0 A1 A2 A3
    # The second record's checksum is 87, not 6D.
    {
        ihex_records $((0x1800)) $((0x11)) $((0x22)) | head -n 1
        printf ':02180200334487\r\n'
    } >"$data/badsum.hex"
    printf 'keep this\r\n' >"$data/keep.hex"
    cp "$data/keep.hex" "$data/keep.orig"

    prog_start "$dir"
    if ! main_window; then
        fail "files: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    local s=$START_PATTERN
    wait_display "$s" "$s" "$s" "$s" "$s" "$s" || note "files: the start-up pattern did not show ($DISPLAY_DIFF)"

    # Open &hex file: lower-case records load; the title names the file.
    file_menu h
    if file_dialog Open "$data/prog.hex" && wait_until "$WAIT" name_is "$MAIN" "prog.hex - Tarvo Emulator"; then
        pass "files: Open hex file loads prog.hex and the title becomes 'prog.hex - Tarvo Emulator'"
    else
        fail "files: Open hex file loads prog.hex and the title becomes 'prog.hex - Tarvo Emulator'" \
            "title is '$(window_name "$MAIN")'"
    fi

    # Save hex f&ile, 1800 to 1804: the bytes just loaded, one record and the end record, CR LF.
    printf ':051800003E01D300765B\r\n:00000001FF\r\n' >"$data/expect1.hex"
    file_menu i
    if address_dialog "Save mem as Intel Hex" 1800 1804 && file_dialog "Save As" "$data/out1.hex" &&
        wait_until "$WAIT" file_is "$data/out1.hex" "$data/expect1.hex"; then
        pass "files: Save hex file 1800 to 1804 writes the loaded bytes as one record and the end record"
    else
        fail "files: Save hex file 1800 to 1804 writes the loaded bytes as one record and the end record" \
            "file holds: $(cat -A "$data/out1.hex" 2>/dev/null | tr '\n' ' ')"
    fi
    check_eq "files: a save leaves the title as it was" "prog.hex - Tarvo Emulator" "$(window_name "$MAIN")"

    # Save hex f&ile, 0 to 40: records of 32 bytes from the ROM image, then a short one.
    # shellcheck disable=SC2046
    ihex_records 0 $(memory_bytes "$rom" 0 $((0x40))) >"$data/expect2.hex"
    file_menu i
    if address_dialog "Save mem as Intel Hex" 0 40 && file_dialog "Save As" "$data/out2.hex" &&
        wait_until "$WAIT" file_is "$data/out2.hex" "$data/expect2.hex"; then
        pass "files: Save hex file 0 to 40 writes records of 32, 32 and 1 bytes of the ROM image"
    else
        fail "files: Save hex file 0 to 40 writes records of 32, 32 and 1 bytes of the ROM image" \
            "file holds: $(head -c 300 "$data/out2.hex" 2>/dev/null | cat -A | tr '\n' ' ')"
    fi

    # Open &binary file 1900 to 1910 from a 20-byte file: 16 bytes land, the title changes.
    file_menu b
    if address_dialog "Read binary file" 1900 1910 && file_dialog Open "$data/block.bin" &&
        wait_until "$WAIT" name_is "$MAIN" "block.bin - Tarvo Emulator"; then
        pass "files: Open binary file loads block.bin and the title becomes 'block.bin - Tarvo Emulator'"
    else
        fail "files: Open binary file loads block.bin and the title becomes 'block.bin - Tarvo Emulator'" \
            "title is '$(window_name "$MAIN")'"
    fi

    # Save bina&ry file 18FE to 1912 (the end excluded) under a name without an extension: the file
    # gets ".bin", and holds 00 00, the 16 loaded bytes (not the file's last 4), 00 00.
    write_bytes "$data/expect3.bin" 00 00 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F 00 00
    file_menu r
    if address_dialog "Save mem as binay file" 18FE 1912 && file_dialog "Save As" "$data/rawout" &&
        wait_until "$WAIT" file_is "$data/rawout.bin" "$data/expect3.bin"; then
        pass "files: Save binary file 18FE to 1912 writes the 20 bytes before 1912, the 16 loaded in the middle"
    else
        local got
        got=$(cd "$data" && echo rawout*)
        fail "files: Save binary file 18FE to 1912 writes the 20 bytes before 1912, the 16 loaded in the middle" \
            "files: ${got:-none}; rawout.bin holds: $(file_hex "$data/rawout.bin" 2>/dev/null)"
    fi
    check "files: a binary file saved without an extension gets .bin" "no rawout.bin" test -f "$data/rawout.bin"

    # From greater than To: the Save dialog, then the error; the chosen file stays as it was.
    local before
    before=$(msgbox_count)
    file_menu i
    if address_dialog "Save mem as Intel Hex" 2000 1000 && file_dialog "Save As" "$data/keep.hex" &&
        wait_window "$BOX_REGEX" >/dev/null && wait_until "$WAIT" msgboxes_more_than "$before"; then
        check_eq "files: From above To gives the save error" "There was an error saving the file!" \
            "$(msgbox_texts | tail -n 1)"
        check "files: the save error goes away with OK" "still there" dismiss_box
    else
        fail "files: From above To gives the save error" "no message box"
    fi
    check "files: From above To leaves the chosen file as it was" "keep.hex changed" \
        cmp -s "$data/keep.hex" "$data/keep.orig"

    # A bad checksum in the second record: the error, the title unchanged.
    before=$(msgbox_count)
    file_menu h
    if file_dialog Open "$data/badsum.hex" && wait_window "$BOX_REGEX" >/dev/null &&
        wait_until "$WAIT" msgboxes_more_than "$before"; then
        check_eq "files: a record with a bad checksum gives the open error" "There was an error opening the file!" \
            "$(msgbox_texts | tail -n 1)"
        dismiss_box
    else
        fail "files: a record with a bad checksum gives the open error" "no message box"
    fi
    check_eq "files: a failed load leaves the title as it was" "block.bin - Tarvo Emulator" "$(window_name "$MAIN")"

    # The first record of that file was stored: save 1800 to 1801 shows it.
    ihex_records $((0x1800)) $((0x11)) $((0x22)) >"$data/expect4.hex"
    file_menu i
    if address_dialog "Save mem as Intel Hex" 1800 1801 && file_dialog "Save As" "$data/out4.hex" &&
        wait_until "$WAIT" file_is "$data/out4.hex" "$data/expect4.hex"; then
        pass "files: the records before the bad one were stored"
    else
        fail "files: the records before the bad one were stored" \
            "file holds: $(cat -A "$data/out4.hex" 2>/dev/null | tr '\n' ' ')"
    fi

    # Cancel does nothing: in the Open dialog, in the address dialog (after typing a range), and in
    # the Save dialog. The About box, opened next, shows that no dialog or message is pending.
    before=$(msgbox_count)
    local title dlg listing
    title=$(window_name "$MAIN")
    listing=$(ls -l --full-time "$data")
    file_menu h
    dlg=$(wait_window '^Open$') && keys_to "$dlg" Escape && wait_until "$WAIT" window_gone "$dlg"
    file_menu i
    dlg=$(wait_window '^Save mem as Intel Hex$')
    # Kept on purpose (docs/on-purpose.md): the buttons are OK, Cancel and a check box without a label.
    local buttons
    buttons=$(wintool children "$(hwnd_of "Save mem as Intel Hex")" | sed -n 's/.* Button .*\("[^"]*"\)$/\1/p')
    check_eq "files: the address dialog's check box has no label" '"" "Cancel" "OK"' \
        "$(LC_ALL=C sort <<<"$buttons" | paste -sd ' ')"
    [ -n "$dlg" ] && type_to "$dlg" 1800 && xdotool key Tab &&
        xdotool type -- 1804 && keys_to "$dlg" Escape && wait_until "$WAIT" window_gone "$dlg"
    file_menu i
    address_dialog "Save mem as Intel Hex" 1800 1804 && dlg=$(wait_window '^Save As$') && keys_to "$dlg" Escape &&
        wait_until "$WAIT" window_gone "$dlg"
    if about_barrier; then
        check_eq "files: after Cancel in each dialog only the main window and About are up" \
            "$(printf '%s\n' About "$title" | sort)" "$(visible_windows)"
        close_about
    else
        fail "files: after Cancel in each dialog only the main window and About are up" \
            "no About box; windows: $(visible_windows | tr '\n' ',')"
    fi
    check_eq "files: Cancel shows no message" $((before + 1)) "$(msgbox_count)"
    check_eq "files: Cancel leaves the title as it was" "$title" "$(window_name "$MAIN")"
    check_eq "files: Cancel writes no file" "$listing" "$(ls -l --full-time "$data")"
    check_display "files: the display still shows the start-up pattern" files-display "$s" "$s" "$s" "$s" "$s" "$s"
    prog_stop
}

# ---------------------------------------------------------------------------------------------
# window: accelerators, resizing, the close box (Wine draws the frame for this copy)

scenario_window() {
    local dir=$SCRATCH/window exe=tarvosim-framed.exe
    note "window: Ctrl+A, Ctrl+F, resizing and the close box, with Wine's own frame"
    prog_prepare "$dir" "$EXE_DIR" "$exe"
    write_bytes "$dir/tarvo/tarvo-rom.bin" "$KEYPAD_ROM"
    # Wine draws caption and frame for this program name only.
    "$WINE64" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
    prog_start "$dir" "$exe"
    if ! main_window; then
        fail "window: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    check_eq "window: with its frame drawn the X window is 540 by 740" "540 740" "$WW $WH"
    local s=$START_PATTERN
    wait_display "$s" "$s" "$s" "$s" "$s" "$s" || note "window: the start-up pattern did not show ($DISPLAY_DIFF)"

    # Ctrl+A and Ctrl+F do nothing: no window, no message, the same title and display.
    keys_to "$MAIN" ctrl+a ctrl+f
    if about_barrier; then
        check_eq "window: Ctrl+A and Ctrl+F open nothing" "$(printf '%s\n' About "$MAIN_TITLE" | sort)" \
            "$(visible_windows)"
        close_about
    else
        fail "window: Ctrl+A and Ctrl+F open nothing" "no About box; windows: $(visible_windows | tr '\n' ',')"
    fi
    check_eq "window: Ctrl+A and Ctrl+F show no message" 1 "$(msgbox_count)"
    check_eq "window: Ctrl+A and Ctrl+F leave the title" "$MAIN_TITLE" "$(window_name "$MAIN")"
    check_display "window: Ctrl+A and Ctrl+F leave the display as it was" window-ctrl "$s" "$s" "$s" "$s" "$s" "$s"

    # Resizing lays the panels out again: 640 by 560 outside.
    xdotool windowsize "$MAIN" 640 560
    if wait_until "$WAIT" resized_to 640 560; then
        pass "window: xdotool resizes the window to 640 by 560"
        local t=$((CLI_H / 3))
        check_eq "window: after resizing the display panel fills the upper two thirds" "0 0 $CLI_W $((2 * t))" \
            "$(awk -v x="$CLI_X" -v y="$CLI_Y" '{ print $1 - x, $2 - y, $3, $4 }' <<<"$DISPLAY_WIN")"
        check_eq "window: after resizing the keypad panel fills the third below" "0 $((2 * t)) $CLI_W $t" \
            "$(awk -v x="$CLI_X" -v y="$CLI_Y" '{ print $1 - x, $2 - y, $3, $4 }' <<<"$KEYPAD_WIN")"
        check_display "window: after resizing the digits are drawn at the new scale" window-resized "$s" "$s" "$s" "$s" "$s" "$s"
        keypad_pictures "window: after resizing"
        save_png "$OUT_DIR/resized-window.png"
        # A click in the new keypad still finds its key.
        local name row col mrow mcol
        read -r name row col mrow mcol <<<"${KEYPAD_KEYS[4]}"
        keypad_cell_point "$row" "$col"
        click_at "$KX" "$KY" 1
        check_display "window: after resizing a click on $name is read in row $mrow, column $mcol" window-click \
            "$(printf '%02X' $((1 << mcol)))" "$(printf '%02X' $((1 << mrow)))" "$s" "$s" "$s" "$s"
    else
        fail "window: xdotool resizes the window to 640 by 560" "window is $WIN_W by $WIN_H"
    fi

    # The close box of the caption.
    local point
    if point=$(wintool closebox "$HWND"); then
        click_at "${point% *}" "${point#* }" 1
        if prog_wait_exit; then
            check_eq "window: the close box ends the program with exit code 0" 0 "$PROG_RC"
        else
            fail "window: the close box ends the program with exit code 0" "still running after $WAIT s"
        fi
    else
        fail "window: the close box ends the program with exit code 0" "no close box found on the caption"
    fi
    prog_stop
}

# resized_to W H: the main window has that size and its panels have been laid out for it.
resized_to() {
    win_rects "$HWND" && [ "$WIN_W $WIN_H" == "$1 $2" ] && child_rects "$HWND" && window_geometry "$MAIN" &&
        [ "${KEYPAD_WIN##* }" == $((CLI_H / 3)) ]
}

# ---------------------------------------------------------------------------------------------

SUITE_START=$(now_ms)

if [ ! -f "$1/tarvosim.exe" ]; then
    fail "suite" "there is no tarvosim.exe in $1"
    finish
fi
EXE_DIR=$(cd "$1" && pwd)

if ! harness_start "$2"; then
    fail "suite" "the harness could not start (Xvfb, Wine prefix or helper program)"
    finish
fi
SCRATCH=$OUT_DIR/scratch
SHOT=$OUT_DIR/shot.ppm
mkdir -p "$SCRATCH"
rm -f "$OUT_DIR"/fail-*.png "$OUT_DIR/main-window.png"

# ---------------------------------------------------------------------------------------------
# monitor: the monitor that ships in tarvo/ beside the program, keyed in on the keypad picture

# The grid cell of each key and the display it leads to (as tarvorun shows the same keys).
MONITOR_KEYS=(
    "ADDR 3 4 70 FF FD FD BD BD"
    "1 3 6 FD FD FD 70 BD 9B"
    "8 1 5 FD FD 70 FF 0F 0F"
    "0 3 5 FD 70 FF FD 0F BA"
    "0 3 5 70 FF FD FD BD BD"
    "DATA 2 4 30 BF BD BD FD FD"
    "3 3 8 30 BF BD BD FD FA"
    "E 0 7 30 BF BD BD FA CF"
)

scenario_monitor() {
    local dir=$SCRATCH/monitor rom=$EXE_DIR/tarvo/tarvo-rom.bin
    note "monitor: ADDR 1 8 0 0 DATA 3 E on the keypad picture with the monitor the build ships"
    if [ ! -s "$rom" ]; then
        fail "monitor: the build puts the monitor in tarvo/ beside the program" "no $rom"
        return
    fi
    pass "monitor: the build puts the monitor in tarvo/ beside the program"
    prog_prepare "$dir" "$EXE_DIR"
    cp "$rom" "$dir/tarvo/tarvo-rom.bin"
    prog_start "$dir"
    if ! main_window; then
        fail "monitor: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    check_eq "monitor: the monitor loads without a message" 0 "$(msgbox_count)"
    local key name row col rest button i=0
    local -a shows
    for key in "${MONITOR_KEYS[@]}"; do
        read -r name row col rest <<<"$key"
        read -r -a shows <<<"$rest"
        # Alternate the buttons, so that the two presses of 0 are never one double click.
        if ((i % 2)); then button=3; else button=1; fi
        i=$((i + 1))
        keypad_cell_point "$row" "$col"
        click_at "$KX" "$KY" "$button"
        check_display "monitor: after $name the display shows ${shows[*]}" "monitor-$i" "${shows[@]}"
    done
    save_png "$OUT_DIR/monitor-1800-3E.png"
    prog_stop
}

# click_keys SECONDS KEY...: left clicks on the keys of the keypad picture, SECONDS apart. The gap
# is the pace under test, so nothing waits for the program between the clicks, and one xdotool
# runs them all: starting a program for each click would add a varying tenth of a second or more.
click_keys() {
    local gap=$1 key at here
    shift
    at=$(xdotool getmouselocation --shell 2>/dev/null | sed -n 's/^[XY]=//p' | tr '\n' ' ')
    local -a chain=()
    for key in "$@"; do
        # shellcheck disable=SC2086  # "row column"
        keypad_cell_point ${KEY_CELL[$key]}
        here="$KX $KY "
        # A move --sync to where the pointer already is would wait for ever.
        [ "$here" == "$at" ] || chain+=(mousemove --sync "$KX" "$KY")
        chain+=(click 1 sleep "$gap")
        at=$here
    done
    timeout 60 xdotool "${chain[@]}"
}

# check_monitor NAME SHOT-NAME TEXT: check_display with the display written as tarvorun shows it.
check_monitor() {
    # shellcheck disable=SC2046  # six patterns
    check_display "$1" "$2" $(monitor_patterns "$3")
}

# ---------------------------------------------------------------------------------------------
# clicks: the shipped monitor clicked at a person's pace, and keys clicked while a program ignores
# the keypad

scenario_clicks() {
    local dir=$SCRATCH/clicks
    note "clicks: quick clicks on one key, and RESET after clicks that a running program never read"
    prog_prepare "$dir" "$EXE_DIR"
    cp "$EXE_DIR/tarvo/tarvo-rom.bin" "$dir/tarvo/tarvo-rom.bin"
    prog_start "$dir"
    if ! main_window; then
        fail "clicks: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    # The second click of a pair within the double-click time is a press like the first.
    click_keys 0.3 ADDR 1 8 0 0
    check_monitor "clicks: ADDR 1 8 0 0 clicked 0.3 s apart shows 1800" clicks-1800 1.8.0.0.00
    click_keys 0.2 DATA 3 3
    check_monitor "clicks: two clicks on 3 0.2 s apart enter 33" clicks-33 18003.3.

    # JR $ at 1800h, run with GO: a program that never reads the keypad.
    click_keys 0.3 DATA 1 8 + F E
    check_monitor "clicks: 18 FE typed in at 1800h" clicks-program 1801F.E.
    click_keys 0.3 ADDR 1 8 0 0
    check_monitor "clicks: back at 1800h" clicks-back 1.8.0.0.18
    # DEL, 5 and GO stay pending while it runs, and through RESET; the monitor must forget them.
    click_keys 0.3 GO DEL 5 GO RESET
    check_display "clicks: RESET after clicks the program never read shows the greeting" clicks-greeting         87 3F 03 A1 A3 00
    # The greeting lasts a number of keypad rounds, each repainting the display: on a busy machine
    # that is longer than one wait.
    WAIT=$((3 * WAIT)) check_monitor "clicks: then address mode at 1800h with the program unchanged" clicks-reset \
        1.8.0.0.18
    click_keys 0 +
    check_monitor "clicks: the byte after it is unchanged too" clicks-next 1.8.0.1.FE
    check_eq "clicks: no message box came up" 0 "$(msgbox_count)"
    prog_stop
}

# names_in DIR: the names of the files in a folder, sorted, one a line.
names_in() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort; }

# unicode_load MENU-KEY COMMAND FILE [RANGE-TITLE FROM TO]: loads FILE through the File menu and its
# dialogs; a check that the title names it.
unicode_load() {
    local name="unicode: $2 loads ${3##*/} and the title names it"
    file_menu "$1"
    if { [ $# -lt 4 ] || address_dialog "$4" "$5" "$6"; } && file_dialog Open "$3" &&
        wait_until "$WAIT" name_is "$MAIN" "${3##*/} - Tarvo Emulator"; then
        pass "$name"
    else
        fail "$name" "title is '$(window_name "$MAIN")'"
    fi
}

# unicode_save MENU-KEY COMMAND RANGE-TITLE FROM TO FILE EXPECTED-FILE: saves through the File menu
# and its dialogs; a check that FILE holds what EXPECTED-FILE does.
unicode_save() {
    local name="unicode: $2 writes ${6##*/}"
    file_menu "$1"
    if address_dialog "$3" "$4" "$5" && file_dialog "Save As" "$6" && wait_until "$WAIT" file_is "$6" "$7"; then
        pass "$name"
    else
        fail "$name" "files: $(names_in "${6%/*}" | tr '\n' ' ')"
    fi
}

# ---------------------------------------------------------------------------------------------
# unicode: file names outside the ANSI code page in the four file commands and the title

scenario_unicode() {
    local dir=$SCRATCH/unicode/日本語 exe=tarvosim-framed.exe
    note "unicode: 日本語 and Ελλάδα file names through the four file commands"
    prog_prepare "$dir" "$EXE_DIR" "$exe"
    write_bytes "$dir/tarvo/tarvo-rom.bin" "$KEYPAD_ROM"
    # Wine draws the caption for this program name, so that the screenshot shows the title.
    "$WINE64" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
    local data=$dir/data
    mkdir -p "$data"
    printf ':051800003e01d300765b\r\n:00000001FF\r\n' >"$data/日本語.hex"
    printf ':051800003E01D300765B\r\n:00000001FF\r\n' >"$data/expect.hex"
    write_bytes "$data/expect.bin" 3E 01 D3 00 76
    prog_start "$dir" "$exe"
    if ! main_window; then
        fail "unicode: the main window opens" "no visible window titled '$MAIN_TITLE' within $WAIT s"
        prog_stop
        return
    fi
    local s=$START_PATTERN
    check_display "unicode: the ROM image beside a program in a folder named 日本語 loads and runs" unicode-rom \
        "$s" "$s" "$s" "$s" "$s" "$s"

    unicode_load h "Open hex file" "$data/日本語.hex"
    shoot "$MAIN" "$SHOT" && save_png "$OUT_DIR/unicode-title.png"
    unicode_save i "Save hex file" "Save mem as Intel Hex" 1800 1804 "$data/Ελλάδα.hex" "$data/expect.hex"
    unicode_load h "Open hex file" "$data/Ελλάδα.hex"
    shoot "$MAIN" "$SHOT" && save_png "$OUT_DIR/unicode-title-greek.png"
    note "screenshots after the loads: $OUT_DIR/unicode-title.png, unicode-title-greek.png"
    unicode_save r "Save binary file" "Save mem as binay file" 1800 1805 "$data/日本語.bin" "$data/expect.bin"
    unicode_load b "Open binary file" "$data/日本語.bin" "Read binary file" 1900 1905
    check_eq "unicode: no message box came up" 0 "$(msgbox_count)"
    check_eq "unicode: no file was made under another name" \
        "$(printf '%s\n' expect.bin expect.hex Ελλάδα.hex 日本語.bin 日本語.hex | sort)" "$(names_in "$data")"
    prog_stop
}

for scenario in ${TARVO_WINE_SCENARIOS:-start keypad files window monitor clicks unicode}; do
    t0=$(now_ms)
    "scenario_$scenario"
    note "$scenario: $((($(now_ms) - t0) / 1000)) s"
done
finish
