// Stops set for one run that go once it stops: a step to the next source
// line (a stop at every line's first byte), Run to cursor (one address), Step
// over a CALL, RST or DJNZ (the next instruction, with the stack back where
// it was).
#pragma once

#include <bitset>
#include <cstdint>

#include "cpu/cpu_state.h"

class TemporaryStops {
public:
    void Clear() {
        if (any_) at_.reset();
        any_ = false;
        underWay_ = false;
        sp_ = -1;
    }
    void Add(std::uint16_t address) {
        at_.set(address);
        any_ = true;
    }
    // From now on the stops hold only with SP at sp (Step over).
    void RequireStack(std::uint16_t sp) { sp_ = sp; }
    bool Any() const { return any_; }
    // Once a run has begun with them: the next call of a run cut into calls
    // asks them before its first instruction too.
    bool UnderWay() const { return underWay_; }
    void SetUnderWay() { underWay_ = any_; }
    bool Reached(const CpuState& cpu) const { return any_ && at_.test(cpu.PC) && (sp_ < 0 || cpu.SP == sp_); }

private:
    std::bitset<65536> at_;
    bool any_ = false;
    bool underWay_ = false;
    int sp_ = -1;
};
