; Counts presses of INTR at 1900h with a mode 1 interrupt routine.
VECTOR  EQU     27FEh           ; the monitor passes RST 38h / IM 1 on to here

        ORG     1800h
start:  LD      SP,2780h
        XOR     A
        LD      (1900h),A
        LD      HL,tick
        LD      (VECTOR),HL
        IM      1
        EI
loop:   JR      loop

tick:   PUSH    AF
        LD      A,(1900h)
        INC     A
        LD      (1900h),A
        POP     AF
        EI
        RETI
