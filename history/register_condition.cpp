#include "history/register_condition.h"

#include <cctype>
#include <cstddef>

#include "cpu/flags.h"

namespace {

struct RegisterName {
    const char* name;
    bool wide;
};

// In this order for RegisterCondition::which.
constexpr RegisterName kRegisters[] = {{"A", false},  {"F", false},  {"B", false},  {"C", false},  {"D", false},
                                       {"E", false},  {"H", false},  {"L", false},  {"I", false},  {"R", false},
                                       {"AF", true},  {"BC", true},  {"DE", true},  {"HL", true},  {"IX", true},
                                       {"IY", true},  {"SP", true},  {"PC", true}};

struct FlagName {
    const char* name;
    std::uint8_t bit;
};
constexpr FlagName kFlags[] = {{"Z", kFlagZ},  {"C", kFlagC},  {"S", kFlagS},
                               {"P/V", kFlagPV}, {"PV", kFlagPV}, {"H", kFlagH},
                               {"N", kFlagN}};

constexpr const char* kNamesHelp = "registers A F B C D E H L I R AF BC DE HL IX IY SP PC, flags Z C S P/V H N";

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Column(std::size_t index) { return "column " + std::to_string(index + 1); }

std::string HexText(unsigned value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (!std::isdigit(static_cast<unsigned char>(text[0]))) text.insert(text.begin(), '0');
    return text + "h";
}

// Reads the pieces of a condition one after another; the first fault ends it.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    void SkipSpaces() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    std::size_t At() const { return at_; }
    bool AtEnd() const { return at_ >= text_.size(); }

    std::string Word() {
        const std::size_t start = at_;
        while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '/')) ++at_;
        return text_.substr(start, at_ - start);
    }

    bool Comparator(Comparison& out) {
        static const struct {
            const char* text;
            Comparison comparison;
        } kComparators[] = {{"==", Comparison::Equal},      {"!=", Comparison::NotEqual},
                            {"<>", Comparison::NotEqual},   {"<=", Comparison::LessOrEqual},
                            {">=", Comparison::GreaterOrEqual}, {"=", Comparison::Equal},
                            {"<", Comparison::Less},        {">", Comparison::Greater}};
        for (const auto& c : kComparators) {
            const std::string op = c.text;
            if (text_.compare(at_, op.size(), op) == 0) {
                at_ += op.size();
                out = c.comparison;
                return true;
            }
        }
        return false;
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
};

// A number as a word: decimal digits, or hex digits with an h suffix.
bool NumberOf(const std::string& word, unsigned long& value) {
    if (word.empty()) return false;
    const bool hex = word.back() == 'h' || word.back() == 'H';
    const std::string digits = hex ? word.substr(0, word.size() - 1) : word;
    if (digits.empty() || digits.size() > 8) return false;
    value = 0;
    for (char c : digits) {
        const auto u = static_cast<unsigned char>(c);
        if (hex ? !std::isxdigit(u) : !std::isdigit(u)) return false;
        const unsigned long digit = std::isdigit(u) ? static_cast<unsigned long>(u - '0')
                                                    : static_cast<unsigned long>(std::toupper(u) - 'A' + 10);
        value = value * (hex ? 16ul : 10ul) + digit;
    }
    return true;
}

ConditionParse Fail(const std::string& error) { return ConditionParse{false, RegisterCondition{}, error}; }

std::uint16_t RegisterValue(std::uint8_t which, const CpuState& cpu) {
    const auto high = [](std::uint16_t pair) { return static_cast<std::uint16_t>(pair >> 8); };
    const auto low = [](std::uint16_t pair) { return static_cast<std::uint16_t>(pair & 0xFF); };
    const std::uint16_t values[] = {high(cpu.AF), low(cpu.AF), high(cpu.BC), low(cpu.BC), high(cpu.DE), low(cpu.DE),
                                    high(cpu.HL), low(cpu.HL), low(cpu.I),   low(cpu.R),  cpu.AF,       cpu.BC,
                                    cpu.DE,       cpu.HL,      cpu.IX,       cpu.IY,      cpu.SP,       cpu.PC};
    return values[which];
}

}  // namespace

ConditionParse ParseRegisterCondition(const std::string& text) {
    Reader in(text);
    in.SkipSpaces();
    const std::size_t start = in.At();
    if (in.AtEnd()) return Fail("the condition is empty: give a register and a value (A = 3), or a flag (Z set)");
    const std::size_t nameAt = in.At();
    const std::string name = Upper(in.Word());
    if (name.empty()) return Fail(Column(nameAt) + ": expected a register or a flag (" + kNamesHelp + ")");
    in.SkipSpaces();
    const std::size_t nextAt = in.At();

    RegisterCondition condition{};
    Comparison comparison = Comparison::Equal;
    if (in.Comparator(comparison)) {
        int which = -1;
        for (std::size_t i = 0; i < sizeof kRegisters / sizeof kRegisters[0]; ++i) {
            if (name == kRegisters[i].name) which = static_cast<int>(i);
        }
        if (which < 0) return Fail(Column(nameAt) + ": '" + name + "' is not a register (" + kNamesHelp + ")");
        in.SkipSpaces();
        const std::size_t numberAt = in.At();
        const std::string number = in.Word();
        unsigned long value = 0;
        if (!NumberOf(number, value)) {
            return Fail(Column(numberAt) + ": expected a number (decimal, or hex with an h suffix such as 1900h)" +
                        (number.empty() ? std::string() : ", not '" + number + "'"));
        }
        const bool wide = kRegisters[which].wide;
        if (value > (wide ? 0xFFFFul : 0xFFul)) {
            return Fail(Column(numberAt) + ": " + number + " does not fit in " + (wide ? "16" : "8") + "-bit register " +
                        name + " (at most " + HexText(wide ? 0xFFFFu : 0xFFu) + ")");
        }
        condition.onFlag = false;
        condition.which = static_cast<std::uint8_t>(which);
        condition.comparison = comparison;
        condition.value = static_cast<std::uint16_t>(value);
    } else {
        const std::string state = Upper(in.Word());
        if (state != "SET" && state != "CLEAR") {
            return Fail(Column(nextAt) + ": expected a comparison (= != < <= > >=) after " + name +
                        ", or 'set' or 'clear' after a flag");
        }
        int bit = -1;
        for (const FlagName& flag : kFlags) {
            if (name == flag.name) bit = flag.bit;
        }
        if (bit < 0) return Fail(Column(nameAt) + ": '" + name + "' is not a flag (Z C S P/V H N)");
        condition.onFlag = true;
        condition.which = static_cast<std::uint8_t>(bit);
        condition.flagSet = state == "SET";
    }
    in.SkipSpaces();
    if (!in.AtEnd()) return Fail(Column(in.At()) + ": unexpected text after the condition");
    std::size_t end = text.size();
    while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    condition.text = text.substr(start, end - start);
    return ConditionParse{true, condition, std::string()};
}

bool ConditionHolds(const RegisterCondition& condition, const CpuState& cpu) {
    if (condition.onFlag) return ((cpu.AF & condition.which) != 0) == condition.flagSet;
    const std::uint16_t v = RegisterValue(condition.which, cpu);
    switch (condition.comparison) {
        case Comparison::Equal: return v == condition.value;
        case Comparison::NotEqual: return v != condition.value;
        case Comparison::Less: return v < condition.value;
        case Comparison::LessOrEqual: return v <= condition.value;
        case Comparison::Greater: return v > condition.value;
        case Comparison::GreaterOrEqual: return v >= condition.value;
    }
    return false;
}
