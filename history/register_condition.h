// A condition on the CPU's registers or flags, as a learner types it for a
// watchpoint: "A = 3", "HL >= 1900h", "Z set", "C clear". Registers A F B C
// D E H L I R, pairs AF BC DE HL IX IY SP PC; flags Z C S P/V H N; compared
// with = != < <= > >= against a number, decimal or hex with an h suffix.
#pragma once

#include <cstdint>
#include <string>

#include "cpu/cpu_state.h"

enum class Comparison : std::uint8_t { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

struct RegisterCondition {
    bool onFlag;              // a flag set or clear, else a register compared
    std::uint8_t which;       // the register's index in kConditionRegisterNames, or the flag's bit in F
    bool flagSet;             // onFlag: whether it asks for the flag set
    Comparison comparison;    // otherwise
    std::uint16_t value;
    std::string text;         // as typed, trimmed
};

struct ConditionParse {
    bool ok;
    RegisterCondition condition;
    std::string error;  // when not ok: where and why, columns counted from 1
};

ConditionParse ParseRegisterCondition(const std::string& text);
bool ConditionHolds(const RegisterCondition& condition, const CpuState& cpu);
