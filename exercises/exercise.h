// An exercise that checks itself: a task for the learner, and runs of the
// board (keys, then a number of idle passes or T-states) after which checks
// look at the display, registers, memory and the port writes. Read from a
// JSON file (docs/exercises.md); the same code checks a solution in
// tarvorun and in the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/key_names.h"

struct MemoryBytes {
    std::uint16_t address;
    std::vector<std::uint8_t> bytes;
};

enum class RegisterSource {
    Cpu,      // the CPU's registers at the end of the run
    Monitor,  // the program's, as the monitor saved them when it stopped it (MONI, RST 38h)
};

struct ExerciseCheck {
    enum class Kind { Display, Register, Memory, PortWrites } kind;
    std::string message;       // for the learner, when the check fails
    std::string display;       // Display: the text, as tarvorun prints it
    std::string registerName;  // Register: as written, upper case (A, HL, AF', PC, ...)
    RegisterSource source = RegisterSource::Cpu;
    std::uint16_t value = 0;          // Register
    MemoryBytes memory;               // Memory: the bytes expected from the address on
    std::uint8_t port = 0;            // PortWrites: 00h-03h
    std::vector<std::uint8_t> wrote;  // PortWrites: values written to the port in this order (others between)
    std::uint64_t minWrites = 0;
    std::uint64_t maxWrites = UINT64_MAX;
};

struct ExerciseRun {
    std::string name;
    std::vector<MemoryBytes> memory;  // written over the program before the run
    std::vector<KeyStroke> keys;
    bool byTStates = false;
    std::uint64_t length = 0;  // idle passes, or T-states, run after the last key
    std::vector<ExerciseCheck> checks;
};

struct Exercise {
    std::string title;
    std::string task;                 // Markdown
    std::string source;               // the starting source shown to the learner; may be empty
    std::vector<MemoryBytes> memory;  // written over the program before every run
    std::vector<std::string> hints;
    std::vector<ExerciseRun> runs;
};

// Reads an exercise file's text. On false, error says where (LINE:COLUMN and
// the JSON path, as in "12:9: /runs/0/checks/1/register") and why.
bool ReadExercise(const std::string& text, Exercise& exercise, std::string& error);
