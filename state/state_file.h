// The state file (.tarvo): a board's whole run, and the parts of the program
// around it, in one file that the page and tarvorun both read and write.
// docs/state-file.md gives the format: a magic, a format version, then parts,
// each with a four-character tag, its length and a CRC-32 of its bytes.
//
// Reading is all or nothing: a file is decoded whole into a new state and
// handed over only when every part is good, so that a bad file changes
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/run_record.h"

// The version this program writes; it reads every version up to it.
constexpr std::uint32_t kStateFileVersion = 1;
constexpr std::size_t kStateMagicSize = 8;
// "TARVO", CR LF and Ctrl-Z: a file that went through a text-mode copy no longer matches.
extern const std::uint8_t kStateMagic[kStateMagicSize];

// A part this program keeps without reading it: the page's (its source,
// breakpoints, speed...) and any part a later version adds. Written back
// as it came, in its place after the board's parts.
struct StatePart {
    std::string tag;  // four printable ASCII characters
    std::vector<std::uint8_t> bytes;
};

struct SavedState {
    RunRecord run;  // the board (its hooks are never saved), the key queue, the place in the idle pass
    std::vector<StatePart> kept;
};

// The file's bytes.
std::vector<std::uint8_t> EncodeState(const SavedState& state);

// Decodes a whole file into state. false, with state untouched and error
// saying where and why, for a file that is not a state file, is cut short or
// damaged, or comes from a newer version. A file of an older version loads:
// the parts it could not have held take their defaults.
bool DecodeState(const std::uint8_t* bytes, std::size_t size, SavedState& state, std::string& error);

// The board of a saved run onto a live one, whose hooks stay.
void PutBoard(const Board& saved, Board& board);
