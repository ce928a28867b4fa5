// The board's bus with watchpoints on it: every data read and write of
// memory and every IN and OUT is checked against the watched addresses and
// ports, and the first hit since the last look is kept. Instruction fetches
// are not reads here. Only a run with watchpoints set goes through it; the
// board's own bus stays as fast as ever.
//
// WatchStop is the stop a run asks before each instruction: a watched access
// by the instruction before, or a register condition that has just come to
// hold. So a run stops just after the instruction that did it.
#pragma once

#include <cstdint>
#include <vector>

#include "board/board.h"
#include "cpu/compiler_hints.h"
#include "history/watchpoints.h"

struct WatchHit {
    WatchKind kind;
    std::uint16_t address;  // or port
};

class WatchBus {
public:
    WatchBus(Board& board, const Watchpoints& watches)
        : watches_(watches), ports_{board}, inner_{board.memory, board.window, ports_} {}
    WatchBus(const WatchBus&) = delete;
    WatchBus& operator=(const WatchBus&) = delete;

    // Whether a watched access came since the last call; it is forgotten then.
    bool TakeHit(WatchHit& hit) {
        if (!hit_) return false;
        hit = first_;
        hit_ = false;
        return true;
    }

    void Note(std::uint8_t flags, std::uint8_t bit, WatchKind kind, std::uint16_t address) {
        if ((flags & bit) == 0 || hit_) return;
        hit_ = true;
        first_ = WatchHit{kind, address};
    }
    void NoteRead(std::uint16_t a) { Note(watches_.MemoryFlags(a), kWatchRead, WatchKind::Read, a); }
    void NoteWrite(std::uint16_t a) { Note(watches_.MemoryFlags(a), kWatchWrite, WatchKind::Write, a); }
    std::uint8_t In(std::uint16_t port) {
        Note(watches_.PortFlags(port), kWatchRead, WatchKind::PortIn, port);
        return inner_.In(port);
    }
    void Out(std::uint16_t port, std::uint8_t v) {
        Note(watches_.PortFlags(port), kWatchWrite, WatchKind::PortOut, port);
        inner_.Out(port, v);
    }

    // Each watched access is a call, not inlined at every access of the
    // dispatch: that keeps this bus's copy of the dispatch small in the page's
    // module, and a watched run is slow in any case.
    struct RunView {
        BoardCpuBus::RunView inner;
        WatchBus* bus;

        TARVO_NO_INLINE std::uint8_t Read(std::uint16_t a) const {
            bus->NoteRead(a);
            return inner.Read(a);
        }
        TARVO_NO_INLINE std::uint16_t ReadWord16(std::uint16_t a) const {
            bus->NoteRead(a);
            bus->NoteRead(static_cast<std::uint16_t>(a + 1));
            return inner.ReadWord16(a);
        }
        std::uint8_t Fetch(std::uint16_t a) const { return inner.Fetch(a); }
        std::uint16_t FetchWord16(std::uint16_t a) const { return inner.FetchWord16(a); }
        TARVO_NO_INLINE void Write(std::uint16_t a, std::uint8_t v) {
            bus->NoteWrite(a);
            inner.Write(a, v);
        }
        TARVO_NO_INLINE void WriteWord16(std::uint16_t a, std::uint16_t v) {
            bus->NoteWrite(a);
            bus->NoteWrite(static_cast<std::uint16_t>(a + 1));
            inner.WriteWord16(a, v);
        }
        std::uint8_t In(std::uint16_t port) { return bus->In(port); }
        void Out(std::uint16_t port, std::uint8_t v) { bus->Out(port, v); }
    };
    RunView ForRun() { return RunView{inner_.ForRun(), this}; }

    // Outside a run: the opcode fetch of a single step (not watched), and the
    // interrupts' stack pushes and vector read (watched).
    std::uint8_t Read(std::uint16_t a) const { return inner_.Read(a); }
    std::uint16_t ReadWord16(std::uint16_t a) {
        NoteRead(a);
        NoteRead(static_cast<std::uint16_t>(a + 1));
        return inner_.ReadWord16(a);
    }
    void Write(std::uint16_t a, std::uint8_t v) {
        NoteWrite(a);
        inner_.Write(a, v);
    }
    void WriteWord16(std::uint16_t a, std::uint16_t v) {
        NoteWrite(a);
        NoteWrite(static_cast<std::uint16_t>(a + 1));
        inner_.WriteWord16(a, v);
    }

private:
    const Watchpoints& watches_;
    BoardPorts ports_;
    BoardCpuBus inner_;
    bool hit_ = false;
    WatchHit first_{};
};

class WatchStop {
public:
    WatchStop(WatchBus& bus, const Watchpoints& watches) : bus_(bus), watches_(watches) {}

    // The conditions that hold on the board as it stands count as met already:
    // call it before a run, so that only a change the run makes stops it.
    void Prime(const Board& board) {
        held_.clear();
        for (const Watchpoint& w : watches_.List()) {
            held_.push_back(w.kind == WatchKind::Condition && ConditionHolds(w.condition, board.cpu));
        }
        WatchHit ignored{};
        bus_.TakeHit(ignored);
    }

    // True before an instruction when the one before it hit a watched address
    // or port, or made a condition hold that did not; why is then in Reason().
    bool operator()(const Board& board) {
        if (held_.size() != watches_.List().size()) Prime(board);
        bool stop = false;
        if (bus_.TakeHit(hit_)) {
            stop = true;
            reasonId_ = 0;
        }
        for (std::size_t i = 0; i < held_.size(); ++i) {
            const Watchpoint& w = watches_.List()[i];
            if (w.kind != WatchKind::Condition) continue;
            const bool holds = ConditionHolds(w.condition, board.cpu);
            if (holds && !held_[i] && !stop) {
                stop = true;
                reasonId_ = w.id;
            }
            held_[i] = holds;
        }
        return stop;
    }

    // The id of the condition that stopped the run, or 0 for a watched access (then in Hit()).
    int ReasonId() const { return reasonId_; }
    const WatchHit& Hit() const { return hit_; }

private:
    WatchBus& bus_;
    const Watchpoints& watches_;
    std::vector<bool> held_;
    WatchHit hit_{};
    int reasonId_ = 0;
};
