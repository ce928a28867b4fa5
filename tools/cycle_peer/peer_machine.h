/* The machine that the cycle comparison (compare_cycles.cpp) runs each core
 * on: 64 KiB of RAM, a log of the addresses written since the log was
 * cleared, and ports that read back a fixed function of their number. Plain
 * C, for the peer's core reaches it through the macros of z80user.h. */
#ifndef TARVO_PEER_MACHINE_H
#define TARVO_PEER_MACHINE_H

#define PEER_WRITE_LOG 65536

typedef struct PeerMachine {
    unsigned char memory[65536];
    unsigned short written[PEER_WRITE_LOG];
    unsigned long writes; /* beyond PEER_WRITE_LOG, every address counts as written */
} PeerMachine;

static void PeerWrite(PeerMachine *machine, unsigned address, unsigned value) {
    address &= 0xFFFFu;
    machine->memory[address] = (unsigned char)value;
    if (machine->writes < PEER_WRITE_LOG) machine->written[machine->writes] = (unsigned short)address;
    machine->writes++;
}

static unsigned char PeerPortIn(unsigned port) { return (unsigned char)((port & 0xFFu) * 73u + 41u); }

#endif
