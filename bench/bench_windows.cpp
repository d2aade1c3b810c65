// Start-up to the first presented frame of the main window, and the CPU the event loop uses while
// a 100 ms timer redraws a 140 x 58 panel. The desktop cases need a display: run them with
// bench/run_windows_bench.sh (Windows: bench/run_windows_bench_wine.sh), which starts Xvfb.
// Goals: first frame within 100 ms, idle below 1 %.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/host/headless/headless_host.h"
#include "platform/layouts.h"
#include "platform/runtime.h"
#include "support/demo_main_window.h"
#include "support/desktop_host.h"

namespace {

using kelvora::Runtime;
using kelvora::bench::ProcessCpuSeconds;
using kelvora::bench::WallSeconds;

std::unique_ptr<Runtime> MakeRuntime(bool desktop) {
    if (!desktop) return std::make_unique<Runtime>(std::make_unique<kelvora::HeadlessHost>());
    std::unique_ptr<kelvora::Host> host = kelvora::bench::CreateDesktopHost();
    return host ? std::make_unique<Runtime>(std::move(host)) : nullptr;
}

// From nothing to the main window on the screen: host, fonts, layout, created handler, first present.
void FirstFrame(benchmark::State& state, bool desktop) {
    if (desktop && !kelvora::bench::HasDesktop()) {
        state.SkipWithError("no display (run bench/run_windows_bench.sh)");
        return;
    }
    for (auto _ : state) {
        const double start = WallSeconds();
        std::unique_ptr<Runtime> runtime = MakeRuntime(desktop);
        if (!runtime) {
            state.SkipWithError("the desktop host could not open a window");
            return;
        }
        kelvora::testing::RegisterDemoHandlers(*runtime);
        benchmark::DoNotOptimize(runtime->LoadWindow(kelvora::MainWindowLayout()));
        state.SetIterationTime(WallSeconds() - start);
        runtime.reset();
    }
}

void BM_MainWindowFirstFrameHeadless(benchmark::State& state) { FirstFrame(state, false); }
// Named after the host it opens, BM_MainWindowFirstFrameSdl or ...Win32, so figures of the two
// systems are never mistaken for each other.
[[maybe_unused]] const auto* const firstFrameDesktop =
    benchmark::RegisterBenchmark((std::string("BM_MainWindowFirstFrame") + kelvora::bench::kDesktopHostName).c_str(),
                                 [](benchmark::State& state) { FirstFrame(state, true); })
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_MainWindowFirstFrameHeadless)->UseManualTime()->Unit(benchmark::kMillisecond);

// One second of the real event loop with the scroller's timer redrawing its panel ten times.
void IdleEventLoop(benchmark::State& state) {
    if (!kelvora::bench::HasDesktop()) {
        state.SkipWithError("no display (run bench/run_windows_bench.sh)");
        return;
    }
    std::unique_ptr<Runtime> runtime = MakeRuntime(true);
    if (!runtime) {
        state.SkipWithError("the desktop host could not open a window");
        return;
    }
    int64_t ticks = 0;
    kelvora::testing::RegisterDemoHandlers(*runtime, &ticks);
    runtime->LoadWindow(kelvora::MainWindowLayout());
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuStart = ProcessCpuSeconds();
        const double wallStart = WallSeconds();
        runtime->RunFor(1000);
        cpu += ProcessCpuSeconds() - cpuStart;
        wall += WallSeconds() - wallStart;
    }
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
    state.counters["redraws"] = static_cast<double>(ticks);
}
[[maybe_unused]] const auto* const idleEventLoopDesktop =
    benchmark::RegisterBenchmark((std::string("BM_IdleEventLoop") + kelvora::bench::kDesktopHostName).c_str(), IdleEventLoop)
        ->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
