#include "asm/instruction_table.h"

#include <algorithm>
#include <cstring>

#include "cpu/decode_tables.h"
#include "cpu/disassemble.h"

namespace {

// The probe: an instruction at a fixed address, its operand bytes marked with
// values that no opcode number (IM, RST, BIT) and no other reading of them
// can give, so that each number in the text names the byte it came from.
constexpr std::uint16_t kProbeAddress = 0x8000;
constexpr std::uint8_t kMarks[4] = {0x12, 0x34, 0x56, 0x78};

struct Probe {
    std::uint8_t bytes[8] = {};
    bool opcode[8] = {};  // positions that belong to the opcode, not to operands
};

std::uint8_t ReadProbe(const void* context, std::uint16_t address) {
    const auto* probe = static_cast<const Probe*>(context);
    const unsigned offset = static_cast<std::uint16_t>(address - kProbeAddress);
    return offset < sizeof probe->bytes ? probe->bytes[offset] : 0;
}

// prefix..., op, then the marks; DD CB and FD CB put the displacement before op.
Probe MakeProbe(const std::vector<std::uint8_t>& prefix, std::uint8_t op, bool indexedCb) {
    Probe probe;
    std::size_t at = 0;
    for (std::uint8_t p : prefix) {
        probe.opcode[at] = true;
        probe.bytes[at++] = p;
    }
    std::size_t mark = 0;
    if (indexedCb) probe.bytes[at++] = kMarks[mark++];
    probe.opcode[at] = true;
    probe.bytes[at++] = op;
    while (mark < 4) probe.bytes[at++] = kMarks[mark++];
    return probe;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool IsKeyword(const std::string& text) {
    if (text.empty()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsUpperLetter(text[i]) && !(text[i] == '\'' && i + 1 == text.size())) return false;
    }
    return true;
}

// "38h" or "5", as the disassembler writes numbers.
long ParseNumber(const std::string& text) {
    if (!text.empty() && text.back() == 'h') return std::strtol(text.substr(0, text.size() - 1).c_str(), nullptr, 16);
    return std::strtol(text.c_str(), nullptr, 10);
}

class FormReader {
public:
    FormReader(const Probe& probe, unsigned length) : probe_(probe), length_(length) {}

    // Turns one operand's text into its part of the key; false if it cannot be read.
    bool Operand(const std::string& text, unsigned index, InstructionForm& form, std::string& key, std::string& shown,
                 std::vector<std::string>& keywords) {
        if (text.size() > 2 && text.front() == '(' && text.back() == ')') {
            const std::string inner = text.substr(1, text.size() - 2);
            if (IsKeyword(inner)) {
                keywords.push_back(inner);
                key += text;
                shown += text;
                return true;
            }
            if (inner.size() > 3 && inner[0] == 'I' && (inner[2] == '+' || inner[2] == '-')) {
                long value = ParseNumber(inner.substr(3));
                if (inner[2] == '-') value = -value;
                const int at = Find([&](unsigned p) { return static_cast<std::int8_t>(probe_.bytes[p]) == value; });
                if (at < 0) return false;
                AddSlot(form, SlotKind::Displacement, index, at);
                key += "(" + inner.substr(0, 2) + "+d)";
                shown += "(" + inner.substr(0, 2) + "+d)";
                return true;
            }
            if (!IsDigit(inner[0])) return false;
            key += "(n)";
            shown += "(";
            if (!NumberSlot(ParseNumber(inner), index, false, form, shown)) return false;
            shown += ")";
            return true;
        }
        if (IsDigit(text[0])) {
            key += "n";
            const long value = ParseNumber(text);
            if (NumberSlot(value, index, true, form, shown)) return true;
            // No operand byte gives it: a number of the opcode itself.
            form.fixedOperand = static_cast<std::int8_t>(index);
            form.fixedValue = static_cast<std::uint8_t>(value);
            shown += text;
            return true;
        }
        if (!IsKeyword(text)) return false;
        keywords.push_back(text);
        key += text;
        shown += text;
        return true;
    }

private:
    // The operand bytes a number came from: a word, a relative jump's target
    // (relative: not in brackets), or a byte.
    bool NumberSlot(long value, unsigned index, bool relative, InstructionForm& form, std::string& shown) const {
        int at = FindWord(value);
        if (at >= 0) {
            AddSlot(form, SlotKind::Word, index, at);
            shown += "nn";
            return true;
        }
        if (relative) {
            at = Find([&](unsigned p) {
                const long target =
                    kProbeAddress + static_cast<long>(length_) + static_cast<std::int8_t>(probe_.bytes[p]);
                return (target & 0xFFFF) == value;
            });
            if (at >= 0) {
                AddSlot(form, SlotKind::Relative, index, at);
                shown += "e";
                return true;
            }
        }
        at = Find([&](unsigned p) { return probe_.bytes[p] == value; });
        if (at < 0) return false;
        AddSlot(form, SlotKind::Byte, index, at);
        shown += "n";
        return true;
    }

    template <typename Match>
    int Find(Match match) const {
        for (unsigned p = 0; p < length_; ++p) {
            if (!probe_.opcode[p] && match(p)) return static_cast<int>(p);
        }
        return -1;
    }

    int FindWord(long value) const {
        return Find([&](unsigned p) {
            return p + 1 < length_ && !probe_.opcode[p + 1] && (probe_.bytes[p] | probe_.bytes[p + 1] << 8) == value;
        });
    }

