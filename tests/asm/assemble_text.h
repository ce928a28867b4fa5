// Helpers of the assembler's tests: assemble a text, read what came out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "asm/assembler.h"
#include "asm/listings.h"

inline AssemblyResult AssembleText(const std::string& text, AsmIncludeReader include = {}) {
    AsmOptions options;
    options.include = std::move(include);
    return Assemble("test.asm", text, options);
}

// Every message as the command line prints it, for failure output.
inline std::string Messages(const AssemblyResult& result) {
    std::string text;
    for (const AsmDiagnostic& d : result.diagnostics) text += DiagnosticText(d);
    return text;
}

inline std::vector<std::uint8_t> BytesAt(const AssemblyResult& result, std::uint16_t from, std::size_t count) {
    const auto start = result.memory.begin() + from;
    return std::vector<std::uint8_t>(start, start + static_cast<std::ptrdiff_t>(count));
}

// The value of a name, or -99999 when it has none.
inline std::int64_t ValueOf(const AssemblyResult& result, const std::string& name) {
    for (const AsmSymbol& s : result.symbols) {
        if (s.name == name) return s.value;
    }
    return -99999;
}
