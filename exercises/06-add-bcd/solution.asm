; Adds the BCD bytes at 1900h and 1901h: sum at 1902h, carry at 1903h.
        ORG     1800h
start:  LD      A,(1900h)
        LD      HL,1901h
        ADD     A,(HL)
        DAA                     ; the binary sum as BCD, carry past 99
        LD      (1902h),A
        LD      C,A
        LD      A,0             ; LD keeps the carry
        ADC     A,A
        LD      (1903h),A
        LD      A,C
        RST     38h             ; back to the monitor
