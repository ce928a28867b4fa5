// The listing, the symbol table and the line map.
#include <string>

#include "asm/listings.h"
#include "asm/number_text.h"

namespace {

constexpr std::size_t kBytesPerRow = 4;
// A longer block (DEFS 2000, say) shows its first row only.
constexpr std::uint32_t kBytesShownWhole = 32;

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string RightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// Tabs to spaces, stops every 8 columns: the listing's prefix would shift them.
std::string Expanded(const std::string& line) {
    std::string out;
    for (char c : line) {
        if (c == '\t') {
            out.append(8 - out.size() % 8, ' ');
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string ValueColumn(std::int64_t value) {
    if (value >= 0 && value <= 0xFFFF) return "= " + HexDigits(static_cast<std::uint32_t>(value), 4);
    return "= " + std::to_string(value);
}

std::string SymbolValue(std::int64_t value) {
    if (value >= 0 && value <= 0xFFFF) return HexDigits(static_cast<std::uint32_t>(value), 4) + "h";
    return std::to_string(value);
}

std::string Row(const std::string& address, const AssemblyResult& r, std::uint32_t from, std::uint32_t count) {
    std::string bytes;
    for (std::uint32_t k = 0; k < count; ++k) bytes += HexDigits(r.memory[(from + k) & 0xFFFF], 2) + " ";
    return Padded(address, 6) + Padded(bytes, 14);
}

}  // namespace

std::string ListingText(const AssemblyResult& r) {
    std::string text = "ADDR  BYTES          LINE  SOURCE\n";
    unsigned file = 0;
    for (const AsmLine& line : r.lines) {
        if (line.file != file) {
            file = line.file;
            text += Padded("", 26) + "; file " + r.files[file].name + "\n";
        }
        std::string head;
        const std::uint32_t first = line.size < kBytesPerRow ? line.size : static_cast<std::uint32_t>(kBytesPerRow);
        const std::string source = AsmLineText(r, line);
        const std::size_t code = source.find_first_not_of(" \t\r");
        if (!line.assembled || code == std::string::npos || source[code] == ';') {
            head = Padded("", 20);  // nothing assembled, or only a comment
        } else if (line.hasValue) {
            head = Padded(ValueColumn(line.value), 20);
        } else {
            head = Row(HexDigits(line.address, 4), r, line.address, first);
        }
        text += Trimmed(head + RightAligned(std::to_string(line.line), 6) + "  " + Expanded(source)) + "\n";
        if (!line.assembled || line.size <= kBytesPerRow) continue;
        if (line.size > kBytesShownWhole) {
            text += Padded("", 6) + "... " + std::to_string(line.size) + " bytes in all\n";
            continue;
        }
        for (std::uint32_t k = kBytesPerRow; k < line.size; k += kBytesPerRow) {
            const std::uint32_t count =
                line.size - k < kBytesPerRow ? line.size - k : static_cast<std::uint32_t>(kBytesPerRow);
            text += Trimmed(Row(HexDigits((line.address + k) & 0xFFFF, 4), r, line.address + k, count)) + "\n";
        }
    }
    return text + "\n" + SymbolTableText(r);
}

std::string SymbolTableText(const AssemblyResult& r) {
    static const char* const kKinds[] = {"label", "EQU", "DEFL"};
    std::size_t width = 4;
    for (const AsmSymbol& s : r.symbols) width = s.name.size() > width ? s.name.size() : width;
    std::string text = Padded("NAME", width + 2) + "VALUE  KIND   DEFINED\n";
    for (const AsmSymbol& s : r.symbols) {
        text += Padded(s.name, width + 2) + Padded(SymbolValue(s.value), 7) +
                Padded(kKinds[static_cast<int>(s.kind)], 7) + r.files[s.file].name + ":" + std::to_string(s.line) +
                "\n";
    }
    return text;
}

std::string LineMapText(const AssemblyResult& r) {
    std::string text = "ADDR  SIZE  LINE\n";
    for (const AsmLine& line : r.lines) {
        if (!line.assembled || line.size == 0) continue;
        text += HexDigits(line.address, 4) + "  " + Padded(std::to_string(line.size), 4) + "  " +
                r.files[line.file].name + ":" + std::to_string(line.line) + "\n";
    }
    return text;
}

long LineAtAddress(const AssemblyResult& r, std::uint16_t address) {
    for (std::size_t i = r.lines.size(); i-- > 0;) {
        const AsmLine& line = r.lines[i];
        if (line.assembled && line.size > 0 && static_cast<std::uint16_t>(address - line.address) < line.size) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

long LineIndex(const AssemblyResult& r, unsigned file, unsigned line) {
    for (std::size_t i = 0; i < r.lines.size(); ++i) {
        if (r.lines[i].file == file && r.lines[i].line == line) return static_cast<long>(i);
    }
    return -1;
}
