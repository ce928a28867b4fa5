// Why a load or a save failed, for callers that can say more than the window's one message: the
// headless runner names the system's reason and the bad line of a HEX file.
#pragma once

struct FileError {
    // The errno value of the system call that failed (ENOENT, EACCES, ...); 0 when none did, as for
    // an invalid HEX line or a write that came up short without the system naming a reason.
    int systemError = 0;
    // HEX loads: the line, counted from 1, that holds the invalid record; 0 otherwise.
    unsigned long line = 0;
    // HEX loads: what is wrong with that line, for example "checksum mismatch"; null otherwise.
    const char* reason = nullptr;
    // HEX loads, a checksum mismatch: the checksum the line gives and the one its bytes need; -1
    // otherwise.
    int checksumGiven = -1;
    int checksumWanted = -1;
};
