	ORG 27F0h
	JP strat
start:	LD A,256
	JR far
	DS 200
far:	IM 3
	RST 9
	LD (IX+128),A
	LDA 5
	LD (BC),B
  halts
	IF later
	ENDIF
later	EQU 1/0
	DB 'ab'+1,,
	LD A,-1+2
	.ERROR stop
	IF 1
