#include "board/key_names.h"

#include <cctype>
#include <cstring>

namespace {

std::string Normalised(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ') continue;
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

struct Alias {
    const char* name;
    const char* legend;
};

constexpr Alias kAliases[] = {{"USER", "USERKEY"}, {"PLUS", "+"}, {"MINUS", "-"}};

constexpr char kWaitPrefix[] = "WAIT:";
constexpr std::size_t kWaitPrefixLength = sizeof kWaitPrefix - 1;

bool IsWaitToken(const std::string& token) {
    return token.size() >= kWaitPrefixLength && Normalised(token.substr(0, kWaitPrefixLength)) == kWaitPrefix;
}

// Removes a leading "press:" (any case) from name; true when there was one.
bool TakePressPrefix(std::string& name) {
    constexpr char kPrefix[] = "press:";
    constexpr std::size_t kLength = sizeof kPrefix - 1;
    if (name.size() <= kLength) return false;
    for (std::size_t i = 0; i < kLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kPrefix[i]) return false;
    }
    name.erase(0, kLength);
    return true;
}

}  // namespace

bool FindKey(const std::string& name, KeyStroke& key) {
    std::string wanted = Normalised(name);
    if (wanted.empty()) return false;
    for (const Alias& alias : kAliases) {
        if (wanted == alias.name) wanted = alias.legend;
    }
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            const KeyCell& cell = kKeypadGrid[row][column];
            if (Normalised(cell.legend) == wanted) {
                key = KeyStroke{name, row, column, cell.kind};
                return true;
            }
        }
    }
    return false;
}

bool ParseKeys(const std::string& text, std::vector<KeyStroke>& keys, std::string& error, const std::string& where) {
    const bool runner = where == "--keys";
    std::size_t at = 0;
    while (at < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[at])) != 0) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end])) == 0) ++end;
        const std::string name = text.substr(at, end - at);
        at = end;
        std::string keyName = name;
        const bool pressOnly = TakePressPrefix(keyName);
        KeyStroke key{};
        if (IsWaitToken(name)) {
            if (!ParseCount(name.substr(kWaitPrefixLength), UINT64_MAX, key.waitPasses) || key.waitPasses == 0) {
                error = "'" + name + "' in " + where + " is not wait:N with N idle passes from 1";
                return false;
            }
            key.name = name;
            keys.push_back(key);
            continue;
        }
        if (!FindKey(keyName, key)) {
            error = "unknown key '" + name + "' in " + where + (runner ? " (see --help for the names)" : "");
            return false;
        }
        if (key.kind == KeyKind::TapeRead || key.kind == KeyKind::TapeWrite) {
            error = "key '" + name + "' is not available here: the tape keys open file dialogs" +
                    (runner ? "; use --hex or --save-hex" : "");
            return false;
        }
        key.name = name;
        key.waitForScan = !pressOnly;
        keys.push_back(key);
    }
    return true;
}

bool ParseCount(const std::string& text, std::uint64_t max, std::uint64_t& count) {
    if (text.empty()) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;  // would not fit in 64 bits
        value = value * 10 + digit;
    }
    if (value > max) return false;
    count = value;
    return true;
}
