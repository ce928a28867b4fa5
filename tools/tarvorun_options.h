// The runner's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/key_delivery.h"
#include "board/key_names.h"

struct LoadStep {
    enum class Kind { Hex, Binary, Assembly } kind;
    std::string path;
    std::uint16_t address;  // Binary only
};

struct AddressRange {
    std::uint16_t from;
    std::uint16_t to;  // included
};

struct HexSave {
    AddressRange range;
    std::string path;
};

struct RunOptions {
    bool help = false;
    bool romGiven = false;
    std::string romPath;
    bool noRom = false;           // an empty board: no ROM image at all
    std::vector<LoadStep> loads;  // in command-line order
    std::vector<KeyStroke> keys;
    std::uint64_t passes = 0;
    std::uint32_t settlePasses = kDefaultSettlePasses;
    std::uint32_t scanLimit = kDefaultScanLimit;
    int keyPhase = 0;  // instructions of a pass run before each key is pressed (0-9)
    bool nmiLog = false;
    bool portWrites = false;
    bool segments = false;
    bool regs = false;
    bool trace = false;
    bool cycles = false;
    std::vector<AddressRange> dumps;
    std::vector<HexSave> saves;
    std::string statePath;      // --state: the board from a state file instead of the ROM and a start
    std::string saveStatePath;  // --save-state: the whole run into a state file, last
    // --exercise: grade the program in submission (.asm or .hex) against the file's checks.
    std::string exercisePath;
    std::string submission;
    std::string reportFormat;  // --report: junit, tap or json
    std::string reportPath;
};

// Reads argv[1..argc-1]. On false, error is a one-line message for a usage
// error (unknown option, missing or bad value).
bool ParseRunOptions(int argc, const char* const* argv, RunOptions& options, std::string& error);

// A 16-bit address: 1 to 4 hexadecimal digits, optionally after 0x.
bool ParseAddress(const std::string& text, std::uint16_t& address);

// The --help text.
std::string RunUsageText();
