#include "history/watchpoints.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return std::string(text) + "h";
}

std::string Range(const Watchpoint& w, int digits) {
    return w.from == w.to ? Hex(w.from, digits) : Hex(w.from, digits) + "-" + Hex(w.to, digits);
}

}  // namespace

Watchpoints::Watchpoints() : memory_(new std::uint8_t[65536]()) {}

int Watchpoints::AddMemory(WatchKind kind, std::uint16_t from, std::uint16_t to, std::string& error) {
    if (kind != WatchKind::Read && kind != WatchKind::Write) {
        error = "a memory watchpoint watches reads or writes";
        return 0;
    }
    if (from > to) {
        error = "the range " + Hex(from, 4) + "-" + Hex(to, 4) + " ends before it starts";
        return 0;
    }
    list_.push_back(Watchpoint{nextId_, kind, from, to, RegisterCondition{}});
    Rebuild();
    return nextId_++;
}

int Watchpoints::AddPort(WatchKind kind, unsigned from, unsigned to, std::string& error) {
    if (kind != WatchKind::PortIn && kind != WatchKind::PortOut) {
        error = "a port watchpoint watches IN or OUT";
        return 0;
    }
    if (from > 0xFF || to > 0xFF) {
        error = "port " + Hex(std::max(from, to), 2) + " is past FFh: ports are 8 bits";
        return 0;
    }
    if (from > to) {
        error = "the ports " + Hex(from, 2) + "-" + Hex(to, 2) + " end before they start";
        return 0;
    }
    list_.push_back(Watchpoint{nextId_, kind, static_cast<std::uint16_t>(from), static_cast<std::uint16_t>(to),
                               RegisterCondition{}});
    Rebuild();
    return nextId_++;
}

int Watchpoints::AddCondition(const std::string& text, std::string& error) {
    const ConditionParse parse = ParseRegisterCondition(text);
    if (!parse.ok) {
        error = parse.error;
        return 0;
    }
    list_.push_back(Watchpoint{nextId_, WatchKind::Condition, 0, 0, parse.condition});
    return nextId_++;
}

bool Watchpoints::Remove(int id) {
    const auto it = std::find_if(list_.begin(), list_.end(), [id](const Watchpoint& w) { return w.id == id; });
    if (it == list_.end()) return false;
    list_.erase(it);
    Rebuild();
    return true;
}

void Watchpoints::Rebuild() {
    std::fill(memory_.get(), memory_.get() + 65536, std::uint8_t{0});
    std::fill(std::begin(ports_), std::end(ports_), std::uint8_t{0});
    for (const Watchpoint& w : list_) {
        if (w.kind == WatchKind::Condition) continue;
        const bool port = w.kind == WatchKind::PortIn || w.kind == WatchKind::PortOut;
        const std::uint8_t bit = w.kind == WatchKind::Read || w.kind == WatchKind::PortIn ? kWatchRead : kWatchWrite;
        std::uint8_t* flags = port ? ports_ : memory_.get();
        for (unsigned a = w.from; a <= w.to; ++a) flags[a] = static_cast<std::uint8_t>(flags[a] | bit);
    }
}

std::string DescribeWatchpoint(const Watchpoint& watch) {
    switch (watch.kind) {
        case WatchKind::Read: return "read " + Range(watch, 4);
        case WatchKind::Write: return "write " + Range(watch, 4);
        case WatchKind::PortIn: return "IN port " + Range(watch, 2);
        case WatchKind::PortOut: return "OUT port " + Range(watch, 2);
        case WatchKind::Condition: return watch.condition.text;
    }
    return std::string();
}
