; Shows 0, waits one second (2,000,000 T-states at 2 MHz), shows 1.
PORTB   EQU     01h
PORTC   EQU     02h

        ORG     1800h
start:  LD      SP,2780h
        LD      A,7Fh           ; all digits dark
        OUT     (PORTC),A
        XOR     A
        OUT     (PORTB),A
        LD      A,41h
        OUT     (PORTC),A
        LD      A,0BDh          ; 0
        OUT     (PORTB),A
        LD      D,4             ; 4 x 19,230 rounds x 26 T-states
second: LD      BC,19230
round:  DEC     BC
        LD      A,B
        OR      C
        JR      NZ,round
        DEC     D
        JR      NZ,second
        LD      A,30h           ; 1
        OUT     (PORTB),A
        JR      $
