// tarvoasm's command line.
#pragma once

#include <string>

enum class ObjectFormat { None, Hex, Binary };

struct AsmToolOptions {
    bool help = false;
    std::string input;
    std::string object;  // -o: Intel HEX or binary, by its extension
    ObjectFormat format = ObjectFormat::None;
    std::string listing;  // -l
    std::string keys;     // --keys: the keypad listing
    std::string symbols;  // --symbols
    std::string lineMap;  // --line-map
};

// Reads argv[1..argc-1]. On false, error is a one-line message for a usage error.
bool ParseAsmToolOptions(int argc, const char* const* argv, AsmToolOptions& options, std::string& error);

// The --help text.
std::string AsmToolUsage();
