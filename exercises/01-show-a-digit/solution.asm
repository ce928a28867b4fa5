; Shows 7 on the rightmost digit, the others dark.
PORTB   EQU     01h             ; segment pattern
PORTC   EQU     02h             ; digit select, bit 6 set

        ORG     1800h
start:  LD      A,7Fh           ; every digit ...
        OUT     (PORTC),A
        XOR     A               ; ... dark
        OUT     (PORTB),A
        LD      A,41h           ; the rightmost digit
        OUT     (PORTC),A
        LD      A,38h           ; the pattern of 7
        OUT     (PORTB),A
        JR      $
