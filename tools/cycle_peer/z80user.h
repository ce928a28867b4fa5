/* z80emu's core reaches memory and ports through the macros named here, as
 * its documentation asks of the program around it. compare_cycles.sh puts
 * this file beside a copy of the peer's sources in the build folder, in place
 * of the peer's own example, so that the core runs on the comparison's
 * machine (peer_machine.h). Every macro sees the void pointer `context`. */
#ifndef TARVO_PEER_Z80USER_H
#define TARVO_PEER_Z80USER_H

#include "peer_machine.h"

#define TARVO_PEER ((PeerMachine *)context)

#define Z80_READ_BYTE(address, x) \
    { (x) = TARVO_PEER->memory[(address)&0xFFFF]; }
#define Z80_READ_WORD(address, x) \
    { (x) = TARVO_PEER->memory[(address)&0xFFFF] | (TARVO_PEER->memory[((address) + 1) & 0xFFFF] << 8); }
#define Z80_FETCH_BYTE(address, x) Z80_READ_BYTE((address), (x))
#define Z80_FETCH_WORD(address, x) Z80_READ_WORD((address), (x))
#define Z80_WRITE_BYTE(address, x) PeerWrite(TARVO_PEER, (unsigned)(address), (unsigned)(x))
#define Z80_WRITE_WORD(address, x) \
    { \
        PeerWrite(TARVO_PEER, (unsigned)(address), (unsigned)(x)); \
        PeerWrite(TARVO_PEER, (unsigned)(address) + 1, (unsigned)(x) >> 8); \
    }
#define Z80_READ_WORD_INTERRUPT(address, x) Z80_READ_WORD((address), (x))
#define Z80_WRITE_WORD_INTERRUPT(address, x) Z80_WRITE_WORD((address), (x))
#define Z80_INPUT_BYTE(port, x) \
    { (x) = PeerPortIn((unsigned)(port)); }
#define Z80_OUTPUT_BYTE(port, x) \
    { \
        (void)(port); \
        (void)(x); \
    }

#endif
