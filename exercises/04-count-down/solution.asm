; Counts down from 9 to 0 on the rightmost digit.
PORTB   EQU     01h
PORTC   EQU     02h

        ORG     1800h
start:  LD      SP,2780h
        LD      A,7Fh           ; all digits dark
        OUT     (PORTC),A
        XOR     A
        OUT     (PORTB),A
        LD      A,41h           ; from now on the rightmost digit
        OUT     (PORTC),A
        LD      HL,segs+9       ; the pattern of 9
        LD      C,10            ; numbers to show
next:   LD      A,(HL)
        OUT     (PORTB),A
        CALL    wait
        DEC     HL
        DEC     C
        JR      NZ,next
        JR      $

wait:   LD      D,8
w1:     LD      B,0
w2:     DJNZ    w2
        DEC     D
        JR      NZ,w1
        RET

segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h,0BFh,0BEh
