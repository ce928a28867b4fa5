// Keys pressed on a running board as the headless runner's --keys presses
// them: a settle time before the first key and after each one, a matrix key
// or the USER KEY held until a read of port A has taken it. The runner and
// the exercise checker both press keys through here, so that a program sees
// its keys at the same instructions wherever it runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/key_names.h"
#include "board/pass_runner.h"

// Idle passes (ten instructions each) run after every key, and before the
// first one, so that the program on the board can act on it.
constexpr std::uint32_t kDefaultSettlePasses = 2000;
// Idle passes a matrix key or the USER KEY may wait for a port A read to
// take it before the delivery fails.
constexpr std::uint32_t kDefaultScanLimit = 200000;

struct KeyTiming {
    std::uint32_t settlePasses = kDefaultSettlePasses;
    std::uint32_t scanLimit = kDefaultScanLimit;
    int phase = 0;  // instructions of a pass run before each key is pressed (0-9)
};

// Presses one key through a runner standing between two passes: after the
// first phase instructions (0-9) of a pass; the pass is completed, then, for a
// matrix key or the USER KEY, passes run until a port A read has taken it
// (scanLimit of them at most, counting the completed one). False (with error
// naming the key) when it was never taken.
bool DeliverKeyAt(PassRunner& runner, Board& board, const KeyStroke& key, int phase, std::uint32_t scanLimit,
                  std::string& error);

// The whole sequence: the settle time, then each key (a wait:N token runs its
// passes instead) followed by the settle time. beforeKey, when given, is
// called with each key's index before it is pressed. Returns keys.size() when
// every key was delivered, else the index of the one that was not, with error
// saying why.
std::size_t DeliverKeys(PassRunner& runner, Board& board, const std::vector<KeyStroke>& keys, const KeyTiming& timing,
                        std::string& error, const std::function<void(std::size_t)>& beforeKey = {});
