// The page's run with breakpoints and watchpoints: cut into calls it stops
// where one run would, it goes on from a stop, it says why, and Run back
// lands on the latest earlier stop with the same words.
#include <gtest/gtest.h>

#include "history/stopping_run.h"
#include "history_rig.h"

namespace {

struct StoppingRig : HistoryRig {
    StoppingRun stops{history, BoardRun{f.board, access.bus, cursor, keys}};

    StoppingRig() {
        f.Load(kProgramStart, {0x3E, 0x05,        // 1800h: LD A,5
                               0x32, 0x00, 0x19,  // 1802h: LD (1900h),A
                               0x3E, 0x03,        // 1805h: LD A,3
                               0x18, 0xFE});      // 1807h: JR $
        history.Begin();
    }
};

TEST(StoppingRun, ACallThatBeginsAtABreakpointStopsThereUnlessItGoesOnFromAStop) {
    StoppingRig rig;
    rig.stops.SetBreakpoint(0x1805, true);
    EXPECT_EQ(rig.stops.Run(2, true), 2u);  // the frame ends just before the breakpoint
    EXPECT_EQ(rig.stops.Cause(), StopCause::None);
    EXPECT_EQ(rig.stops.Run(100, true), 0u);
    EXPECT_EQ(rig.stops.Cause(), StopCause::Breakpoint);
    EXPECT_EQ(rig.stops.Why(), "the breakpoint at 1805h");
    rig.stops.GoOnFromHere();
    EXPECT_EQ(rig.stops.Run(100, true), 100u);
    EXPECT_EQ(rig.stops.Run(100, false), 100u) << "breakpoints off";
}

TEST(StoppingRun, WatchpointsSayWhichAndWhereAndRunBackFindsThemAgain) {
    StoppingRig rig;
    std::string error;
    ASSERT_EQ(rig.stops.Watches().AddMemory(WatchKind::Write, 0x1900, 0x1900, error), 1) << error;
    EXPECT_EQ(rig.stops.Run(100, true), 2u);
    const std::string write = "watchpoint 1 (write 1900h): 1900h written by the instruction at 1802h";
    EXPECT_EQ(rig.stops.Why(), write);
    ASSERT_EQ(rig.stops.Watches().AddCondition("A = 3", error), 2) << error;
    rig.stops.GoOnFromHere();
    EXPECT_EQ(rig.stops.Run(100, true), 1u);
    EXPECT_EQ(rig.stops.Cause(), StopCause::Watchpoint);
    EXPECT_EQ(rig.stops.Why(), "watchpoint 2 (A = 3): it came to hold after the instruction at 1805h");

    EXPECT_TRUE(rig.stops.RunBack());
    EXPECT_EQ(rig.history.Now(), 2u);
    EXPECT_EQ(rig.stops.Why(), write);
    EXPECT_FALSE(rig.stops.RunBack()) << "nothing earlier";
    EXPECT_EQ(rig.history.Now(), 0u);
    EXPECT_EQ(rig.stops.Cause(), StopCause::None);
    // Forward to the condition, a step back, and on: it comes to hold again and stops again.
    ASSERT_TRUE(rig.stops.Watches().Remove(1));
    EXPECT_EQ(rig.stops.Run(100, true), 3u);
    ASSERT_TRUE(rig.history.StepBack());
    rig.stops.GoOnFromHere();
    EXPECT_EQ(rig.stops.Run(100, true), 1u);
    EXPECT_EQ(rig.stops.Cause(), StopCause::Watchpoint);
}

TEST(StoppingRun, TemporaryStopsSkipTheFirstInstructionOnlyAtTheirStartAndEndWithAnyStop) {
    StoppingRig rig;
    rig.stops.Temporary().Add(0x1800);  // where the run begins: a step goes on from its line
    rig.stops.Temporary().Add(0x1805);
    EXPECT_EQ(rig.stops.Run(1, true), 1u);
    EXPECT_EQ(rig.stops.Run(100, true), 1u);
    EXPECT_EQ(rig.stops.Cause(), StopCause::Temporary);
    EXPECT_FALSE(rig.stops.Temporary().Any()) << "the stop ends them";

    rig.stops.GoOnFromHere();
    rig.stops.Temporary().Add(0x1807);
    EXPECT_EQ(rig.stops.Run(1, true), 1u);
    EXPECT_EQ(rig.stops.Run(100, true), 0u) << "a call that begins at one under way stops there";
    EXPECT_EQ(rig.stops.Cause(), StopCause::Temporary);

    rig.stops.Temporary().Add(0x1802);
    EXPECT_FALSE(rig.stops.RunBack()) << "Run back does not stop at them";
    EXPECT_EQ(rig.history.Now(), 0u);
}

}  // namespace
