; intcount.asm: counts presses of the INTR key with a mode 1 interrupt
; routine, reached through the monitor's RAM vector at 27FEh, and shows the
; count in hexadecimal on the two right digits.
;
; Load intcount.hex (File, Open hex file) or type the bytes in at 1800h,
; then ADDR 1 8 0 0 GO and press INTR a few times. MONI stops it.
;
; Assemble: pasmo --hex intcount.asm intcount.hex

PORTB   EQU     01h             ; segment pattern
PORTC   EQU     02h             ; digit select; bit 6 must stay set
VECTOR  EQU     27FEh           ; the monitor sends RST 38h / IM 1 here

        ORG     1800h
start:  LD      SP,2780h
        LD      HL,count
        LD      (HL),0
        LD      HL,tick         ; our routine for mode 1 interrupts
        LD      (VECTOR),HL
        LD      A,7Ch           ; digits 0-3 together: dashes
        OUT     (PORTC),A
        LD      A,02h
        OUT     (PORTB),A
        LD      B,0FFh          ; the count shown: none yet
        IM      1
        EI

wait:   LD      A,(count)       ; nothing to do until the count changes
        CP      B
        JR      Z,wait
        LD      B,A
        RRCA                    ; high digit
        RRCA
        RRCA
        RRCA
        LD      C,42h           ; digit 4
        CALL    digit
        LD      A,B             ; low digit
        LD      C,41h           ; digit 5
        CALL    digit
        JR      wait

; Shows the low nibble of A on the digit that C selects.
digit:  AND     0Fh
        LD      HL,segs
        ADD     A,L
        LD      L,A
        ADC     A,H
        SUB     L
        LD      H,A
        LD      A,C
        OUT     (PORTC),A
        LD      A,(HL)
        OUT     (PORTB),A
        RET

; The interrupt routine: one more press.
tick:   PUSH    AF
        LD      A,(count)
        INC     A
        LD      (count),A
        POP     AF
        EI
        RETI

segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h
        DEFB    0BFh,0BEh,3Fh,0A7h,8Dh,0B3h,8Fh,0Fh
count:  DEFB    0
