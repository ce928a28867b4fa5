// "Did you mean" hints for instructions. They are worked out only for the
// messages a run reports, not for every wrong line read.
#pragma once

#include <cstddef>
#include <string>

// "; did you mean LD?" for an unknown word (upper case), or "".
std::string MnemonicHint(const std::string& upper);

// For a mnemonic whose operands match no form (key as InstructionTable::Find
// takes it): ": PUSH takes one operand", "; did you mean LD (BC),A?", or "".
std::string FormHint(const std::string& mnemonic, const std::string& key, std::size_t operands);
