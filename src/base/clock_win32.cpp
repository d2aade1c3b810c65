// The real clock on Windows: the system's tick count (milliseconds since the machine started,
// wrapping after 49.7 days like the 32-bit count) and the system's own sleep.
#include "base/clock.h"

#include <windows.h>

namespace kelvora {

SteadyClock::SteadyClock() : startNs_(0) {}

uint32_t SteadyClock::TickMs() { return static_cast<uint32_t>(GetTickCount64()); }

void SteadyClock::SleepMs(int32_t ms) {
    if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

}  // namespace kelvora
