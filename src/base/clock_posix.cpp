// The real clock. (<chrono> cannot be used in this project: its "µs" literal has no GBK form.)
#include "base/clock.h"

#include <cerrno>
#include <ctime>

namespace kelvora {
namespace {
int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}
}  // namespace

SteadyClock::SteadyClock() : startNs_(MonotonicNs()) {}

uint32_t SteadyClock::TickMs() { return static_cast<uint32_t>((MonotonicNs() - startNs_) / 1000000); }

void SteadyClock::SleepMs(int32_t ms) {
    if (ms <= 0) return;
    timespec rest{ms / 1000, static_cast<long>(ms % 1000) * 1000000};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

}  // namespace kelvora
