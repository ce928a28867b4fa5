; Wrong on purpose: no DAA, so the sum is binary.
        ORG     1800h
start:  LD      A,(1900h)
        LD      HL,1901h
        ADD     A,(HL)
        LD      (1902h),A
        LD      C,A
        LD      A,0             ; LD keeps the carry
        ADC     A,A
        LD      (1903h),A
        LD      A,C
        RST     38h             ; back to the monitor
