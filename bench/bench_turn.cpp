// The cost of a whole turn beyond the pauses the game prescribes: a ball is selected, travels four
// steps, and three new balls grow in. On the headless host every pause takes no real time, so
// what is measured is the drawing, composing and presenting between the pauses.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "game/rules/cells.h"
#include "game/spawning.h"
#include "game/turn.h"
#include "platform/host/headless/headless_host.h"
#include "presentation/board_drawing.h"
#include "presentation/sprites.h"
#include "support/desktop_host.h"
#include "support/temp_dir.h"
#include "windows/application.h"

namespace kelvora {
namespace {

struct TurnRig {
    testing::TempDir folder;  // declared first, so it goes only after the game let go of its files
    std::unique_ptr<Application> app;
    Board start{};

    TurnRig() {
        auto host = std::make_unique<HeadlessHost>();
        host->SetProgramDirectory(folder.Path());
        host->SetUserDataDirectory(folder.Path());
        app = std::make_unique<Application>(std::move(host));
        StartKelvora(*app);
        // A scattered board of balls of many colours that make no line, with room to move.
        for (int32_t cell = 1; cell <= kCellCount; ++cell) {
            const ColumnRow at = CellToColumnRow(cell);
            if ((at.column + at.row) % 3 == 0) start[cell] = 2 + (at.column * 3 + at.row) % 7;
        }
        start[1] = kRed;
        for (int32_t cell : {2, 3, 4, 5, 14}) start[cell] = kEmpty;
    }

    void Reset() {
        GameState& game = app->game;
        game.board = start;
        game.selectedCell = 0;
        game.nextBalls = {kBlue, kGreen, kYellow};
        for (int32_t cell = 1; cell <= kCellCount; ++cell) DrawBallAt(app->stage, cell, start[cell], kSpriteResting);
        app->runtime.Present();
    }
};

void BM_WholeTurnBeyondPauses(benchmark::State& state) {
    TurnRig rig;
    Application& app = *rig.app;
    for (auto _ : state) {
        state.PauseTiming();
        rig.Reset();
        state.ResumeTiming();
        HandleBoardPress(app.stage, app.game, 20, 20);   // select the red ball of cell 1
        HandleBoardPress(app.stage, app.game, 180, 20);  // move it four steps to cell 5
        app.runtime.Present();                            // what the event loop does on return
    }
}
BENCHMARK(BM_WholeTurnBeyondPauses)->Unit(benchmark::kMicrosecond);

void BM_SelectionTick(benchmark::State& state) {
    TurnRig rig;
    Application& app = *rig.app;
    rig.Reset();
    HandleBoardPress(app.stage, app.game, 20, 20);
    for (auto _ : state) {
        SelectionTick(app.stage, app.game, app.animation);
        app.runtime.Present();
    }
}
BENCHMARK(BM_SelectionTick)->Unit(benchmark::kMicrosecond);

void BM_NewGame(benchmark::State& state) {
    TurnRig rig;
    Application& app = *rig.app;
    for (auto _ : state) {
        NewGame(app.stage, app.game);
        app.runtime.Present();
    }
}
BENCHMARK(BM_NewGame)->Unit(benchmark::kMicrosecond);

// The first selection of a run against a later one, in the real game on the real display: the
// first must not pay for getting sound ready. Each run starts the game afresh in a folder of its
// own and gives the player the half second it takes to aim at a ball.
void SelectionAfterStart(benchmark::State& state, bool first) {
    if (!bench::HasDesktop()) {
        state.SkipWithError("no display (run under scripts/with-xvfb.sh)");
        return;
    }
    const std::filesystem::path before = std::filesystem::current_path();
    for (auto _ : state) {
        testing::TempDir folder;
        std::filesystem::current_path(folder.Path());
        std::unique_ptr<Host> host = bench::CreateDesktopHost();
        if (!host) {
            std::filesystem::current_path(before);
            state.SkipWithError("the desktop host could not open a window");
            return;
        }
        auto app = std::make_unique<Application>(std::move(host));
        StartKelvora(*app);
        app->runtime.RunFor(500);
        std::vector<Point> balls;
        for (int32_t cell = 1; cell <= kCellCount; ++cell) {
            const ColumnRow at = CellToColumnRow(cell);
            if (app->game.board[cell] != kEmpty) balls.push_back(Point{(at.column - 1) * 40 + 20, (at.row - 1) * 40 + 20});
        }
        if (!first) HandleBoardPress(app->stage, app->game, balls[0].x, balls[0].y);
        const Point ball = balls[first ? 0 : 1];
        const double start = bench::WallSeconds();
        HandleBoardPress(app->stage, app->game, ball.x, ball.y);
        app->runtime.Present();
        state.SetIterationTime(bench::WallSeconds() - start);
        app.reset();
        std::filesystem::current_path(before);
    }
}

// Named after the host they open: BM_FirstSelectionSdl on Linux, BM_FirstSelectionWin32 on Windows.
[[maybe_unused]] const auto* const firstSelection =
    benchmark::RegisterBenchmark((std::string("BM_FirstSelection") + bench::kDesktopHostName).c_str(),
                                 [](benchmark::State& state) { SelectionAfterStart(state, true); })
        ->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(10);
[[maybe_unused]] const auto* const laterSelection =
    benchmark::RegisterBenchmark((std::string("BM_LaterSelection") + bench::kDesktopHostName).c_str(),
                                 [](benchmark::State& state) { SelectionAfterStart(state, false); })
        ->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(10);

}  // namespace
}  // namespace kelvora
