// Opens the main window from its layout on the real display, for the end-to-end test and the
// start-up and idle measurements. Options:
//   --ready-file PATH   written once the first frame of the main window has been presented
//   --seconds N         closes the window after N seconds (default: runs until closed)
//   --measure           prints start-up time and the CPU used while idling
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/host/sdl/sdl_host.h"
#include "platform/layouts.h"
#include "platform/runtime.h"
#include "support/demo_main_window.h"

namespace {

double MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double RealtimeMs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    const double startMs = MonotonicMs();
    std::string readyFile;
    int seconds = -1;
    bool measure = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ready-file") == 0 && i + 1 < argc) {
            readyFile = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--measure") == 0) {
            measure = true;
        }
    }

    std::string error;
    std::unique_ptr<kelvora::Host> host = kelvora::CreateSdlHost(&error);
    if (!host) {
        std::fprintf(stderr, "no display: %s\n", error.c_str());
        return 2;
    }
    const double sdlMs = MonotonicMs();
    kelvora::Runtime runtime(std::move(host));
    const double runtimeMs = MonotonicMs();
    int64_t ticks = 0;
    kelvora::testing::RegisterDemoHandlers(runtime, &ticks);
    const kelvora::WindowRef main = runtime.LoadWindow(kelvora::MainWindowLayout());
    // LoadWindow returns once the window is shown and its first frame presented.
    const double firstFrameMs = MonotonicMs();
    const double firstFrameRealtimeMs = RealtimeMs();

    if (!readyFile.empty()) {
        if (FILE* ready = std::fopen(readyFile.c_str(), "w")) {
            std::fprintf(ready, "%d %d %.3f\n", runtime.ClientWidth(main), runtime.ClientHeight(main),
                         firstFrameRealtimeMs);
            std::fclose(ready);
        }
    }
    if (measure) {
        std::printf("first frame after %.1f ms in main() (SDL %.1f, runtime and fonts %.1f, window %.1f)\n",
                    firstFrameMs - startMs, sdlMs - startMs, runtimeMs - sdlMs, firstFrameMs - runtimeMs);
    }

    const double idleStartWall = MonotonicMs();
    const double idleStartCpu = CpuMs();
    const int64_t ticksBefore = ticks;
    if (seconds >= 0) {
        runtime.RunFor(seconds * 1000);
    } else {
        runtime.RunEventLoop();
    }
    if (measure) {
        const double wall = MonotonicMs() - idleStartWall;
        const double cpu = CpuMs() - idleStartCpu;
        std::printf("idle: %.1f ms CPU in %.1f ms (%.2f %% of one core), %lld redraws of the 140 x 58 panel\n", cpu,
                    wall, wall > 0 ? 100.0 * cpu / wall : 0.0, static_cast<long long>(ticks - ticksBefore));
    }
    return 0;
}
