; Shows the last hexadecimal key pressed on the rightmost digit.
PORTA   EQU     00h
PORTB   EQU     01h
PORTC   EQU     02h

        ORG     1800h
start:  LD      SP,2780h
        LD      A,7Fh           ; all digits dark
        OUT     (PORTC),A
        XOR     A
        OUT     (PORTB),A
scan:   LD      HL,rows
        LD      E,3             ; E = 3 - row
row:    LD      A,(HL)
        OUT     (PORTC),A
        LD      B,100
dwell:  IN      A,(PORTA)
        OR      0F0h            ; only columns 0-3 hold digits
        INC     A
        JR      NZ,key
        DJNZ    dwell
        INC     HL
        DEC     E
        BIT     7,E             ; past row 3
        JR      Z,row
        JR      scan

key:    DEC     A               ; the bits read again
        LD      D,0
col:    RRCA
        JR      NC,found
        INC     D
        JR      col
found:  LD      A,D             ; 4 * column + 3 - row
        ADD     A,A
        ADD     A,A
        ADD     A,E
        LD      HL,segs
        ADD     A,L
        LD      L,A
        LD      A,0
        ADC     A,H
        LD      H,A
        LD      A,41h
        OUT     (PORTC),A
        LD      A,(HL)
        OUT     (PORTB),A
        JR      scan

rows:   DEFB    7Eh,7Dh,7Bh,77h
segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h
        DEFB    0BFh,0BEh,3Fh,0A7h,8Dh,0B3h,8Fh,0Fh
