// Keys typed faster than the program on the board reads them: they wait in
// order and go into the board one at a time, each only after the program has
// read the one before, so that none is lost or taken out of order (two
// presses in one keypad row would be reported, and forgotten, by one read).
// The page holds one for its board; the window presses its keys at once.
//
// The queue acts only at idle-pass boundaries and counts its waits in the
// pass cursor's passes, so a run comes out the same however it is cut into
// calls. It is a plain value: a copy saves it whole.
#pragma once

#include <cstdint>
#include <vector>

#include "board/board.h"

constexpr int kKeyQueueCapacity = 256;

// Idle passes from the read of a key (or from a key that acts at once, RESET
// among them) to the next press. The monitor needs none after a read: it
// reads port A only while it waits for a key. After RESET it needs 8: its
// start reads every keypad row until it reports nothing, and that takes up
// to 72 instructions. 300 passes are one round of its keypad scan (six rows
// of 100 reads, five instructions each), so a program that scans as the
// monitor does sees a whole round without a key between two keys, as when a
// finger lifts.
constexpr std::uint64_t kKeyQueueGapPasses = 300;

// A queue as plain numbers, for a file that keeps it: the waiting keys in
// order and the pressed one (grid row * kGridColumns + grid column; -1 for
// none pressed), and the first pass at which the next key may go in.
struct KeyQueueContents {
    std::vector<std::uint8_t> waiting;
    int pressed = -1;
    std::uint64_t nextAt = 0;
};

class KeyQueue {
public:
    // Queues a press of the key at the grid position: matrix keys, USER KEY,
    // INTR, MONI and RESET, each in its turn. False, with nothing queued, for
    // a place without a key, a tape key (a file command, never typed ahead)
    // or a full queue.
    bool Add(int gridRow, int gridColumn);

    // Keys the program has not taken yet: the queued ones, and the one
    // pressed into the board that no read has reported.
    int Waiting() const;

    // Drops every waiting key, clearing the pressed one from the key matrix;
    // the next key waits a whole gap from pass `now`. Returns how many went.
    int Drop(Board& board, std::uint64_t now);

    // At the boundary before pass `now` (PassCursor::Passes()): notes whether
    // the program has read the pressed key, and presses the next one when its
    // time has come. Returns how many passes may run before the queue must be
    // served again, `most` when nothing waits. Serving twice at one boundary
    // changes nothing the second time.
    std::uint64_t Serve(Board& board, std::uint64_t now, std::uint64_t most);

    KeyQueueContents Contents() const;
    // The queue holding contents; false, with the queue left as it was, when
    // they name a place without a key, a tape key, or more keys than it holds.
    bool Restore(const KeyQueueContents& contents);

private:
    std::uint8_t keys_[kKeyQueueCapacity] = {};  // grid row * kGridColumns + grid column
    int first_ = 0;
    int count_ = 0;
    int pressed_ = -1;         // the key in the board waiting for its read, or -1
    std::uint64_t nextAt_ = 0;  // the first pass at which the next key may go in
};
