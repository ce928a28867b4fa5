// Watchpoints: each kind stops the run just after the instruction that did
// it, Run back finds them too, and a bad watchpoint is refused saying why.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history_rig.h"

namespace {

// Each instruction does one watched thing; the comment gives its count.
void LoadWatchedProgram(BoardFixture& f) {
    f.Load(kProgramStart, {0x3E, 0x05,        // 1800h 1: LD A,5
                           0xB7,              // 1802h 2: OR A (Z clear)
                           0x32, 0x00, 0x19,  // 1803h 3: LD (1900h),A
                           0x21, 0x00, 0x19,  // 1806h 4: LD HL,1900h
                           0x46,              // 1809h 5: LD B,(HL)
                           0xD3, 0x01,        // 180Ah 6: OUT (01h),A
                           0xDB, 0x00,        // 180Ch 7: IN A,(00h)
                           0x3E, 0x03,        // 180Eh 8: LD A,3
                           0xAF,              // 1810h 9: XOR A (Z set)
                           0x18, 0xFE});      // 1811h: JR $
}

struct WatchCase {
    const char* name;
    int (*add)(Watchpoints&, std::string&);
    std::uint64_t ran;  // instructions before the stop: the last one did it
};

const WatchCase kCases[] = {
    {"write", [](Watchpoints& w, std::string& e) { return w.AddMemory(WatchKind::Write, 0x18FF, 0x1900, e); }, 3},
    {"HL >= 1900h", [](Watchpoints& w, std::string& e) { return w.AddCondition("HL >= 1900h", e); }, 4},
    {"read", [](Watchpoints& w, std::string& e) { return w.AddMemory(WatchKind::Read, 0x1900, 0x1900, e); }, 5},
    {"OUT", [](Watchpoints& w, std::string& e) { return w.AddPort(WatchKind::PortOut, 0x01, 0x01, e); }, 6},
    {"IN", [](Watchpoints& w, std::string& e) { return w.AddPort(WatchKind::PortIn, 0x00, 0x03, e); }, 7},
    {"a = 3", [](Watchpoints& w, std::string& e) { return w.AddCondition("a = 3", e); }, 8},
    {"Z set", [](Watchpoints& w, std::string& e) { return w.AddCondition("Z set", e); }, 9},
};

TEST(Watchpoints, EachKindStopsJustAfterTheInstructionThatDidIt) {
    for (const WatchCase& c : kCases) {
        SCOPED_TRACE(c.name);
        HistoryRig rig;
        LoadWatchedProgram(rig.f);
        rig.history.Begin();
        Watchpoints watches;
        std::string error;
        ASSERT_NE(c.add(watches, error), 0) << error;
        WatchBus bus(rig.f.board, watches);
        WatchStop stop(bus, watches);
        stop.Prime(rig.f.board);
        EXPECT_EQ(rig.history.RunUntilOn(bus, 100, stop), c.ran);
        EXPECT_EQ(rig.history.RunUntilOn(bus, 100, stop), 100u) << "nothing more after it";
        // Run back comes to the same place.
        EXPECT_TRUE(rig.history.RunBackOn(bus, stop));
        EXPECT_EQ(rig.history.Now(), c.ran);
    }
}

TEST(Watchpoints, InstructionFetchesAreNotReads) {
    HistoryRig rig;
    LoadWatchedProgram(rig.f);
    Watchpoints watches;
    std::string error;
    watches.AddMemory(WatchKind::Read, kProgramStart, 0x1812, error);
    WatchBus bus(rig.f.board, watches);
    WatchStop stop(bus, watches);
    EXPECT_EQ(rig.history.RunUntilOn(bus, 1000, stop), 1000u);
}

TEST(Watchpoints, AreListedRemovedAndRefusedWithAReason) {
    Watchpoints w;
    std::string error;
    const int write = w.AddMemory(WatchKind::Write, 0x1900, 0x190F, error);
    const int in = w.AddPort(WatchKind::PortIn, 0, 0, error);
    const int condition = w.AddCondition("  hl >= 1900h ", error);
    std::vector<std::string> lines;
    for (const Watchpoint& watch : w.List()) lines.push_back(DescribeWatchpoint(watch));
    EXPECT_EQ(lines, (std::vector<std::string>{"write 1900h-190Fh", "IN port 00h", "hl >= 1900h"}));
    EXPECT_TRUE(w.Remove(in));
    EXPECT_FALSE(w.Remove(in));
    EXPECT_EQ(w.PortFlags(0), 0);
    EXPECT_EQ(w.MemoryFlags(0x190F), kWatchWrite);
    EXPECT_TRUE(w.Remove(write));
    EXPECT_EQ(w.MemoryFlags(0x190F), 0);
    EXPECT_EQ(w.AddMemory(WatchKind::Read, 0, 0, error), condition + 1) << "ids are not used twice";

    const struct {
        int id;
        const char* error;
    } refused[] = {
        {w.AddMemory(WatchKind::Write, 0x1910, 0x1900, error), "the range 1910h-1900h ends before it starts"},
        {w.AddPort(WatchKind::PortOut, 0x00, 0x100, error), "port 100h is past FFh: ports are 8 bits"},
        {w.AddCondition("Q = 1", error), "column 1: 'Q' is not a register"},
    };
    for (const auto& r : refused) EXPECT_EQ(r.id, 0);
    EXPECT_EQ(w.List().size(), 2u);
    EXPECT_NE(error.find(refused[2].error), std::string::npos) << error;
}

TEST(RegisterCondition, ReadsWhatALearnerTypesAndSaysWhereItIsWrong) {
    CpuState cpu{};
    cpu.AF = 0x0341;  // A = 3, Z and C set
    cpu.HL = 0x1900;
    cpu.IX = 0xFFFF;
    const struct {
        const char* text;
        bool holds;
    } good[] = {{"A = 3", true},       {"A==03h", true},       {"a != 3", false},    {"HL >= 1900h", true},
                {"HL > 1900h", false}, {"hl < 6401", true},     {"IX = 0FFFFh", true}, {"F <= 41h", true},
                {"Z set", true},       {"c clear", false},      {"P/V clear", true},  {"H set", false},
                {"B = 0", true},       {"IX <> FFFFh", false}};
    for (const auto& g : good) {
        const ConditionParse parse = ParseRegisterCondition(g.text);
        ASSERT_TRUE(parse.ok) << g.text << ": " << parse.error;
        EXPECT_EQ(ConditionHolds(parse.condition, cpu), g.holds) << g.text;
    }
    const struct {
        const char* text;
        const char* error;
    } bad[] = {{"", "the condition is empty"},
               {"= 3", "column 1: expected a register or a flag"},
               {"A", "column 2: expected a comparison"},
               {"A = ", "column 5: expected a number"},
               {"A = 12x", "column 5: expected a number (decimal, or hex with an h suffix such as 1900h), not '12x'"},
               {"A = 100h", "column 5: 100h does not fit in 8-bit register A (at most 0FFh)"},
               {"HL = 10000h", "does not fit in 16-bit register HL (at most 0FFFFh)"},
               {"Q set", "column 1: 'Q' is not a flag"},
               {"Z = 1", "column 1: 'Z' is not a register"},
               {"A = 3 and", "column 7: unexpected text after the condition"}};
    for (const auto& b : bad) {
        const ConditionParse parse = ParseRegisterCondition(b.text);
        EXPECT_FALSE(parse.ok) << b.text;
        EXPECT_NE(parse.error.find(b.error), std::string::npos) << b.text << " gave: " << parse.error;
    }
}

}  // namespace
