// The rhythm of a timer: when its next tick is due and how writing its interval changes that.
#pragma once

#include <cstdint>

namespace kelvora {

struct TimerSchedule {
    int32_t interval = 0;
    int64_t nextDueMs = -1;  // -1 while stopped

    bool Running() const { return nextDueMs >= 0; }
};

// Negative counts as 0. The same value keeps a running timer's rhythm; another value restarts it
// with its first tick one full interval from now; 0 stops it.
void SetTimerInterval(TimerSchedule& timer, int32_t interval, int64_t nowMs);

bool TimerDue(const TimerSchedule& timer, int64_t nowMs);

// After a tick was delivered at nowMs. A timer that fell behind (a long handler, a pause) does not
// catch up with a burst of ticks: its next tick is one interval after this one.
void TimerTicked(TimerSchedule& timer, int64_t nowMs);

}  // namespace kelvora
