// The CPU's view of the board: 64 KiB of memory, the window that decides which
// CPU writes land, the read mask over the board's empty address ranges, and the
// port hooks through which IN and OUT reach the board's I/O.
#pragma once

#include <cstdint>

#include "cpu/compiler_hints.h"

struct BoardMemory {
    std::uint8_t bytes[65536];
};

struct MemoryWindow {
    std::uint16_t romEnd;  // lowest address CPU writes may change
    std::uint16_t ramEnd;  // highest address CPU reads and writes reach
};

// The board decodes memory at 0000h-0800h and 1800h-27FFh only; everything else
// reads back as an open bus. Note the edge at 0801h, not 0800h. Within those
// ranges reads reach up to the window's ramEnd; writes land from romEnd to
// ramEnd, masked ranges included.
//
// The reach of a window, worked out once so that each access is one or two
// unsigned compares against it.
struct WindowReach {
    std::uint16_t romTop;      // reads at or below it reach memory
    std::uint16_t ramReads;    // so do reads at 1800h + 0 ... ramReads - 1
    std::uint16_t writeFrom;   // writes at writeFrom ... writeTo land
    std::uint16_t writeTo;
    std::uint16_t romFits;     // an instruction of four bytes at 0 ... romFits - 1 reads back whole,
    std::uint16_t ramFits;     // and so does one at 1800h + 0 ... ramFits - 1
};

constexpr std::uint16_t kRamStart = 0x1800;
constexpr std::uint16_t kRamTop = 0x27FF;
constexpr std::uint16_t kRomTop = 0x0800;

constexpr WindowReach ReachOf(const MemoryWindow& window) {
    const unsigned ramEnd = window.ramEnd;
    const unsigned ramTop = ramEnd < kRamTop ? ramEnd : kRamTop;
    const unsigned romTop = ramEnd < kRomTop ? ramEnd : kRomTop;
    const unsigned ramReads = ramTop >= kRamStart ? ramTop - kRamStart + 1 : 0;
    return WindowReach{static_cast<std::uint16_t>(romTop),
                       static_cast<std::uint16_t>(ramReads),
                       window.romEnd,
                       window.ramEnd,
                       static_cast<std::uint16_t>(romTop >= 3 ? romTop - 2 : 0),
                       static_cast<std::uint16_t>(ramReads > 3 ? ramReads - 3 : 0)};
}

// RAM is tested first: that is where programs run and keep their data. An
// access that reaches memory is the likely case, laid out straight through,
// where a jump taken around it would cost on every byte.
TARVO_FORCE_INLINE bool Readable(const WindowReach& reach, std::uint16_t a) {
    return TARVO_LIKELY(static_cast<std::uint16_t>(a - kRamStart) < reach.ramReads || a <= reach.romTop);
}
TARVO_FORCE_INLINE bool FitsWhole(const WindowReach& reach, std::uint16_t pc) {
    return TARVO_LIKELY(static_cast<std::uint16_t>(pc - kRamStart) < reach.ramFits || pc < reach.romFits);
}
TARVO_FORCE_INLINE bool Writable(const WindowReach& reach, std::uint16_t a) {
    return TARVO_LIKELY(a >= reach.writeFrom && a <= reach.writeTo);
}

TARVO_FORCE_INLINE std::uint8_t ReadByte(const std::uint8_t* bytes, const WindowReach& reach, std::uint16_t a) {
    return Readable(reach, a) ? bytes[a] : 0xFF;
}

// Only the first address is tested, as the board's decoder does.
TARVO_FORCE_INLINE std::uint16_t ReadWord(const std::uint8_t* bytes, const WindowReach& reach, std::uint16_t a) {
    if (!Readable(reach, a)) return 0xFFFF;
    return static_cast<std::uint16_t>(bytes[a] | bytes[static_cast<std::uint16_t>(a + 1)] << 8);
}

TARVO_FORCE_INLINE void WriteByte(std::uint8_t* bytes, const WindowReach& reach, std::uint16_t a, std::uint8_t v) {
    if (Writable(reach, a)) bytes[a] = v;
}

TARVO_FORCE_INLINE void WriteWord(std::uint8_t* bytes, const WindowReach& reach, std::uint16_t a, std::uint16_t v) {
    if (!Writable(reach, a)) return;
    bytes[a] = static_cast<std::uint8_t>(v);
    // Kept on purpose: a word written at FFFFh stores its high byte at 0000h.
    bytes[static_cast<std::uint16_t>(a + 1)] = static_cast<std::uint8_t>(v >> 8);
}

