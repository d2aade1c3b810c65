// Choosing the cells of new balls.
#include "game/rules/spawn_plan.h"

#include "game/rules/lines.h"

namespace kelvora {

SpawnPlan PlanSpawn(RandomGenerator& random, const GameState& game) {
    SpawnPlan plan;
    Board board = game.board;
    int32_t score = game.score;
    std::vector<int32_t> freeCells;
    for (int32_t cell = 1; cell <= kCellCount; ++cell)
        if (board[cell] == kEmpty) freeCells.push_back(cell);

    for (int32_t colour : game.nextBalls) {
        if (freeCells.empty()) {
            plan.boardFull = true;
            return plan;
        }
        const int32_t k = RandomInt(random, 1, static_cast<int32_t>(freeCells.size()));
        SpawnedBall& ball = plan.balls.emplace_back();
        ball.cell = freeCells[static_cast<size_t>(k) - 1];
        ball.colour = colour;
        board[ball.cell] = colour;
        std::vector<int32_t> lines;
        if (FindLines(board, ball.cell, lines)) {
            ball.removal = PlanRemoval(random, lines, score);
            score = ball.removal->score;
            // Cells a removal empties join the end of the list; the chosen entry goes only
            // afterwards, so the ball's own cell (always among the removed) stays free. The order
            // of the list decides every later draw, so it is kept exactly this way.
            for (int32_t cell : ball.removal->cells) {
                board[cell] = kEmpty;
                freeCells.push_back(cell);
            }
        }
        freeCells.erase(freeCells.begin() + (k - 1));
    }
    plan.boardFull = freeCells.empty();
    return plan;
}

}  // namespace kelvora