    static void AddSlot(InstructionForm& form, SlotKind kind, unsigned operand, int offset) {
        form.slots[form.slotCount++] = {kind, static_cast<std::uint8_t>(operand), static_cast<std::uint8_t>(offset)};
    }

    const Probe& probe_;
    unsigned length_;
};

std::vector<std::string> SplitOperands(const std::string& text) {
    std::vector<std::string> operands;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        operands.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return operands;
}

bool IsPrefixClass(OpClass c) {
    return c == OpClass::PrefixCB || c == OpClass::PrefixDD || c == OpClass::PrefixED || c == OpClass::PrefixFD;
}

}  // namespace

InstructionTable::InstructionTable() {
    struct Space {
        std::vector<std::uint8_t> prefix;
        bool indexedCb;
    };
    // The order decides which of two encodings that read alike is used: the
    // unprefixed LD (nn),HL before ED 63, NEG (ED 44) before its repeats.
    const Space spaces[] = {{{}, false},     {{0xCB}, false},      {{0xED}, false},     {{0xDD}, false},
                            {{0xFD}, false}, {{0xDD, 0xCB}, true}, {{0xFD, 0xCB}, true}};
    for (const Space& space : spaces) {
        for (unsigned i = 0; i < 256; ++i) {
            const auto op = static_cast<std::uint8_t>(i);
            // In the unprefixed space and after DD or FD a prefix byte starts
            // another space (DD CB) or a chain of prefixes: not a form here.
            const bool mainLike = !space.indexedCb && (space.prefix.empty() || space.prefix[0] != 0xCB) &&
                                  (space.prefix.empty() || space.prefix[0] != 0xED);
            if (mainLike && IsPrefixClass(MainDecodeTable[op])) continue;
            // Under DD CB and FD CB the core decodes every op as its memory form
            // (register field 6); the other fields copy the result into a
            // register, which pasmo has no mnemonic for, or repeat BIT.
            if (space.indexedCb && (op & 7) != 6) continue;
            const Probe probe = MakeProbe(space.prefix, op, space.indexedCb);
            const DisassembledInstruction dis = Disassemble(ReadProbe, &probe, kProbeAddress);
            std::string text = dis.text;
            bool extension = false;
            const std::size_t note = text.find(" ; ");
            if (text.compare(0, 3, "DB ") == 0) {
                // A byte list names an operation pasmo has no mnemonic for: ours.
                if (note == std::string::npos || (!space.prefix.empty() && space.prefix[0] != 0xED)) continue;
                text = text.substr(note + 3);
                extension = true;
            } else if (note != std::string::npos) {
                continue;  // prefixes the core passes over: the form without them is the one to use
            }

            InstructionForm form{};
            form.length = static_cast<std::uint8_t>(dis.length);
            form.fixedOperand = -1;
            form.extension = extension;
            for (unsigned p = 0; p < dis.length && p < 4; ++p) form.bytes[p] = probe.opcode[p] ? probe.bytes[p] : 0;
            const std::size_t space_at = text.find(' ');
            const std::string mnemonic = text.substr(0, space_at);
            std::string key = mnemonic;
            std::string shown = mnemonic;
            std::vector<std::string> keywords;
            bool readable = true;
            if (space_at != std::string::npos) {
                key += ' ';
                shown += ' ';
                FormReader reader(probe, dis.length);
                const std::vector<std::string> operands = SplitOperands(text.substr(space_at + 1));
                for (unsigned k = 0; k < operands.size() && readable; ++k) {
                    if (k > 0) {
                        key += ',';
                        shown += ',';
                    }
                    readable = operands.size() <= 2 && reader.Operand(operands[k], k, form, key, shown, keywords);
                }
            }
            if (!readable) continue;
            form.text = shown;
            for (const std::string& word : keywords) {
                registers_.insert(word);
            }
            Add(key, form);
        }
    }
    // IN (C) is a common spelling of IN F,(C).
    if (const FormGroup* inF = Find("IN F,(C)")) {
        InstructionForm alias = inF->front();
        alias.text = "IN (C)";
        Add("IN (C)", alias);
    }
}

void InstructionTable::Add(const std::string& key, InstructionForm form) {
    FormGroup& group = groups_[key];
    for (const InstructionForm& known : group) {
        if (known.fixedOperand == form.fixedOperand && known.fixedValue == form.fixedValue) return;  // first wins
    }
    group.push_back(std::move(form));
    const std::string mnemonic = key.substr(0, key.find(' '));
    if (mnemonicSet_.insert(mnemonic).second) mnemonics_.push_back(mnemonic);
}

const FormGroup* InstructionTable::Find(const std::string& key) const {
    const auto it = groups_.find(key);
    return it == groups_.end() ? nullptr : &it->second;
}

bool InstructionTable::IsMnemonic(const std::string& upper) const { return mnemonicSet_.count(upper) != 0; }

bool InstructionTable::IsRegister(const std::string& upper) const { return registers_.count(upper) != 0; }

std::vector<const std::string*> InstructionTable::KeysOf(std::string_view mnemonic) const {
    std::vector<const std::string*> keys;
    for (const auto& entry : groups_) {
        const std::string& key = entry.first;
        if (key.compare(0, mnemonic.size(), mnemonic) == 0 &&
            (key.size() == mnemonic.size() || key[mnemonic.size()] == ' ')) {
            keys.push_back(&key);
        }
    }
    std::sort(keys.begin(), keys.end(), [](const std::string* a, const std::string* b) { return *a < *b; });
    return keys;
}

const InstructionTable& Z80Instructions() {
    static const InstructionTable table;
    return table;
}
