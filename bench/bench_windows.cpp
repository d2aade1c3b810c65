// Start-up to the first presented frame of the main window, and the CPU the event loop uses while
// a 100 ms timer redraws a 140 x 58 panel. The SDL cases need a display: run them with
// bench/run_windows_bench.sh, which starts Xvfb. Goals: first frame within 100 ms, idle below 1 %.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/host/headless_host.h"
#include "platform/host/sdl_host.h"
#include "platform/layouts.h"
#include "platform/runtime.h"
#include "support/demo_main_window.h"

namespace {

using kelvora::Runtime;

double CpuSeconds() {
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

std::unique_ptr<Runtime> MakeRuntime(bool sdl) {
    if (!sdl) return std::make_unique<Runtime>(std::make_unique<kelvora::HeadlessHost>());
    std::unique_ptr<kelvora::Host> host = kelvora::CreateSdlHost();
    return host ? std::make_unique<Runtime>(std::move(host)) : nullptr;
}

// From nothing to the main window on the screen: host, fonts, layout, created handler, first present.
void FirstFrame(benchmark::State& state, bool sdl) {
    if (sdl && !std::getenv("DISPLAY")) {
        state.SkipWithError("no display (run bench/run_windows_bench.sh)");
        return;
    }
    for (auto _ : state) {
        const double start = WallSeconds();
        std::unique_ptr<Runtime> runtime = MakeRuntime(sdl);
        if (!runtime) {
            state.SkipWithError("SDL could not open the display");
            return;
        }
        kelvora::testing::RegisterDemoHandlers(*runtime);
        benchmark::DoNotOptimize(runtime->LoadWindow(kelvora::MainWindowLayout()));
        state.SetIterationTime(WallSeconds() - start);
        runtime.reset();
    }
}

void BM_MainWindowFirstFrameSdl(benchmark::State& state) { FirstFrame(state, true); }
void BM_MainWindowFirstFrameHeadless(benchmark::State& state) { FirstFrame(state, false); }
BENCHMARK(BM_MainWindowFirstFrameSdl)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_MainWindowFirstFrameHeadless)->UseManualTime()->Unit(benchmark::kMillisecond);

// One second of the real event loop with the scroller's timer redrawing its panel ten times.
void BM_IdleEventLoopSdl(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no display (run bench/run_windows_bench.sh)");
        return;
    }
    std::unique_ptr<Runtime> runtime = MakeRuntime(true);
    if (!runtime) {
        state.SkipWithError("SDL could not open the display");
        return;
    }
    int64_t ticks = 0;
    kelvora::testing::RegisterDemoHandlers(*runtime, &ticks);
    runtime->LoadWindow(kelvora::MainWindowLayout());
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuStart = CpuSeconds();
        const double wallStart = WallSeconds();
        runtime->RunFor(1000);
        cpu += CpuSeconds() - cpuStart;
        wall += WallSeconds() - wallStart;
    }
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
    state.counters["redraws"] = static_cast<double>(ticks);
}
BENCHMARK(BM_IdleEventLoopSdl)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
