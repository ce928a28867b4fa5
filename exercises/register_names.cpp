#include "exercises/register_names.h"

#include <cctype>

#include "board/monitor_view.h"

namespace {

struct Registers {
    std::uint16_t AF, BC, DE, HL, AF_, BC_, DE_, HL_, IX, IY, SP, PC, I, R;
};

Registers Of(const Board& board, RegisterSource source) {
    if (source == RegisterSource::Monitor) {
        const MonitorSavedRegisters s = ViewOfMonitor(board).saved;
        return {s.AF, s.BC, s.DE, s.HL, s.AF_, s.BC_, s.DE_, s.HL_, s.IX, s.IY, s.SP, s.PC, s.I, 0};
    }
    const CpuState& c = board.cpu;
    return {c.AF,
            c.BC,
            c.DE,
            c.HL,
            c.AF_,
            c.BC_,
            c.DE_,
            c.HL_,
            c.IX,
            c.IY,
            c.SP,
            c.PC,
            static_cast<std::uint16_t>(c.I & 0xFFu),
            static_cast<std::uint16_t>(c.R & 0xFFu)};
}

// A name's place: a pair, and for a single register which half (8 high, 0 low, -1 the pair).
struct Place {
    const char* name;
    std::uint16_t Registers::*pair;
    int shift;
};

constexpr Place kPlaces[] = {
    {"AF", &Registers::AF, -1},   {"BC", &Registers::BC, -1},   {"DE", &Registers::DE, -1},
    {"HL", &Registers::HL, -1},   {"AF'", &Registers::AF_, -1}, {"BC'", &Registers::BC_, -1},
    {"DE'", &Registers::DE_, -1}, {"HL'", &Registers::HL_, -1}, {"IX", &Registers::IX, -1},
    {"IY", &Registers::IY, -1},   {"SP", &Registers::SP, -1},   {"PC", &Registers::PC, -1},
    {"A", &Registers::AF, 8},     {"F", &Registers::AF, 0},     {"B", &Registers::BC, 8},
    {"C", &Registers::BC, 0},     {"D", &Registers::DE, 8},     {"E", &Registers::DE, 0},
    {"H", &Registers::HL, 8},     {"L", &Registers::HL, 0},     {"I", &Registers::I, 0},
    {"R", &Registers::R, 0},
};

const Place* Find(const std::string& name, RegisterSource source) {
    if (source == RegisterSource::Monitor && name == "R") return nullptr;
    for (const Place& place : kPlaces) {
        if (name == place.name) return &place;
    }
    return nullptr;
}

}  // namespace

std::string UpperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

int RegisterWidth(const std::string& name, RegisterSource source) {
    const Place* place = Find(name, source);
    if (place == nullptr) return 0;
    return place->shift < 0 ? 16 : 8;
}

std::string UnknownRegisterText(const std::string& name, RegisterSource source) {
    return "unknown register '" + name + "' (known: A F B C D E H L I" + (source == RegisterSource::Cpu ? " R" : "") +
           ", AF BC DE HL, AF' BC' DE' HL', IX IY SP PC)";
}

std::uint16_t ReadRegister(const Board& board, const std::string& name, RegisterSource source) {
    const Place* place = Find(name, source);
    if (place == nullptr) return 0;
    const std::uint16_t pair = Of(board, source).*(place->pair);
    return place->shift < 0 ? pair : static_cast<std::uint16_t>((pair >> place->shift) & 0xFFu);
}
