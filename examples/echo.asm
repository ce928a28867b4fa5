; echo.asm: keypad echo. Every hexadecimal key pressed moves into the
; display from the right, as on a calculator; the other keys of the
; keypad matrix are read and ignored (MONI returns to the monitor).
;
; Load echo.hex (File, Open hex file) or type the bytes in at 1800h, then
; ADDR 1 8 0 0 GO.
;
; Assemble: pasmo --hex echo.asm echo.hex

PORTA   EQU     00h             ; keypad columns: a pressed key reads 0
PORTB   EQU     01h             ; segment pattern
PORTC   EQU     02h             ; digit select and keypad row; bit 6 set

        ORG     1800h
start:  LD      SP,2780h
        LD      HL,shown        ; six dashes to begin with
        LD      B,6
fill:   LD      (HL),02h
        INC     HL
        DJNZ    fill
        CALL    paint

scan:   LD      HL,rows         ; rows 0-3 hold the hexadecimal keys,
        LD      E,3             ; rows 4 and 5 the others; E = 3 - row
row:    LD      A,(HL)
        OUT     (PORTC),A       ; one write per row ...
        LD      B,100
dwell:  IN      A,(PORTA)       ; ... then a hundred reads
        OR      0F0h            ; digits sit in columns 0-3: column 4
        INC     A               ; (GO, STEP) and bits 6, 7 count as none
        JR      NZ,key
        DJNZ    dwell
        INC     HL
        DEC     E
        LD      A,E
        CP      -3              ; after row 5
        JR      NZ,row
        JR      scan

key:    BIT     7,E             ; rows 4 and 5: taken from the keypad
        JR      NZ,scan         ; and forgotten
        DEC     A               ; the column: the lowest 0 bit
        LD      D,0
col:    RRCA
        JR      NC,found
        INC     D
        JR      col
found:  LD      A,D             ; key value = column * 4 + 3 - row
        ADD     A,A
        ADD     A,A
        ADD     A,E
        LD      HL,segs
        ADD     A,L
        LD      L,A
        ADC     A,H
        SUB     L
        LD      H,A
        LD      A,(HL)          ; its pattern moves in from the right
        LD      HL,shown+1
        LD      DE,shown
        LD      BC,5
        LDIR
        LD      (DE),A
        CALL    paint
        JR      scan

; Latches the six patterns of shown[] into the digits, left to right.
paint:  LD      HL,shown
        LD      C,60h           ; digit 0, bit 6 set
        LD      B,6
pt1:    LD      A,C
        OUT     (PORTC),A
        LD      A,(HL)
        OUT     (PORTB),A
        INC     HL
        LD      A,C             ; the select bit one digit to the right
        AND     3Fh
        RRCA
        OR      40h
        LD      C,A
        DJNZ    pt1
        RET

rows:   DEFB    7Eh,7Dh,7Bh,77h,6Fh,5Fh     ; port C for rows 0-5
segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h
        DEFB    0BFh,0BEh,3Fh,0A7h,8Dh,0B3h,8Fh,0Fh
shown:  DEFS    6               ; the patterns on the display
