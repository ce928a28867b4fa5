; Wrong on purpose: 7 lands on the leftmost digit (bit 5), not the rightmost.
PORTB   EQU     01h
PORTC   EQU     02h

        ORG     1800h
start:  LD      A,7Fh
        OUT     (PORTC),A
        XOR     A
        OUT     (PORTB),A
        LD      A,60h
        OUT     (PORTC),A
        LD      A,38h
        OUT     (PORTB),A
        JR      $
