// The keys that type a program into the board with the monitor
// (monitor/README.md, "Keys"): ADDR and four hexadecimal digits show an
// address, DATA starts data mode there, and each byte is two digits and +,
// which writes it and moves on to the next address.
#include <string>

#include "asm/board_places.h"
#include "asm/listings.h"
#include "asm/number_text.h"

namespace {

// The source follows the keys at this column, unless they are longer.
constexpr std::size_t kKeysWidth = 36;

std::string Digits(std::uint32_t value, int count) {
    std::string keys;
    for (char c : HexDigits(value, count)) {
        keys += c;
        keys += ' ';
    }
    return keys;
}

// The source line on one line: blanks run together.
std::string Squeezed(const std::string& line) {
    std::string out;
    for (char c : line) {
        const bool blank = c == ' ' || c == '\t' || c == '\r';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::string KeypadListingText(const AssemblyResult& r) {
    std::string text = "; The keys that type " + r.files.front().name +
                       " into the board with the monitor, line by line.\n"
                       "; After RESET, press each line's keys in order; tarvorun --keys takes them as they stand.\n";
    std::int64_t cursor = -1;  // where the next byte goes in data mode
    std::int64_t start = -1;   // the first address typed
    for (const AsmLine& line : r.lines) {
        if (!line.assembled || line.size == 0) continue;
        std::string keys;
        std::uint32_t skipped = 0;
        for (std::uint32_t k = 0; k < line.size; ++k) {
            const std::uint32_t at = line.address + k;
            if (at > 0xFFFF || !IsBoardRam(at)) {
                ++skipped;
                continue;
            }
            if (cursor != at) keys += "ADDR " + Digits(at, 4) + "DATA ";
            if (start < 0) start = at;
            keys += Digits(r.memory[at], 2) + "+ ";
            cursor = at + 1;
        }
        std::string note;
        if (skipped == line.size) {
            note = line.address < kRomTop ? "cannot be typed (ROM): " : "cannot be typed (no memory there): ";
        } else if (skipped > 0) {
            note = "only the bytes in RAM are typed: ";
        } else if (line.address >= kMonitorAreaStart) {
            note = "the monitor's working area: ";
        }
        if (!keys.empty()) keys.pop_back();
        if (keys.size() < kKeysWidth) keys.append(kKeysWidth - keys.size(), ' ');
        text += HexDigits(line.address, 4) + "  " + keys + "  ; " + note + Squeezed(AsmLineText(r, line)) + "\n";
    }
    const std::int64_t run = r.hasEntry ? r.entry : start;
    if (run >= 0) text += "; to run it: ADDR " + Digits(static_cast<std::uint32_t>(run), 4) + "GO\n";
    return text;
}
