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
    bool takes[3] = {false, false, false};
    for (const std::string* k : keys) takes[OperandCount(*k)] = true;
    if (operands > 2 || !takes[operands]) {
        static const char* const kCounts[] = {"no operands", "one operand", "two operands"};
        std::string counts;
        for (std::size_t n = 0; n < 3; ++n) {
            if (takes[n]) counts += (counts.empty() ? "" : " or ") + std::string(kCounts[n]);
        }
        return ": " + mnemonic + " takes " + counts;
    }
    const std::string near = NearestName(key, keys);
    if (near.empty() || EditDistance(key, near) > 4) return "";
    return "; did you mean " + table.Find(near)->front().text + "?";
}
