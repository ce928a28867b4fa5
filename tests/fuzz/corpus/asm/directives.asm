; directives, forward values and INCLUDEs for the assembler's fuzzer
	ORG base
start:	LD A,(IX+OFS)
	JR NZ,start
	DJNZ $
	IF 1
	 DB 1,"ab\n",'c''d',-1
	ELSE
	 DW 1234h,$
	ENDIF
	INCLUDE part
	INCLUDE again
	INCLUDE deep
	DS 3,0AAh
	LD HL,HIGH start+LOW 1234h
	AND NOT 40h
	RST 38h
	IM 1
	BIT 7,(IY-80h)
	IN F,(C)
	OUT (C),0
OFS	EQU -5
base	EQU 1800h
count	DEFL 1
count	DEFL count+1
	END start
