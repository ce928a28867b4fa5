// Watchpoints: stops on a read or write of memory in a range, on IN or OUT
// at a port, and on a register condition coming to hold. Listed and removed
// by number, as breakpoints are. The run they watch goes through a WatchBus
// (history/watch_bus.h); with none set the board runs on its own bus.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/register_condition.h"

enum class WatchKind : std::uint8_t { Read, Write, PortIn, PortOut, Condition };

struct Watchpoint {
    int id;  // from 1, never used twice by one list
    WatchKind kind;
    std::uint16_t from;  // an address or port range, both ends included
    std::uint16_t to;
    RegisterCondition condition;  // kind Condition
};

// The bits of Watchpoints::MemoryFlags and PortFlags.
constexpr std::uint8_t kWatchRead = 1;   // a read, or an IN
constexpr std::uint8_t kWatchWrite = 2;  // a write, or an OUT

class Watchpoints {
public:
    Watchpoints();

    // Each returns the new watchpoint's id, or 0 with error set (then nothing is added).
    int AddMemory(WatchKind kind, std::uint16_t from, std::uint16_t to, std::string& error);
    int AddPort(WatchKind kind, unsigned from, unsigned to, std::string& error);
    int AddCondition(const std::string& text, std::string& error);
    bool Remove(int id);

    const std::vector<Watchpoint>& List() const { return list_; }
    bool Empty() const { return list_.empty(); }

    std::uint8_t MemoryFlags(std::uint16_t address) const { return memory_[address]; }
    std::uint8_t PortFlags(std::uint16_t port) const { return ports_[port & 0xFF]; }

private:
    void Rebuild();

    std::vector<Watchpoint> list_;
    int nextId_ = 1;
    std::unique_ptr<std::uint8_t[]> memory_;  // 64 KiB of kWatch bits
    std::uint8_t ports_[256] = {};
};

// A watchpoint as a line of the list: "write 1900h-190Fh", "IN port 00h", "A = 3".
std::string DescribeWatchpoint(const Watchpoint& watch);
