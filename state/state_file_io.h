// A state file by its path (UTF-8 on every system): tarvorun's --state and
// --save-state, and the page's Save state and Load state through the files
// it hands the core.
#pragma once

#include <string>

#include "state/state_file.h"

// The largest state file read: the board's parts take 64 KiB, the rest is
// the page's source and settings.
constexpr std::size_t kLargestStateFile = std::size_t{64} << 20;

// false, with state untouched and error naming the file and why.
bool ReadStateFile(const char* path, SavedState& state, std::string& error);
// Written whole or not at all (files/safe_save.h). false, with error naming the file and why.
bool WriteStateFile(const char* path, const SavedState& state, std::string& error);
