#include "asm/hints.h"

#include <algorithm>
#include <vector>

#include "asm/instruction_table.h"
#include "asm/nearest_name.h"
#include "asm/reserved_words.h"

namespace {

// Operands in a key: "LD A,n" has two.
std::size_t OperandCount(const std::string& key) {
    if (key.find(' ') == std::string::npos) return 0;
    return 1 + static_cast<std::size_t>(std::count(key.begin(), key.end(), ','));
}

std::string LastOperand(const std::string& key) { return key.substr(key.find_last_of(", ") + 1); }

}  // namespace

std::string MnemonicHint(const std::string& upper) {
    std::vector<const std::string*> names;
    for (const std::string& m : Z80Instructions().Mnemonics()) names.push_back(&m);
    std::size_t count = 0;
    const char* const* directives = DirectiveNames(count);
    const std::vector<std::string> directiveNames(directives, directives + count);
    for (const std::string& d : directiveNames) names.push_back(&d);
    const std::string near = NearestName(upper, names);
    return near.empty() ? std::string() : "; did you mean " + near + "?";
}

std::string FormHint(const std::string& mnemonic, const std::string& key, std::size_t operands) {
    const InstructionTable& table = Z80Instructions();
    const std::vector<const std::string*> keys = table.KeysOf(mnemonic);
    std::string hint;
    bool takes[3] = {false, false, false};
    for (const std::string* k : keys) takes[OperandCount(*k)] = true;
    if (operands > 2 || !takes[operands]) {
        static const char* const kCounts[] = {"no operands", "one operand", "two operands"};
        std::string counts;
        for (std::size_t n = 0; n < 3; ++n) {
            if (takes[n]) counts += (counts.empty() ? "" : " or ") + std::string(kCounts[n]);
        }
        hint = ": " + mnemonic + " takes " + counts;
    }
    // The nearest form, within two edits or a third of the text; of two as
    // near, the one that keeps the last operand ("SUB A,B": SUB B, not SUB A).
    const std::size_t allowed = std::max<std::size_t>(2, key.size() / 3);
    const std::string* best = nullptr;
    std::size_t bestScore = 0;
    for (const std::string* k : keys) {
        const std::size_t distance = EditDistance(key, *k);
        const std::size_t score = 2 * distance + (LastOperand(*k) == LastOperand(key) ? 0 : 1);
        if (distance <= allowed && (best == nullptr || score < bestScore)) {
            best = k;
            bestScore = score;
        }
    }
    if (best != nullptr) hint += "; did you mean " + table.Find(*best)->front().text + "?";
    return hint;
}
