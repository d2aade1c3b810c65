// Timer rhythm: writing intervals, ticks after long handlers, no pile-up.
#include <gtest/gtest.h>

#include "base/timers.h"

namespace kelvora {
namespace {

TEST(TimerSchedule, IntervalWritesKeepOrRestartTheRhythm) {
    TimerSchedule timer;
    SetTimerInterval(timer, 180, 1000);
    EXPECT_EQ(timer.nextDueMs, 1180);
    // The same value again, later: the next tick is not postponed.
    SetTimerInterval(timer, 180, 1100);
    EXPECT_EQ(timer.nextDueMs, 1180);
    // Another value restarts with a full interval from now.
    SetTimerInterval(timer, 100, 1150);
    EXPECT_EQ(timer.nextDueMs, 1250);
    SetTimerInterval(timer, 0, 1200);
    EXPECT_FALSE(timer.Running());
    EXPECT_FALSE(TimerDue(timer, 99999));
    SetTimerInterval(timer, -5, 1300);
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(timer.interval, 0);
}

TEST(TimerSchedule, LateTicksDoNotPileUp) {
    TimerSchedule timer;
    SetTimerInterval(timer, 100, 0);
    EXPECT_FALSE(TimerDue(timer, 99));
    EXPECT_TRUE(TimerDue(timer, 100));
    TimerTicked(timer, 105);  // a little late: the rhythm holds
    EXPECT_EQ(timer.nextDueMs, 200);
    TimerTicked(timer, 750);  // far behind: one tick now, the next one interval later
    EXPECT_EQ(timer.nextDueMs, 850);
    EXPECT_FALSE(TimerDue(timer, 751));
}

}  // namespace
}  // namespace kelvora