// The same, for one access through the window as it stands.
inline std::uint8_t ReadByte(const BoardMemory& memory, const MemoryWindow& window, std::uint16_t a) {
    return ReadByte(memory.bytes, ReachOf(window), a);
}
inline std::uint16_t ReadWord(const BoardMemory& memory, const MemoryWindow& window, std::uint16_t a) {
    return ReadWord(memory.bytes, ReachOf(window), a);
}
inline void WriteByte(BoardMemory& memory, const MemoryWindow& window, std::uint16_t a, std::uint8_t v) {
    WriteByte(memory.bytes, ReachOf(window), a, v);
}
inline void WriteWord(BoardMemory& memory, const MemoryWindow& window, std::uint16_t a, std::uint16_t v) {
    WriteWord(memory.bytes, ReachOf(window), a, v);
}

// The board's bus as the CPU template sees it. Ports is any type with
//   std::uint8_t BoardPortIn(std::uint16_t port);
//   void BoardPortOut(std::uint16_t port, std::uint8_t value);
// The port number is the instruction's 8-bit port, zero-extended.
template <class Ports>
struct BoardBus {
    BoardMemory& memory;
    MemoryWindow& window;
    Ports& ports;
    WindowReach reach{};  // the window's, as of the last ForRun

    // What a run of instructions holds instead (see z80::RunBus): the CPU
    // never moves the window, so its reach is worked out once per run. Two
    // words, so that the view travels in host registers, into the call for a
    // prefixed instruction too; a larger one goes through memory there, and
    // reading it back whole stalls on the smaller stores that wrote it.
    struct RunView {
        std::uint8_t* bytes;
        BoardBus* bus;

        TARVO_FORCE_INLINE std::uint8_t Read(std::uint16_t a) const { return ReadByte(bytes, bus->reach, a); }
        TARVO_FORCE_INLINE std::uint16_t ReadWord16(std::uint16_t a) const { return ReadWord(bytes, bus->reach, a); }
        TARVO_FORCE_INLINE std::uint8_t Fetch(std::uint16_t a) const { return Read(a); }
        TARVO_FORCE_INLINE std::uint16_t FetchWord16(std::uint16_t a) const { return ReadWord16(a); }
        TARVO_FORCE_INLINE void Write(std::uint16_t a, std::uint8_t v) { WriteByte(bytes, bus->reach, a, v); }
        TARVO_FORCE_INLINE void WriteWord16(std::uint16_t a, std::uint16_t v) { WriteWord(bytes, bus->reach, a, v); }
        std::uint8_t In(std::uint16_t port) { return bus->ports.BoardPortIn(port); }
        void Out(std::uint16_t port, std::uint8_t v) { bus->ports.BoardPortOut(port, v); }
        // Whether the four bytes from pc on, the longest an instruction
        // fetches, all read back from memory.
        TARVO_FORCE_INLINE bool FitsWhole(std::uint16_t pc) const { return ::FitsWhole(bus->reach, pc); }
    };
    // The view for an instruction known to fit whole (see z80::Fitting): its
    // opcode and operand fetches need no test.
    struct FittingView : RunView {
        FittingView(const RunView& view) : RunView(view) {}  // implicit: a run turns its view into this one
        TARVO_FORCE_INLINE std::uint8_t Fetch(std::uint16_t a) const { return this->bytes[a]; }
        TARVO_FORCE_INLINE std::uint16_t FetchWord16(std::uint16_t a) const {
            return static_cast<std::uint16_t>(this->bytes[a] | this->bytes[static_cast<std::uint16_t>(a + 1)] << 8);
        }
    };
    RunView ForRun() {
        reach = ReachOf(window);
        return RunView{memory.bytes, this};
    }

    std::uint8_t Read(std::uint16_t a) const { return ReadByte(memory, window, a); }
    std::uint16_t ReadWord16(std::uint16_t a) const { return ReadWord(memory, window, a); }
    void Write(std::uint16_t a, std::uint8_t v) { WriteByte(memory, window, a, v); }
    void WriteWord16(std::uint16_t a, std::uint16_t v) { WriteWord(memory, window, a, v); }
    std::uint8_t In(std::uint16_t port) { return ports.BoardPortIn(port); }
    void Out(std::uint16_t port, std::uint8_t v) { ports.BoardPortOut(port, v); }
};
