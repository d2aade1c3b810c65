// Speed of the pure rules on a crowded board: the route search and the line finder.
#include <benchmark/benchmark.h>

#include "game/rules/lines.h"
#include "game/rules/path_search.h"
#include "base/random.h"

namespace kelvora {
namespace {

// About two thirds of the cells hold balls, with a long winding corridor left free.
Board CrowdedBoard() {
    Board board{};
    RandomGenerator generator;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) board[cell] = RandomInt(generator, 2, 8);
    // A serpentine of free cells: rows 1, 3, 5, 7, 9 free, joined at alternate ends.
    for (int32_t row = 1; row <= 9; row += 2)
        for (int32_t column = 1; column <= 9; ++column) board[(row - 1) * 9 + column] = kEmpty;
    for (int32_t row = 2; row <= 8; row += 2) board[(row - 1) * 9 + ((row / 2) % 2 ? 9 : 1)] = kEmpty;
    board[1] = kRed;
    return board;
}

void BM_FindPathCrowded(benchmark::State& state) {
    const Board board = CrowdedBoard();
    std::vector<int32_t> route;
    route.reserve(81);
    for (auto _ : state) {
        const bool found = FindPath(board, 1, 81, route);
        benchmark::DoNotOptimize(found);
    }
    state.counters["route"] = static_cast<double>(route.size());
}
BENCHMARK(BM_FindPathCrowded);

void BM_FindPathUnreachable(benchmark::State& state) {
    Board board = CrowdedBoard();
    board[72] = kRed;  // seals the last corridor turn
    std::vector<int32_t> route;
    for (auto _ : state) benchmark::DoNotOptimize(FindPath(board, 1, 81, route));
}
BENCHMARK(BM_FindPathUnreachable);

void BM_FindLinesMagicCentre(benchmark::State& state) {
    Board board = CrowdedBoard();
    board[41] = kMagicBall;
    std::vector<int32_t> lines;
    lines.reserve(256);
    for (auto _ : state) {
        lines.clear();
        benchmark::DoNotOptimize(FindLines(board, 41, lines));
    }
}
BENCHMARK(BM_FindLinesMagicCentre);

void BM_FindLinesFullCross(benchmark::State& state) {
    Board board{};
    for (int32_t cell = 1; cell <= kCellCount; ++cell) board[cell] = kRed;
    std::vector<int32_t> lines;
    lines.reserve(256);
    for (auto _ : state) {
        lines.clear();
        benchmark::DoNotOptimize(FindLines(board, 41, lines));
    }
}
BENCHMARK(BM_FindLinesFullCross);

}  // namespace
}  // namespace kelvora
