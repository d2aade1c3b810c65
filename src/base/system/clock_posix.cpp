// The clock on POSIX systems: the boot clock, or the monotonic one where there is none.
#include "base/system/clock.h"

#include <ctime>

namespace kelvora {

int64_t BootClockMs() {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace kelvora
