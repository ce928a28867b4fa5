; counter.asm: counts up in hexadecimal on the four left digits of the
; Tarvo display; the two right digits stay dark.
;
; Load counter.hex (File, Open hex file) or type the bytes in at 1800h,
; then ADDR 1 8 0 0 GO. MONI stops it. The byte at 1807h sets the speed
; (the number of 65,536-instruction waits between two counts; 08h at first).
;
; Assemble: pasmo --hex counter.asm counter.hex

PORTB   EQU     01h             ; segment pattern
PORTC   EQU     02h             ; digit select; bit 6 must stay set

        ORG     1800h
start:  LD      SP,2780h
        LD      HL,0            ; the count
        LD      E,08h           ; waits per count (the byte at 1807h)

show:   LD      C,60h           ; digit 0: bit 5, and bit 6 set
        LD      A,H
        CALL    byte
        LD      A,L
        CALL    byte
        LD      A,43h           ; digits 4 and 5 together, bit 6 set
        OUT     (PORTC),A
        XOR     A               ; dark (also after MONI and GO)
        OUT     (PORTB),A
        INC     HL

        LD      D,E             ; wait D x 256 x 256 DJNZ rounds
        LD      B,0
wait:   PUSH    BC
        LD      B,0
wait1:  DJNZ    wait1
        POP     BC
        DJNZ    wait
        DEC     D
        JR      NZ,wait
        JR      show

; Shows A as two hexadecimal digits from the digit selected by C on.
byte:   PUSH    AF
        RRCA
        RRCA
        RRCA
        RRCA
        CALL    digit
        POP     AF
; Shows the low nibble of A on the digit C selects; C moves one digit right.
digit:  AND     0Fh
        PUSH    HL
        LD      HL,segs
        ADD     A,L
        LD      L,A
        ADC     A,H
        SUB     L
        LD      H,A
        LD      A,C
        OUT     (PORTC),A       ; select the digit
        LD      A,(HL)
        OUT     (PORTB),A       ; latch its pattern
        POP     HL
        LD      A,C             ; next digit: the select bit one to the right
        AND     3Fh
        RRCA
        OR      40h
        LD      C,A
        RET

; Segment bits: 01h e, 02h g, 04h f, 08h a, 10h b, 20h c, 40h point, 80h d.
segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h
        DEFB    0BFh,0BEh,3Fh,0A7h,8Dh,0B3h,8Fh,0Fh
