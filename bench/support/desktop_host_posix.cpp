// The window benchmarks on Linux: the SDL host, on the display DISPLAY names.
#include "support/desktop_host.h"

#include <sys/resource.h>

#include <cstdlib>
#include <ctime>

#include "platform/host/sdl/sdl_host.h"

namespace kelvora::bench {

const char* const kDesktopHostName = "Sdl";

bool HasDesktop() { return std::getenv("DISPLAY") != nullptr; }

std::unique_ptr<Host> CreateDesktopHost() { return CreateSdlHost(); }

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace kelvora::bench
