// A minimal CP/M console around the flat bus: enough BDOS (functions 2 and 9)
// for the Z80 instruction exercisers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CpmRunResult {
    std::string output;
    std::uint64_t instructions = 0;
    std::uint64_t tStates = 0;  // the BDOS calls' own RET at 0005h included
    bool finished = false;  // reached the warm boot at 0000h
};

// Runs a .com image loaded at 0100h until it jumps to 0000h. Each character
// printed also goes to echo, if given.
CpmRunResult RunCpmProgram(const std::vector<std::uint8_t>& image, void (*echo)(char) = nullptr);
