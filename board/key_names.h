// Key names for the runner's --keys and the exercises' keys: the legends
// printed on the keypad.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/key_matrix.h"

struct KeyStroke {
    std::string name;  // as the user wrote it, for messages
    int gridRow;
    int gridColumn;
    KeyKind kind;
    std::uint64_t waitPasses = 0;  // not 0: no key, a wait:N token that runs N idle passes
    bool waitForScan = true;       // false for press:KEY, a click the program may never read
};

// Looks one name up, ignoring case: 0-9, A-F, + (or PLUS), - (or MINUS), ADDR,
// DATA, GO, STEP, REG, PC, INS, DEL, MOVE, RELA, SBR, CBR, RESET, MONI, INTR,
// USER (or USERKEY), TAPERD, TAPEWR. False for an unknown name.
bool FindKey(const std::string& name, KeyStroke& key);

// Splits a --keys text at white space and looks every name up; wait:N (N from
// 1, decimal) is a wait of N idle passes between two keys. The tape keys
// are refused: they open file dialogs on the board, which the runner has not
// (its --hex and --save-hex do their work). A name written press:KEY presses
// the key without waiting for its scan, as a click in the window does. On
// false, error says why, naming the key.
// where names the text in messages: "--keys" for the runner's option.
bool ParseKeys(const std::string& text, std::vector<KeyStroke>& keys, std::string& error,
               const std::string& where = "--keys");

// A count: decimal digits only, at most max.
bool ParseCount(const std::string& text, std::uint64_t max, std::uint64_t& count);
