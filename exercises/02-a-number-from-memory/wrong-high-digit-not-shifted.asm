; Wrong on purpose: the high digit is never moved down, so both digits show the low one.
PORTB   EQU     01h
PORTC   EQU     02h

        ORG     1800h
start:  LD      SP,2780h
        LD      A,7Fh           ; all digits dark
        OUT     (PORTC),A
        XOR     A
        OUT     (PORTB),A
        LD      A,(1900h)
        LD      B,A
        LD      C,42h           ; on digit 4
        CALL    digit
        LD      A,B
        LD      C,41h           ; the low digit on digit 5
        CALL    digit
        JR      $

; Shows the low four bits of A on the digit C picks.
digit:  AND     0Fh
        LD      HL,segs
        ADD     A,L
        LD      L,A
        LD      A,0
        ADC     A,H
        LD      H,A
        LD      A,C
        OUT     (PORTC),A
        LD      A,(HL)
        OUT     (PORTB),A
        RET

segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h
        DEFB    0BFh,0BEh,3Fh,0A7h,8Dh,0B3h,8Fh,0Fh
