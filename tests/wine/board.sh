# shellcheck shell=bash
# What the tests know of the program's window and of the board, sourced after lib.sh: the test
# programs (ROM images written as bytes), the display's segment geometry, the keypad's cells, and
# Intel HEX records computed independently of the program.

# ---------------------------------------------------------------------------------------------
# Bytes

# write_bytes FILE HEX...: writes the bytes given as hexadecimal pairs (spaces and line breaks
# between them are ignored).
write_bytes() {
    local file=$1 hex
    shift
    hex=$(tr -d ' \n\t' <<<"$*")
    : >"$file"
    while [ -n "$hex" ]; do
        printf '%b' "\\x${hex:0:2}" >>"$file"
        hex=${hex:2}
    done
}

# file_hex FILE: the file's bytes as upper-case hexadecimal pairs separated by spaces.
file_hex() { od -An -tx1 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//' | tr a-f A-F; }

# ---------------------------------------------------------------------------------------------
# The keypad test program.
#
# At 0000h: stack at 2000h; select all six digits (port C 7Fh) and latch the start-up pattern C9h
# into them; interrupt mode 2 with I = 01h and interrupts enabled. Then scan the six keyboard rows
# for ever: port C = 40h + the row's select (one of bits 0 to 5 low), read port A. A key in row r,
# column c latches 1<<c into digit 0 (port C 60h) and 1<<r into digit 1 (port C 50h); the USER KEY
# (port A bit 6 low) latches 36h into digit 2 (48h). The NMI handler at 0066h latches 5Ah into
# digit 5 (41h); the interrupt handler at 0080h (vector 00h: the word at 0100h) latches 81h into
# digit 3 (44h). Bit 6 of port C is set in every write, so the single-step NMI is never armed.
KEYPAD_ROM='
31 00 20  3E 7F  D3 02  3E C9  D3 01
ED 5E  3E 01  ED 47  FB
0E 3E  16 01
79  F6 40  D3 02  DB 00  CB 77  CC 4A 00  F6 C0  FE FF  20 10
79  07  F6 01  E6 3F  4F  CB 22  7A  FE 40  20 E0  18 DA
2F  5F  3E 60  D3 02  7B  D3 01  3E 50  D3 02  7A  D3 01  18 DE
F5  3E 48  D3 02  3E 36  D3 01  F1  C9
00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
F5  3E 41  D3 02  3E 5A  D3 01  F1  ED 45
00 00 00 00 00 00 00 00 00 00 00 00 00 00
F5  3E 44  D3 02  3E 81  D3 01  F1  FB  ED 4D
00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
80 00'
START_PATTERN=C9
USER_PATTERN=36
NMI_PATTERN=5A
INT_PATTERN=81

# The keys the keypad scenario presses: "name grid-row grid-column matrix-row matrix-column".
KEYPAD_KEYS=(
    "F 0 8 0 3"
    "3 3 8 0 0"
    "MOVE 0 1 5 5"
    "GO 3 2 3 4"
    "5 2 6 2 1"
    "CBR 1 3 4 0"
    "A 1 7 1 2"
    "DATA 2 4 5 2"
)

# ---------------------------------------------------------------------------------------------
# The display: six digits drawn into the 540 by 498 board picture, which is stretched onto the
# display panel's client area.

PICTURE_W=540
PICTURE_H=498
DIGIT_X=(16 60 104 148 208 252)
DIGIT_Y=414
# Segments in bit order 0 to 7 (e g f a b c dp d), and for each the point, relative to the digit's
# origin and doubled (2x, 2y), in the middle of the part of its rectangle that no outline covers,
# whether it is drawn lit or unlit (for the decimal point, the part common to both rectangles).
SEG_NAME=(e g f a b c dp d)
SEG_X2=(28 50 30 54 74 72 82 48)
SEG_Y2=(75 53 30 8 30 75 100 96)
LIT=ff4040
UNLIT=600000

# picture_to_panel X2 Y2 PW PH PANEL_W PANEL_H: the panel pixel showing the picture point (X2/2,
# Y2/2) of a PW by PH picture stretched onto PANEL_W by PANEL_H; sets SX SY.
picture_to_panel() {
    SX=$(($1 * $5 / (2 * $3)))
    SY=$(($2 * $6 / (2 * $4)))
}

# display_is P0 P1 P2 P3 P4 P5: the loaded shot shows these six segment patterns (hexadecimal),
# sampled at every segment. Needs DISPLAY_* (screen) and WX WY (the shot's window origin).
# On a mismatch DISPLAY_DIFF says where.
display_is() {
    local -a patterns=("$@")
    local i s colour want pattern
    DISPLAY_DIFF=
    for i in 0 1 2 3 4 5; do
        pattern=$((16#${patterns[i]}))
        for s in 0 1 2 3 4 5 6 7; do
            picture_to_panel $((2 * DIGIT_X[i] + SEG_X2[s])) $((2 * DIGIT_Y + SEG_Y2[s])) $PICTURE_W $PICTURE_H \
                "$DISPLAY_W" "$DISPLAY_H"
            colour=$(px $((DISPLAY_X - WX + SX)) $((DISPLAY_Y - WY + SY)))
            if (((pattern >> s) & 1)); then want=$LIT; else want=$UNLIT; fi
            if [ "$colour" != "$want" ]; then
                DISPLAY_DIFF="digit $i segment ${SEG_NAME[s]} at ($SX,$SY) of the panel is $colour, not $want"
                return 1
            fi
        done
    done
    return 0
}

# display_now ID P0..P5: a fresh shot of window ID shows the six patterns.
display_now() {
    local id=$1
    shift
    shoot "$id" "$SHOT" && display_is "$@"
}

# The board picture's display window (dark red, about RGB(34,2,2)) left of the first digit.
DARK_WINDOW_X2=43
DARK_WINDOW_Y2=881
is_dark_red() {
    local c=$1
    local r=$((16#${c:0:2})) g=$((16#${c:2:2})) b=$((16#${c:4:2}))
    ((r >= 15 && r <= 70 && g <= 20 && b <= 20))
}

# ---------------------------------------------------------------------------------------------
# The keypad: 9 by 4 cells of 60 by 60 in the 540 by 240 picture, stretched onto the keypad panel.

KEYPAD_PICTURE_W=540
KEYPAD_PICTURE_H=240

# keypad_cell_point ROW COL: the screen point at the middle of a cell of the picture; sets KX KY.
keypad_cell_point() {
    picture_to_panel $((2 * ($2 * 60 + 30))) $((2 * ($1 * 60 + 30))) $KEYPAD_PICTURE_W $KEYPAD_PICTURE_H \
        "$KEYPAD_W" "$KEYPAD_H"
    KX=$((KEYPAD_X + SX))
    KY=$((KEYPAD_Y + SY))
}

# keypad_cell_box ROW COL: the cell's rectangle in the loaded shot; sets BX BY BW BH.
keypad_cell_box() {
    picture_to_panel $((2 * $2 * 60)) $((2 * $1 * 60)) $KEYPAD_PICTURE_W $KEYPAD_PICTURE_H "$KEYPAD_W" "$KEYPAD_H"
    BX=$((KEYPAD_X - WX + SX))
    BY=$((KEYPAD_Y - WY + SY))
    picture_to_panel 120 120 $KEYPAD_PICTURE_W $KEYPAD_PICTURE_H "$KEYPAD_W" "$KEYPAD_H"
    BW=$SX
    BH=$SY
}

# The grid cell ("row column") of each key by its legend.
declare -A KEY_CELL=(
    [RESET]="0 0" [INS]="0 2" [DEL]="1 2" [GO]="3 2" [+]="3 3" [DATA]="2 4" [ADDR]="3 4"
    [C]="0 5" [D]="0 6" [E]="0 7" [F]="0 8" [8]="1 5" [9]="1 6" [A]="1 7" [B]="1 8"
    [4]="2 5" [5]="2 6" [6]="2 7" [7]="2 8" [0]="3 5" [1]="3 6" [2]="3 7" [3]="3 8"
)

# The monitor's segment pattern of each hexadecimal digit (bit 6 is the decimal point).
HEX_SEGMENTS=(BD 30 9B BA 36 AE AF 38 BF BE 3F A7 8D B3 8F 0F)

# monitor_patterns TEXT: the six patterns of a monitor display written as tarvorun shows it, such as
# 1.8.0.0.3E (a point lights the decimal point of the digit before it).
monitor_patterns() {
    local text=$1 i c
    local -a out=()
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        if [ "$c" == . ]; then
            out[-1]=$(printf '%02X' $((16#${out[-1]} | 0x40)))
        else
            out+=("${HEX_SEGMENTS[16#$c]}")
        fi
    done
    echo "${out[*]}"
}

# Colour classes of the keypad picture (awk conditions on r, g, b).
ORANGE='r >= 200 && g >= 60 && g <= 190 && b <= 90'
WHITE='r >= 235 && g >= 235 && b >= 235'
LIGHT_GREY='r >= 150 && r <= 230 && r - g <= 12 && g - r <= 12 && g - b <= 12 && b - g <= 12'
DARK_GREY='r >= 20 && r <= 110 && r - g <= 10 && g - r <= 10 && g - b <= 10 && b - g <= 10'

# ---------------------------------------------------------------------------------------------
# Intel HEX, computed here from the bytes: records of 32 bytes, upper case, CR LF.

# memory_bytes IMAGE FROM TO: the decimal values of the bytes FROM to TO (both included) of a board
# memory that holds the file IMAGE at 0000h and zeros above it.
memory_bytes() {
    local -a image
    read -r -a image <<<"$(od -An -tu1 -v "$1" | tr -s ' \n' ' ')"
    local a
    for ((a = $2; a <= $3; a++)); do
        if ((a < ${#image[@]})); then printf '%s ' "${image[a]}"; else printf '0 '; fi
    done
}

# ihex_records FROM BYTE...: the Intel HEX text of the bytes placed from address FROM.
ihex_records() {
    local from=$1
    shift
    local -a bytes=("$@")
    local n=${#bytes[@]} i=0 count addr sum line j
    while ((i < n)); do
        count=$((n - i < 32 ? n - i : 32))
        addr=$((from + i))
        sum=$((count + (addr >> 8) + (addr & 255)))
        line=$(printf ':%02X%04X00' "$count" "$addr")
        for ((j = 0; j < count; j++)); do
            line+=$(printf '%02X' "${bytes[i + j]}")
            sum=$((sum + bytes[i + j]))
        done
        line+=$(printf '%02X' $(((256 - (sum & 255)) & 255)))
        printf '%s\r\n' "$line"
        i=$((i + count))
    done
    printf ':00000001FF\r\n'
}
