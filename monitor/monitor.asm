; ===========================================================================
; The Tarvo monitor: a free keypad monitor for the Tarvo Z80 trainer.
;
; Assemble with pasmo (Debian package pasmo):
;     pasmo --bin monitor.asm tarvo-rom.bin
; The image fills 0000h-07FFh exactly (unused bytes are FFh).
;
; The board as this program uses it
;   ROM 0000h-07FFh (write-protected), RAM 1800h-27FFh; 0801h-17FFh and
;   2800h-FFFFh read FFh, so a fetch there executes RST 38h.
;   8255 ports: A (00h) keypad columns in, B (01h) segment pattern out,
;   C (02h) bits 0-5: digit select (bit 5 = leftmost digit) and keypad row
;   (the highest 0 bit); bit 6: 0 arms the single-step NMI, 1 disarms it.
;   Every port C write of this program keeps bit 6 set, except the two
;   writes that arm the step NMI on purpose (ARM below).
;
; Port writes are slow on the emulator (each one repaints the display), so
; the idle loop writes rarely: a digit is latched only when its pattern
; changes, and each keypad row is read 100 times (about 500 instructions)
; before the next row is selected: under two port writes per 1,000 instructions.
;
; RAM use: 2780h-27FFh (below it, 1800h-277Fh is the user's).
;   2780h-27AFh  the monitor's stack
;   27B0h-27C9h  the saved registers of the user program (REGS, below)
;   27CAh-27F5h  the monitor's variables
;   27FEh-27FFh  IM 1 vector: the address that RST 38h and mode 1
;                interrupts of a user program go to (reset to USERBRK)
; The user's stack pointer starts at 2780h, just below.
; ===========================================================================

PORTA   EQU     00h             ; keypad columns (a pressed key reads 0)
PORTB   EQU     01h             ; segment pattern of the selected digits
PORTC   EQU     02h             ; digit select, keypad row, step NMI

IDLE    EQU     7Fh             ; port C: NMI disarmed, all digits selected, no row
ARM     EQU     3Fh             ; port C: bit 6 clear arms the step NMI
DWELL   EQU     100             ; reads of one keypad row before the next

USERRAM EQU     1800h           ; first byte of RAM
USERTOP EQU     277Fh           ; last byte of the user's RAM
USERSP  EQU     2780h           ; the user's stack pointer after a reset

GREETDW EQU     1000            ; row dwells the greeting stays (about 0.5
                                ; million instructions) unless a key comes

; --- RAM -------------------------------------------------------------------
STACKTOP EQU    27B0h           ; monitor stack 2780h-27AFh

REGS    EQU     27B0h           ; saved registers, one word each:
rAF     EQU     REGS+0          ; REG 0
rBC     EQU     REGS+2          ; REG 1
rDE     EQU     REGS+4          ; REG 2
rHL     EQU     REGS+6          ; REG 3
rAF2    EQU     REGS+8          ; REG 4  AF'
rBC2    EQU     REGS+10         ; REG 5  BC'
rDE2    EQU     REGS+12         ; REG 6  DE'
rHL2    EQU     REGS+14         ; REG 7  HL'
rIX     EQU     REGS+16         ; REG 8
rIY     EQU     REGS+18         ; REG 9
rSP     EQU     REGS+20         ; REG A
rIFF    EQU     REGS+22         ; REG B low byte: interrupts enabled (0/1)
rI      EQU     REGS+23         ; REG B high byte: I
rPC     EQU     REGS+24         ; PC key
REGSIZE EQU     26

tmpHL   EQU     27CAh           ; word: HL while the registers are saved
tmpSP   EQU     27CCh           ; word: stack pointer for the return
tramp   EQU     27CEh           ; 4 bytes: EI or DI, then RETN or JP nn
addr    EQU     27D2h           ; word: the address shown
mode    EQU     27D4h           ; what the keys act on (M_ below)
fresh   EQU     27D5h           ; 1: the next hex key starts the field anew
errflag EQU     27D6h           ; 1: "Err" shows until the next key
regidx  EQU     27D7h           ; register shown (0-15, the key's value)
fidx    EQU     27D8h           ; field entered in MOVE and RELA
fields  EQU     27D9h           ; 3 words: MOVE start, end, destination;
                                ; RELA displacement address, target
edval   EQU     27DFh           ; word: the value typed into a register
bpaddr  EQU     27E1h           ; word: breakpoint address
bpbyte  EQU     27E3h           ; the byte a planted breakpoint replaced
bpstate EQU     27E4h           ; 0 none, 1 set, 2 planted in memory
stepst  EQU     27E5h           ; 0, 1 waiting for the step NMI, 2 stepping
userrun EQU     27E6h           ; 1 while a user program runs
goafter EQU     27E7h           ; 1: a GO from the breakpoint steps first
kind    EQU     27E8h           ; why the monitor was entered (K_ below)
lastsel EQU     27E9h           ; digit latched last (6: all, or unknown)
shadow  EQU     27EAh           ; 6 bytes: the patterns latched in the digits
want    EQU     27F0h           ; 6 bytes: the patterns to show
IVEC    EQU     27FEh           ; word: the IM 1 / RST 38h vector

; modes
M_ADDR  EQU     0               ; address entry
M_DATA  EQU     1               ; data entry
M_REGW  EQU     2               ; REG pressed, waiting for a register key
M_REG   EQU     3               ; a register shown
M_REGE  EQU     4               ; a register being edited
M_MOVE  EQU     5               ; MOVE: start, end, destination
M_RELA  EQU     6               ; RELA: displacement address, target

; why the monitor was entered from a user program
K_MONI  EQU     0               ; MONI (NMI)
K_STEP  EQU     1               ; the step NMI after one instruction
K_BP    EQU     2               ; the breakpoint's RST 38h
K_RUN   EQU     3               ; RST 38h fetched outside user RAM
K_RST   EQU     4               ; the program's own RST 38h or an interrupt
                                ; through the default vector

; key codes: 00h-0Fh hexadecimal keys, then
KPLUS   EQU     10h
KMINUS  EQU     11h
KADDR   EQU     12h
KDATA   EQU     13h
KGO     EQU     14h
KSTEP   EQU     15h
KREG    EQU     16h
KPC     EQU     17h
KINS    EQU     18h
KDEL    EQU     19h
KMOVE   EQU     1Ah
KRELA   EQU     1Bh
KSBR    EQU     1Ch
KCBR    EQU     1Dh
KNONE   EQU     0FFh

; ===========================================================================
        ORG     0000h
; RESET. A is FFh after a reset, so this first instruction disarms a step
; NMI that a RESET may have interrupted, before the first countdown check.
reset:  OUT     (PORTC),A
        LD      SP,STACKTOP
        JP      cold

        DEFS    0038h-$,0FFh    ; RST 08h-30h run into RST 38h: "ran away"

; RST 38h: a breakpoint, a fetch from unmapped memory (FFh), the program's
; own RST 38h, or a mode 1 interrupt.
        JP      rst38

        DEFS    0066h-$,0FFh

; ---------------------------------------------------------------------------
; NMI: MONI, or the single-step NMI.
; The step NMI is taken right after the first instruction of an idle pass,
; so the first instruction here is the 2nd of a pass. The comments (tN pM)
; count the instructions of the step path from here: tN is the N-th after
; the NMI, pM its place in its pass of ten.
nmi:    PUSH    AF              ; t0  p2
        LD      A,(stepst)      ; t1  p3
        OR      A               ; t2  p4
        JP      NZ,nmistep      ; t3  p5
        LD      A,(userrun)     ; MONI
        OR      A
        JR      Z,nmimon
        LD      A,K_MONI        ; MONI stops the user program
        LD      (kind),A
        POP     AF
        JP      save
nmimon: LD      SP,STACKTOP     ; MONI in the monitor: back to address mode
        XOR     A
        LD      (stepst),A
        LD      (errflag),A
        LD      (mode),A
        INC     A
        LD      (fresh),A
        CALL    dispinit
        JP      main

nmistep:
        DEC     A               ; t4  p6
        JP      NZ,stepdone     ; t5  p7  state 2: the step has ended
; State 1: the NMI of the STEP key, armed at an unknown place of its pass.
; From here on every instruction's place in its pass is known.
        LD      A,IDLE          ; t6  p8
        OUT     (PORTC),A       ; t7  p9  disarm: the next pass reloads
        LD      SP,STACKTOP     ; t8  p10 the countdown with 5
        LD      A,2             ; t9  p1  (the check after this one)
        LD      (stepst),A      ; t10 p2
        LD      A,1             ; t11 p3
        LD      (userrun),A     ; t12 p4
        LD      HL,(rSP)        ; t13 p5  the user's PC goes on the
        DEC     HL              ; t14 p6  user's stack, for the RETN
        LD      DE,(rPC)        ; t15 p7
        LD      (HL),D          ; t16 p8
        DEC     HL              ; t17 p9
        LD      (HL),E          ; t18 p10
        LD      (tmpSP),HL      ; t19 p1
        LD      HL,45EDh        ; t20 p2  RETN
        LD      (tramp+1),HL    ; t21 p3
        CALL    setiff          ; t22 p4  and ten more: t23-t32
        LD      A,ARM           ; t33 p5
        OUT     (PORTC),A       ; t34 p6  armed by the 6th instruction of
                                ;         a pass: the NMI comes 61 - 6 = 55
                                ;         instructions later, after t89
        LD      B,35            ; t35 p7
        DJNZ    $               ; t36-t70 (35 times)
; Restores the user's registers and enters the program through the
; trampoline: 18 instructions (t71-t88 in a step, whose RETN is t88; the
; user's instruction is then t89 and the NMI follows it).
restore:
        LD      SP,rAF2         ; 1   the primed set first
        POP     AF              ; 2
        POP     BC              ; 3
        POP     DE              ; 4
        POP     HL              ; 5
        POP     IX              ; 6
        POP     IY              ; 7
        EX      AF,AF'          ; 8
        EXX                     ; 9
        LD      SP,REGS         ; 10
        POP     AF              ; 11
        POP     BC              ; 12
        POP     DE              ; 13
        POP     HL              ; 14
        LD      SP,(tmpSP)      ; 15
        JP      tramp           ; 16  EI or DI (17), RETN or JP (18)

; The step NMI after the user's instruction: save it all.
stepdone:
        LD      A,K_STEP
        LD      (kind),A
        POP     AF
        JP      save

; Loads I and puts EI or DI (as the saved interrupt state says) at the
; start of the trampoline. Always ten instructions with the RET.
setiff: LD      A,(rI)
        LD      I,A
        LD      A,(rIFF)
        AND     1
        RLCA
        RLCA
        RLCA
        ADD     A,0F3h          ; F3h DI, FBh EI
        LD      (tramp),A
        RET

; ---------------------------------------------------------------------------
; RST 38h. The return address less one is the address of the FFh byte
; (for an interrupt: the last byte of the instruction before it).
rst38:  PUSH    HL
        PUSH    AF
        PUSH    DE
        LD      HL,6
        ADD     HL,SP           ; HL -> the return address
        LD      E,(HL)
        INC     HL
        LD      D,(HL)
        DEC     DE
        LD      A,(bpstate)     ; the planted breakpoint?
        CP      2
        JR      NZ,r38nbp
        LD      A,(bpaddr)
        CP      E
        JR      NZ,r38nbp
        LD      A,(bpaddr+1)
        CP      D
        LD      A,K_BP
        JR      Z,r38stop
r38nbp: LD      A,D             ; in RAM (0800h, 1800h-27FFh): the user's
        CP      18h             ; own RST 38h or an interrupt
        JR      C,r38low
        CP      28h
        JR      C,r38vec
        JR      r38run
r38low: CP      08h
        JR      NZ,r38run
        LD      A,E
        OR      A
        JR      Z,r38vec
r38run: LD      A,K_RUN         ; ran into unmapped memory or ROM
r38stop:
        LD      (kind),A
        LD      (HL),D          ; the saved PC: the FFh byte's address
        DEC     HL
        LD      (HL),E
        POP     DE
        POP     AF
        POP     HL
        JP      save
r38vec: POP     DE              ; on to the vector, all registers intact
        POP     AF
        LD      HL,(IVEC)
        EX      (SP),HL
        RET

; The vector's default: stop the program and show where it is.
userbrk:
        PUSH    AF
        LD      A,K_RST
        LD      (kind),A
        POP     AF
;       JP      save            ; (falls through)

; ---------------------------------------------------------------------------
; Saves the user's registers. On entry the stack holds the user's PC on top
; and every register is the user's; kind says why.
save:   LD      (tmpHL),HL
        POP     HL
        LD      (rPC),HL
        LD      (rSP),SP
        LD      SP,rSP          ; the pushes fill the frame downwards
        PUSH    IY
        PUSH    IX
        EX      AF,AF'
        EXX
        PUSH    HL
        PUSH    DE
        PUSH    BC
        PUSH    AF
        EXX
        EX      AF,AF'
        LD      HL,(tmpHL)
        PUSH    HL
        PUSH    DE
        PUSH    BC
        PUSH    AF
        LD      SP,STACKTOP
        LD      A,I             ; P/V = IFF2: the program's interrupt state
        LD      (rI),A
        LD      A,0
        JP      PO,sav1
        INC     A
sav1:   LD      (rIFF),A
        DI
        LD      A,IDLE          ; the step NMI is still armed after a step
        OUT     (PORTC),A
        XOR     A
        LD      (stepst),A
        LD      (userrun),A
        CALL    unplant
        LD      A,(kind)        ; a GO from the breakpoint: its first
        CP      K_STEP          ; instruction has run, now plant it and
        JR      NZ,showpc       ; run on (back at the breakpoint already,
        LD      A,(goafter)     ; the program hits it at once)
        OR      A
        JR      Z,showpc
        XOR     A
        LD      (goafter),A
        JP      goplant
showpc: LD      HL,(rPC)        ; address mode where the program stopped
        LD      (addr),HL
        XOR     A
        LD      (mode),A
        LD      (errflag),A
        INC     A
        LD      (fresh),A
        CALL    dispinit
        JP      main

; Takes a planted breakpoint out of memory again.
unplant:
        LD      A,(bpstate)
        CP      2
        RET     NZ
        LD      HL,(bpaddr)
        LD      A,(bpbyte)
        LD      (HL),A
        LD      A,1
        LD      (bpstate),A
        RET

; ---------------------------------------------------------------------------
; Start after RESET: the monitor's state and the saved registers take their
; defaults; the rest of RAM keeps its contents.
; The key matrix keeps presses through a reset: those clicked while a
; program ignored the keypad are still pending. Each row is read until it
; reports none, so that RESET always ends in the greeting, whatever was
; clicked before, and no old press edits memory or starts a program.
cold:   LD      HL,rowsel
        LD      B,6
drain:  LD      A,(HL)
        OUT     (PORTC),A
drain1: IN      A,(PORTA)
        OR      0C0h            ; bits 6 and 7 are no keys
        INC     A
        JR      NZ,drain1       ; a key was reported: read the row again
        INC     HL
        DJNZ    drain
        XOR     A
        LD      (stepst),A
        LD      (userrun),A
        LD      (goafter),A
        LD      (errflag),A
        CALL    unplant         ; a breakpoint planted when RESET came
        XOR     A
        LD      (bpstate),A
        LD      HL,REGS
        LD      B,REGSIZE
cold1:  LD      (HL),A
        INC     HL
        DJNZ    cold1
        LD      (mode),A
        LD      HL,USERRAM
        LD      (rPC),HL
        LD      (addr),HL
        LD      HL,USERSP
        LD      (rSP),HL
        LD      HL,userbrk
        LD      (IVEC),HL
        LD      A,1
        LD      (fresh),A
        CALL    dispinit
        LD      HL,tgreet
        CALL    showtxt
        LD      DE,GREETDW
        CALL    waitkey
        JR      C,main          ; no key: address mode at 1800h
        JR      mainkey         ; a key ends the greeting and acts

; ---------------------------------------------------------------------------
; The main loop: show, wait for a key, act on it.
main:   LD      SP,STACKTOP
        CALL    render          ; (latches only digits that change)
        LD      DE,6            ; after one round of the keypad show again:
        CALL    waitkey         ; a file load may have changed memory
        JR      C,main
mainkey:
        CALL    handle
        JR      main

; Acts on the key in A.
handle: LD      C,A
        XOR     A
        LD      (errflag),A     ; any key clears "Err", then acts
        LD      A,C
        CP      10h
        JP      C,hexkey
        SUB     10h
        ADD     A,A
        LD      E,A
        LD      D,0
        LD      HL,fkeys
        ADD     HL,DE
        LD      A,(HL)
        INC     HL
        LD      H,(HL)
        LD      L,A
        LD      A,(mode)        ; every key routine gets the mode in A
        JP      (HL)

fkeys:  DEFW    kplus,kminus,kaddr,kdata,kgo,kstep,kreg,kpc
        DEFW    kins,kdel,kmove,krela,ksbr,kcbr

error:  LD      A,1
        LD      (errflag),A
        RET

errtoaddr:                      ; an error of MOVE or RELA ends the command
        XOR     A
        LD      (mode),A
        INC     A
        LD      (fresh),A
        JR      error

; + and -: the next or previous address, register or field.
kplus:  LD      C,1
        JR      kstepf
kminus: LD      C,-1
kstepf: CP      M_DATA+1
        JR      NC,ks1
        LD      HL,(addr)       ; address and data mode
        LD      A,C
        DEC     A
        JR      Z,ks0
        DEC     HL
        DEC     HL
ks0:    INC     HL
        LD      (addr),HL
        JR      setfresh
ks1:    CP      M_REGW
        JP      Z,error
        CP      M_MOVE
        JR      NC,ks2
        LD      A,(regidx)      ; register modes
        ADD     A,C
        AND     0Fh
        LD      (regidx),A
        JR      setfresh
ks2:    LD      B,3             ; MOVE: three fields, RELA: two
        CP      M_MOVE
        JR      Z,ks3
        DEC     B
ks3:    LD      A,(fidx)
        ADD     A,C
        JP      P,ks4
        LD      A,B             ; below the first: the last
        DEC     A
ks4:    CP      B
        JR      C,ks5
        XOR     A               ; beyond the last: the first
ks5:    LD      (fidx),A
setfresh:
        LD      A,1
        LD      (fresh),A
        RET

kaddr:  LD      A,M_ADDR
setmode:
        LD      (mode),A
        JR      setfresh

kdata:  CP      M_DATA+1
        LD      A,M_DATA
        JR      C,setmode
        LD      A,(mode)
        CP      M_REG
        JP      C,error
        CP      M_MOVE
        JP      NC,error
        LD      A,M_REGE
        JR      setmode

kreg:   LD      A,M_REGW
        JR      setmode

kpc:    LD      HL,(rPC)
        LD      (addr),HL
        JR      kaddr

kcbr:   XOR     A               ; never planted while the monitor runs
        LD      (bpstate),A
        RET

ksbr:   CP      M_DATA+1
        JP      NC,error
        LD      HL,(addr)
        CALL    bpok
        JP      C,error
        LD      (bpaddr),HL
        LD      A,1
        LD      (bpstate),A
        RET

; Carry clear if HL is a fit place for a breakpoint: 0800h or user RAM.
bpok:   LD      A,H
        CP      08h
        JR      NZ,inuser
        LD      A,L
        OR      A
        RET     Z
        SCF
        RET

; Carry clear if HL lies in the user's RAM, 1800h-277Fh.
inuser: LD      A,H
        CP      18h
        RET     C
        CP      27h
        JR      C,inu1
        SCF
        RET     NZ
        LD      A,L
        CP      80h
        CCF
        RET
inu1:   OR      A
        RET

kmove:  LD      A,M_MOVE
        JR      kfields
krela:  LD      A,M_RELA
kfields:
        LD      (mode),A
        XOR     A
        LD      (fidx),A
        LD      HL,(addr)
        LD      (fields),HL
        LD      (fields+2),HL
        LD      (fields+4),HL
        JP      setfresh

; INS: everything from the address to the end of user RAM moves up one
; byte (the last byte is lost); 00h goes in, and data mode shows it.
kins:   CP      M_DATA+1
        JP      NC,error
        LD      HL,(addr)
        CALL    inuser
        JP      C,error
        EX      DE,HL
        LD      HL,USERTOP
        OR      A
        SBC     HL,DE
        JR      Z,kins1
        LD      B,H
        LD      C,L
        LD      HL,USERTOP-1
        LD      DE,USERTOP
        LDDR
kins1:  LD      HL,(addr)
        LD      (HL),0
        LD      A,M_DATA
        JP      setmode

; DEL: everything above the address moves down one byte; the last byte of
; user RAM becomes 00h.
kdel:   CP      M_DATA+1
        JP      NC,error
        LD      HL,(addr)
        CALL    inuser
        JP      C,error
        EX      DE,HL
        LD      HL,USERTOP
        OR      A
        SBC     HL,DE
        JR      Z,kdel1
        LD      B,H
        LD      C,L
        LD      H,D
        LD      L,E
        INC     HL
        LDIR
kdel1:  XOR     A
        LD      (USERTOP),A
        JP      setfresh

; GO: MOVE and RELA carry out their command; elsewhere the user program
; runs from the address shown.
kgo:    CP      M_MOVE
        JP      Z,domove
        CP      M_RELA
        JP      Z,dorela
        CP      M_REGW
        JP      Z,error
        LD      HL,(addr)
        LD      (rPC),HL
        LD      A,(bpstate)     ; starting on the breakpoint: step its
        CP      1               ; instruction first, then plant it
        JR      NZ,gorun
        LD      DE,(bpaddr)
        OR      A
        SBC     HL,DE
        JR      NZ,goplant
        LD      A,1
        LD      (goafter),A
        JR      steppc
goplant:
        LD      HL,(bpaddr)
        LD      A,(HL)
        LD      (bpbyte),A
        LD      (HL),0FFh       ; RST 38h
        LD      A,2
        LD      (bpstate),A
gorun:  LD      HL,(rPC)        ; trampoline: EI or DI, JP pc
        LD      (tramp+2),HL
        LD      A,0C3h
        LD      (tramp+1),A
        LD      HL,(rSP)
        LD      (tmpSP),HL
        CALL    setiff
        LD      A,1
        LD      (userrun),A
        JP      restore

; STEP: one instruction of the user program at the address shown.
kstep:  CP      M_REGW
        JP      Z,error
        CP      M_MOVE
        JP      NC,error
        LD      HL,(addr)
        LD      (rPC),HL
        XOR     A
        LD      (goafter),A
steppc: LD      A,1             ; wait for the step NMI (NMISTEP above)
        LD      (stepst),A
        LD      A,ARM
        OUT     (PORTC),A
        JR      $

; MOVE: start, end and destination in the three fields. Copies so that an
; overlap does no harm; the monitor's RAM may not be written.
domove: LD      HL,(fields+2)
        LD      DE,(fields)
        OR      A
        SBC     HL,DE           ; end - start
        JP      C,errtoaddr
        LD      B,H
        LD      C,L             ; BC = length - 1
        LD      HL,(fields+4)
        ADD     HL,BC           ; HL = last destination byte
        JP      C,errtoaddr     ; beyond FFFFh
        INC     BC              ; BC = length (0: all 64 KiB)
        LD      A,B
        OR      C
        JP      Z,errtoaddr
        LD      DE,2780h        ; the monitor's RAM, 2780h-27FFh
        OR      A
        SBC     HL,DE
        JR      C,dm1           ; ends below it
        LD      HL,(fields+4)
        LD      DE,2800h
        OR      A
        SBC     HL,DE
        JP      C,errtoaddr     ; starts below its end: overlaps
dm1:    LD      HL,(fields+4)
        LD      DE,(fields)
        OR      A
        SBC     HL,DE
        JR      Z,dm3           ; onto itself
        JR      C,dm2           ; downwards: from the first byte up
        LD      HL,(fields+2)   ; upwards: from the last byte down
        LD      DE,(fields+4)
        EX      DE,HL
        ADD     HL,BC
        DEC     HL
        EX      DE,HL
        LDDR
        JR      dm3
dm2:    LD      HL,(fields)
        LD      DE,(fields+4)
        LDIR
dm3:    LD      HL,(fields+4)
        JR      doneaddr

; RELA: the displacement byte at the first field's address is set so that
; a relative jump reaches the target in the second field.
dorela: LD      HL,(fields)
        INC     HL
        EX      DE,HL           ; DE = address after the displacement
        LD      HL,(fields+2)
        OR      A
        SBC     HL,DE           ; HL = displacement
        LD      A,L
        RLA                     ; carry = sign of the low byte
        LD      A,H
        ADC     A,0             ; 0 when H is the sign extension of L
        JP      NZ,errtoaddr
        LD      A,L
        LD      HL,(fields)
        LD      (HL),A
doneaddr:
        LD      (addr),HL
        LD      A,M_ADDR
        JP      setmode

; Hexadecimal keys (value in C).
hexkey: LD      A,(mode)
        OR      A
        JR      NZ,hk1
        LD      HL,(addr)       ; address: shift the digit in
        CALL    shiftin
        LD      (addr),HL
        RET
hk1:    DEC     A
        JR      NZ,hk2
        LD      HL,(addr)       ; data: into memory, through the CPU
        LD      A,(fresh)
        OR      A
        LD      A,0
        JR      NZ,hk11
        LD      A,(HL)          ; what memory holds, shifted left
        ADD     A,A
        ADD     A,A
        ADD     A,A
        ADD     A,A
hk11:   OR      C
        LD      (HL),A
        XOR     A
        LD      (fresh),A
        RET
hk2:    DEC     A
        JR      Z,hk3
        DEC     A
        JR      NZ,hk4
hk3:    LD      A,C             ; REG and a register shown: choose it
        LD      (regidx),A
        LD      A,M_REG
        JP      setmode
hk4:    DEC     A
        JR      NZ,hk6
        LD      A,(regidx)      ; edit a register
        CP      12
        JR      C,hk5
        LD      A,C             ; flags: the keys 0 and 1 only
        CP      2
        JP      NC,error
        LD      HL,(edval)
        LD      A,(fresh)
        OR      A
        JR      Z,hk41
        LD      L,0
hk41:   LD      A,L
        ADD     A,A
        OR      C
        AND     0Fh
        LD      L,A
        JR      hk51
hk5:    LD      HL,(edval)
        CALL    shiftin
hk51:   LD      (edval),HL
        XOR     A
        LD      (fresh),A
        LD      A,(regidx)
        JP      setreg
hk6:    LD      A,(fidx)        ; MOVE and RELA fields
        ADD     A,A
        LD      E,A
        LD      D,0
        LD      IX,fields
        ADD     IX,DE
        LD      L,(IX+0)
        LD      H,(IX+1)
        CALL    shiftin
        LD      (IX+0),L
        LD      (IX+1),H
        RET

; HL = C when the field is fresh (and clears fresh), else HL * 16 + C.
shiftin:
        LD      A,(fresh)
        OR      A
        JR      Z,sh1
        LD      HL,0
        XOR     A
        LD      (fresh),A
sh1:    ADD     HL,HL
        ADD     HL,HL
        ADD     HL,HL
        ADD     HL,HL
        LD      A,L
        OR      C
        LD      L,A
        RET

; Register A (0-15) into HL: a word, or a nibble of flags for 12-15.
getreg: CP      12
        JR      NC,gr1
        ADD     A,A
        LD      E,A
        LD      D,0
        LD      HL,REGS
        ADD     HL,DE
        LD      A,(HL)
        INC     HL
        LD      H,(HL)
        LD      L,A
        RET
gr1:    CALL    flagptr         ; HL -> F or F', carry: the high nibble
        LD      A,(HL)
        JR      NC,gr2
        RRCA
        RRCA
        RRCA
        RRCA
gr2:    AND     0Fh
        LD      L,A
        LD      H,0
        RET

; HL into register A (0-15). For REG B only bit 0 of the low byte counts.
setreg: CP      12
        JR      NC,sr2
        CP      11
        JR      NZ,sr1
        LD      B,A
        LD      A,L
        AND     1
        LD      L,A
        LD      A,B
sr1:    ADD     A,A
        LD      E,A
        LD      D,0
        EX      DE,HL
        LD      BC,REGS
        ADD     HL,BC
        LD      (HL),E
        INC     HL
        LD      (HL),D
        RET
sr2:    LD      B,L             ; the new nibble
        CALL    flagptr
        LD      A,(HL)
        JR      NC,sr3
        AND     0Fh             ; high nibble: S Z - H
        LD      C,A
        LD      A,B
        ADD     A,A
        ADD     A,A
        ADD     A,A
        ADD     A,A
        OR      C
        LD      (HL),A
        RET
sr3:    AND     0F0h            ; low nibble: - P/V N C
        OR      B
        LD      (HL),A
        RET

; For register A = 12-15: HL -> F (12, 13) or F' (14, 15); carry set for
; the high nibble (12, 14).
flagptr:
        SUB     12
        LD      HL,rAF
        CP      2
        JR      C,fp1
        LD      HL,rAF2
        SUB     2
fp1:    CP      1               ; carry when 0: the high nibble
        RET

; ---------------------------------------------------------------------------
; The display. render fills want[] from the state, flush latches the digits
; that differ from what they show.
render: LD      A,(errflag)
        OR      A
        LD      HL,terr
        JP      NZ,showtxt
        LD      A,(mode)
        CP      M_REGW
        JR      C,rdaddr
        LD      HL,tregw
        JP      Z,showtxt
        CP      M_MOVE
        JR      C,rdreg
        LD      A,(fidx)        ; MOVE or RELA: the field and its name
        ADD     A,A
        LD      E,A
        LD      D,0
        LD      HL,fields
        ADD     HL,DE
        LD      A,(HL)
        INC     HL
        LD      H,(HL)
        LD      L,A
        CALL    hex4
        LD      A,(fidx)
        ADD     A,A
        LD      E,A
        LD      D,0
        LD      A,(mode)
        CP      M_MOVE
        LD      HL,tmove
        JR      Z,rdf1
        LD      HL,trela
rdf1:   ADD     HL,DE
        CALL    name2
        JR      rddots4

rdaddr: LD      HL,(addr)       ; address and data: 4 + 2 digits
        CALL    hex4
        LD      HL,(addr)
        LD      A,(HL)
        CALL    hex2
        LD      A,(mode)
        OR      A
        JR      Z,rddots4
        LD      HL,want+4       ; data: points on the two right digits
        LD      B,2
        JR      rddots
rddots4:
        LD      HL,want         ; points on the four left digits
        LD      B,4
rddots: SET     6,(HL)
        INC     HL
        DJNZ    rddots
        JR      flush

rdreg:  LD      A,(regidx)      ; a register: value and name
        CALL    getreg
        LD      A,(regidx)
        CP      12
        JR      NC,rdr1
        CALL    hex4
        JR      rdr3
rdr1:   LD      A,L             ; flags: four binary digits
        RLCA
        RLCA
        RLCA
        RLCA
        LD      B,4
        LD      DE,want
rdr2:   RLCA
        LD      C,30h           ; 1
        JR      C,rdr21
        LD      C,0BDh          ; 0
rdr21:  EX      DE,HL
        LD      (HL),C
        INC     HL
        EX      DE,HL
        DJNZ    rdr2
rdr3:   LD      A,(regidx)
        ADD     A,A
        LD      E,A
        LD      D,0
        LD      HL,tregs
        ADD     HL,DE
        CALL    name2
        LD      A,(mode)
        CP      M_REGE
        JR      Z,rddots4
        JR      flush

; Two patterns from HL to want[4], want[5].
name2:  LD      A,(HL)
        LD      (want+4),A
        INC     HL
        LD      A,(HL)
        LD      (want+5),A
        RET

; Six patterns from HL to want[], then flush.
showtxt:
        LD      DE,want
        LD      BC,6
        LDIR
;       JR      flush           ; (falls through)

; Latches every digit whose pattern changes, two port writes each.
flush:  LD      C,0
        LD      B,0
fl1:    LD      HL,want
        ADD     HL,BC
        LD      A,(HL)
        LD      HL,shadow
        ADD     HL,BC
        CP      (HL)
        JR      Z,fl3
        OR      A
        JR      NZ,fl2
        LD      A,(lastsel)     ; the board ignores a blank pattern for
        CP      C               ; the digit latched last: latch another
        JR      NZ,fl12         ; digit (unchanged) first
        PUSH    BC
        LD      A,C
        INC     A
        CP      6
        JR      C,fl11
        XOR     A
fl11:   LD      C,A
        LD      HL,shadow
        ADD     HL,BC
        LD      A,(HL)
        CALL    latch
        POP     BC
fl12:   XOR     A
fl2:    CALL    latch
fl3:    INC     C
        LD      A,C
        CP      6
        JR      C,fl1
        RET

; Pattern A into digit C (B = 0).
latch:  PUSH    AF
        LD      HL,digsel
        ADD     HL,BC
        LD      A,(HL)
        OUT     (PORTC),A
        POP     AF
        OUT     (PORTB),A
        LD      HL,shadow
        ADD     HL,BC
        LD      (HL),A
        LD      A,C
        LD      (lastsel),A
        RET

; Puts the digits into a known state (a user program may have written
; them): all six show a dash until flush writes them.
dispinit:
        LD      A,IDLE
        OUT     (PORTC),A
        LD      A,02h
        OUT     (PORTB),A
        LD      HL,shadow
        LD      B,6
di1:    LD      (HL),A
        INC     HL
        DJNZ    di1
        LD      A,6
        LD      (lastsel),A
        RET

; HL as four hexadecimal digits into want[0..3]; DE ends at want+4.
hex4:   LD      DE,want
        LD      A,H
        CALL    hex2d
        LD      A,L
        JR      hex2d
; A as two hexadecimal digits into want[4..5].
hex2:   LD      DE,want+4
hex2d:  PUSH    AF
        RRCA
        RRCA
        RRCA
        RRCA
        CALL    hex1
        POP     AF
hex1:   AND     0Fh
        PUSH    HL
        LD      HL,segs
        ADD     A,L
        LD      L,A
        ADC     A,H
        SUB     L
        LD      H,A
        LD      A,(HL)
        LD      (DE),A
        INC     DE
        POP     HL
        RET

; ---------------------------------------------------------------------------
; Waits for a key. DE: row dwells to wait at most, 0 for ever.
; Returns carry clear and the key code in A, or carry set after DE dwells.
; Each row is selected once and read DWELL times (five instructions a read).
waitkey:
        LD      C,0
wk1:    LD      HL,rowsel
        LD      B,0
        ADD     HL,BC
        LD      A,(HL)
        OUT     (PORTC),A
        LD      B,DWELL
wk2:    IN      A,(PORTA)
        OR      0C0h            ; bits 6 and 7 are no keys
        INC     A
        JR      NZ,wk4
        DJNZ    wk2
        INC     C
        LD      A,C
        CP      6
        JR      C,wk3
        LD      C,0
wk3:    LD      A,D
        OR      E
        JR      Z,wk1
        DEC     DE
        LD      A,D
        OR      E
        JR      NZ,wk1
        SCF
        RET
wk4:    DEC     A               ; the column: the lowest 0 bit
        LD      B,0
wk5:    RRCA
        JR      NC,wk6
        INC     B
        JR      wk5
wk6:    LD      A,C             ; row * 6 + column
        ADD     A,A
        ADD     A,C
        ADD     A,A
        ADD     A,B
        LD      C,A
        LD      B,0
        LD      HL,keytab
        ADD     HL,BC
        LD      A,(HL)
        CP      KNONE
        JR      Z,waitkey
        OR      A
        RET

; ---------------------------------------------------------------------------
; Tables.
rowsel: DEFB    7Eh,7Dh,7Bh,77h,6Fh,5Fh         ; port C for rows 0-5
digsel: DEFB    60h,50h,48h,44h,42h,41h         ; port C for digits 0-5

; Key codes by row * 6 + column.
keytab: DEFB    03h,07h,0Bh,0Fh,KNONE,KNONE
        DEFB    02h,06h,0Ah,0Eh,KNONE,KNONE
        DEFB    01h,05h,09h,0Dh,KSTEP,KNONE
        DEFB    00h,04h,08h,0Ch,KGO,KNONE
        DEFB    KCBR,KPC,KREG,KADDR,KDEL,KRELA
        DEFB    KSBR,KMINUS,KDATA,KPLUS,KINS,KMOVE

; Segment bits: 01h e, 02h g, 04h f, 08h a, 10h b, 20h c, 40h point, 80h d.
segs:   DEFB    0BDh,30h,9Bh,0BAh,36h,0AEh,0AFh,38h     ; 0-7
        DEFB    0BFh,0BEh,3Fh,0A7h,8Dh,0B3h,8Fh,0Fh     ; 8-F

tgreet: DEFB    87h,3Fh,03h,0A1h,0A3h,00h       ; "tAruo "
terr:   DEFB    8Fh,03h,03h,00h,00h,00h         ; "Err   "
tregw:  DEFB    03h,8Fh,0ADh,00h,00h,00h        ; "rEG   "

; Register names; a point marks the primed set.
tregs:  DEFB    3Fh,0Fh, 0A7h,8Dh, 0B3h,8Fh, 37h,85h    ; AF bC dE HL
        DEFB    3Fh,4Fh, 0A7h,0CDh, 0B3h,0CFh, 37h,0C5h ; AF. bC. dE. HL.
        DEFB    30h,37h, 30h,0B6h, 0AEh,1Fh, 30h,0Fh    ; 1H 1y SP 1F
        DEFB    0Fh,37h, 0Fh,85h, 0Fh,77h, 0Fh,0C5h     ; FH FL FH. FL.

; Field names.
tmove:  DEFB    0AEh,3Fh, 8Fh,3Fh, 0B3h,3Fh     ; SA EA dA
trela:  DEFB    0AEh,3Fh, 0B3h,3Fh              ; SA dA

; ---------------------------------------------------------------------------
        IF      $ > 0800h
        .ERROR  The monitor does not fit into 0000h-07FFh
        ENDIF
romend:
        DEFS    0800h-$,0FFh
