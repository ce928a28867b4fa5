; Wrong on purpose: the table starts at 1 squared, so every square is one place off.
        ORG     1800h
start:  LD      SP,2780h
        LD      A,(1900h)
        CALL    square
        LD      (1901h),A
        RST     38h

; A = A * A for A from 0 to 15, from the table; HL changed.
square: LD      HL,table
        ADD     A,L
        LD      L,A
        LD      A,0
        ADC     A,H
        LD      H,A
        LD      A,(HL)
        RET

table:  DEFB    1,4,9,16,25,36,49,64,81,100,121,144,169,196,225
