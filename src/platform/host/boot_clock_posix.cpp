// The tick count on Linux: the boot clock, which also counts the time the machine was suspended,
// so that the first game of a run is seeded by a value no start-up sequence repeats.
#include "platform/host/boot_clock.h"

#include <ctime>

namespace kelvora {

uint32_t BootTickMs() {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace kelvora
