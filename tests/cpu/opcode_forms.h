// Every instruction form the core runs, with sample operands, and the
// documented encoding of what it does: the instruction the disassembly must
// name. Written from the Z80's documented behaviour, not from the decoder.
#pragma once

#include <cstdint>
#include <vector>

struct OpcodeForm {
    std::vector<std::uint8_t> bytes;      // as in memory: prefixes, opcode, operands, spare bytes
    std::vector<std::uint8_t> canonical;  // the documented encoding, spare bytes alike
    unsigned ignoredPrefixes;             // leading DD/FD bytes the core passes over
    bool chain;                           // made by putting a prefix before another form
};

namespace opcode_forms {

// 'x' where DD/FD turns the opcode into its IX/IY form: it names H, L, HL or
// (HL). EX DE,HL keeps HL. CB under a prefix is a form set of its own.
constexpr char kIndexable[16][17] = {
    //0123456789ABCDEF
    ".........x......",  // 0
    ".........x......",  // 1
    ".xxxxxx..xxxxxx.",  // 2
    "....xxx..x......",  // 3
    "....xxx.....xxx.",  // 4
    "....xxx.....xxx.",  // 5
    "xxxxxxxxxxxxxxxx",  // 6
    "xxxxxx.x....xxx.",  // 7
    "....xxx.....xxx.",  // 8
    "....xxx.....xxx.",  // 9
    "....xxx.....xxx.",  // A
    "....xxx.....xxx.",  // B
    "................",  // C
    "................",  // D
    ".x.x.x...x......",  // E
    ".........x......",  // F
};

inline bool Indexable(std::uint8_t op) { return kIndexable[op >> 4][op & 15] == 'x'; }

// ED bytes that repeat a documented ED instruction, and what they repeat.
struct EdAlias {
    unsigned op;
    std::vector<std::uint8_t> canonical;
};

inline std::vector<EdAlias> EdAliases() {
    std::vector<EdAlias> aliases;
    for (unsigned op : {0x4Cu, 0x54u, 0x5Cu, 0x64u, 0x6Cu, 0x74u, 0x7Cu}) aliases.push_back({op, {0xEDu, 0x44u}});  // NEG
    for (unsigned op : {0x55u, 0x5Du, 0x65u, 0x6Du, 0x75u, 0x7Du}) aliases.push_back({op, {0xEDu, 0x45u}});  // RETN
    for (unsigned op : {0x4Eu, 0x66u, 0x6Eu}) aliases.push_back({op, {0xEDu, 0x46u}});                    // IM 0
    aliases.push_back({0x76, {0xED, 0x56}});                                                            // IM 1
    aliases.push_back({0x7E, {0xED, 0x5E}});                                                            // IM 2
    aliases.push_back({0x63, {0x22}});                                                                  // LD (nn),HL
    aliases.push_back({0x6B, {0x2A}});                                                                  // LD HL,(nn)
    return aliases;
}

// Spare bytes after the opcode: operands, displacements. Never 0 (a missing
// operand byte shows), never above EFh (the length test runs code at F000h).
inline std::uint8_t Sample(unsigned form, unsigned k) { return static_cast<std::uint8_t>(1 + (form * 73 + k * 151) % 0xEF); }

inline bool IsPrefix(std::uint8_t op) { return op == 0xCB || op == 0xDD || op == 0xED || op == 0xFD; }

inline void Add(std::vector<OpcodeForm>& forms, std::vector<std::uint8_t> head, std::vector<std::uint8_t> canonicalHead,
                unsigned ignored) {
    auto n = static_cast<unsigned>(forms.size());
    for (unsigned k = 0; k < 4; ++k) {
        head.push_back(Sample(n, k));
        canonicalHead.push_back(Sample(n, k));
    }
    forms.push_back({head, canonicalHead, ignored, false});
}

}  // namespace opcode_forms

// Unprefixed, CB, ED, DD, FD, DD CB, FD CB (all 256 opcodes of each, prefixes
// excepted), then the chains: the other index prefix before every DD/FD form
// and DD before every ED form.
inline std::vector<OpcodeForm> AllOpcodeForms() {
    using namespace opcode_forms;
    std::vector<OpcodeForm> forms;
    for (unsigned i = 0; i < 256; ++i) {
        auto op = static_cast<std::uint8_t>(i);
        if (!IsPrefix(op)) Add(forms, {op}, {op}, 0);
    }
    for (unsigned i = 0; i < 256; ++i) {
        auto op = static_cast<std::uint8_t>(i);
        Add(forms, {0xCB, op}, {0xCB, op}, 0);
    }
    const std::vector<EdAlias> aliases = EdAliases();
    for (unsigned i = 0; i < 256; ++i) {
        auto op = static_cast<std::uint8_t>(i);
        std::vector<std::uint8_t> canonical{0xED, op};
        for (const EdAlias& alias : aliases) {
            if (alias.op == i) canonical = alias.canonical;
        }
        Add(forms, {0xED, op}, canonical, 0);
    }
    for (std::uint8_t prefix : {std::uint8_t{0xDD}, std::uint8_t{0xFD}}) {
        for (unsigned i = 0; i < 256; ++i) {
            auto op = static_cast<std::uint8_t>(i);
            if (IsPrefix(op)) continue;
            if (Indexable(op)) {
                Add(forms, {prefix, op}, {prefix, op}, 0);
            } else {
                Add(forms, {prefix, op}, {op}, 1);
            }
        }
    }
    for (std::uint8_t prefix : {std::uint8_t{0xDD}, std::uint8_t{0xFD}}) {
        for (unsigned i = 0; i < 256; ++i) {
            auto op = static_cast<std::uint8_t>(i);
            std::uint8_t d = Sample(i, 7);
            // BIT has nothing to copy: every low field reads (IX+d).
            bool bitAlias = op >= 0x40 && op < 0x80 && (op & 7) != 6;
            Add(forms, {prefix, 0xCB, d, op}, {prefix, 0xCB, d, static_cast<std::uint8_t>(bitAlias ? (op & 0xF8) | 6 : op)}, 0);
        }
    }
    const std::size_t single = forms.size();
    for (std::size_t i = 0; i < single; ++i) {
        const OpcodeForm& form = forms[i];
        std::uint8_t first = form.bytes[0];
        if (first != 0xDD && first != 0xFD && first != 0xED) continue;
        OpcodeForm chained = form;
        chained.bytes.insert(chained.bytes.begin(), first == 0xDD ? 0xFD : 0xDD);
        chained.ignoredPrefixes = form.ignoredPrefixes + 1;
        chained.chain = true;
        forms.push_back(chained);
    }
    return forms;
}
