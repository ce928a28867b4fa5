// The file of every instruction form the core runs: each form's disassembly
// in a slot of its own, and the bytes that text must assemble to. Shared by
// the round trip through pasmo and the proof of our own assembler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cpu/disassemble.h"
#include "tests/cpu/opcode_forms.h"

// Each form assembles into a slot of its own, so a fault stays in its slot.
constexpr unsigned kFormsOrigin = 0x4000;  // slots up to 9F60h: relative jumps stay in range
constexpr unsigned kFormSlot = 8;

struct FormsImage {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(65536, 0);
};

inline std::uint8_t ReadFormsImage(const void* context, std::uint16_t address) {
    return static_cast<const FormsImage*>(context)->bytes[address];
}

// How much shorter the documented encoding is than the bytes.
inline unsigned Dropped(const OpcodeForm& form) {
    return static_cast<unsigned>(form.bytes.size() - form.canonical.size());
}

struct FormsFile {
    std::vector<OpcodeForm> forms;
    std::vector<DisassembledInstruction> texts;
    std::string source;  // "ORG slot" and the text, for every form
};

inline FormsFile MakeFormsFile() {
    FormsFile file;
    file.forms = AllOpcodeForms();
    FormsImage image;
    file.source = "; every instruction form the core runs, disassembled\n";
    for (std::size_t i = 0; i < file.forms.size(); ++i) {
        const OpcodeForm& form = file.forms[i];
        auto at = static_cast<std::uint16_t>(kFormsOrigin + i * kFormSlot);
        for (std::size_t k = 0; k < form.bytes.size(); ++k) image.bytes[at + k] = form.bytes[k];
        file.texts.push_back(Disassemble(ReadFormsImage, &image, at));
        // A documented form shorter than the bytes ends where they end, so
        // that a relative jump keeps its offset.
        const char* text = file.texts.back().text;
        unsigned start = at + (std::strncmp(text, "DB ", 3) == 0 ? 0 : Dropped(form));
        char org[32];
        std::snprintf(org, sizeof org, "\tORG %05Xh\n\t", start);
        file.source += org + std::string(text) + "\n";
    }
    return file;
}

// What the text before ';' must assemble to, in its slot (kFormSlot bytes).
inline std::vector<std::uint8_t> ExpectedSlot(const OpcodeForm& form, const std::string& text, unsigned length) {
    std::vector<std::uint8_t> expected;
    if (text.compare(0, 3, "DB ") == 0) {
        // A byte list names every byte, or all but the ignored prefixes ("(+N)").
        unsigned skip = text.find(" (+") != std::string::npos ? form.ignoredPrefixes : 0;
        for (unsigned k = skip; k < length; ++k) expected.push_back(form.bytes[k]);
    } else {
        expected.assign(Dropped(form), 0);
        for (unsigned k = 0; k + Dropped(form) < length; ++k) expected.push_back(form.canonical[k]);
    }
    expected.resize(kFormSlot, 0);
    return expected;
}

inline std::string HexBytes(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
    std::string out;
    char b[4];
    for (std::size_t i = from; i < from + count && i < bytes.size(); ++i) {
        std::snprintf(b, sizeof b, "%02X ", bytes[i]);
        out += b;
    }
    return out;
}
