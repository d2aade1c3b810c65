// Timer rhythm.
#include "base/timers.h"

namespace kelvora {

void SetTimerInterval(TimerSchedule& timer, int32_t interval, int64_t nowMs) {
    if (interval < 0) interval = 0;
    if (interval == timer.interval) return;
    timer.interval = interval;
    timer.nextDueMs = interval > 0 ? nowMs + interval : -1;
}

bool TimerDue(const TimerSchedule& timer, int64_t nowMs) { return timer.Running() && nowMs >= timer.nextDueMs; }

void TimerTicked(TimerSchedule& timer, int64_t nowMs) {
    if (!timer.Running()) return;
    const int64_t next = timer.nextDueMs + timer.interval;
    timer.nextDueMs = next > nowMs ? next : nowMs + timer.interval;
}

}  // namespace kelvora
