// Where the next balls land: for each ball its cell and colour, the lines it completes, and
// whether the board is full afterwards. Nothing is drawn or played here.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/random.h"
#include "game/rules/game_state.h"
#include "game/rules/removal_plan.h"

namespace kelvora {

struct SpawnedBall {
    int32_t cell = 0;
    int32_t colour = 0;
    std::optional<RemovalPlan> removal;  // the lines the ball completes, when it completes any
};

struct SpawnPlan {
    std::vector<SpawnedBall> balls;  // in placing order; fewer than nextBalls when the board filled up
    bool boardFull = false;          // no free cell afterwards, or a ball found none
};

// Places game.nextBalls on game.board in turn, each on a free cell drawn from random, which the
// caller has seeded. A ball that completes lines has them removed before the next one lands, so
// the cells they free are open to it. game itself is not changed.
SpawnPlan PlanSpawn(RandomGenerator& random, const GameState& game);

}  // namespace kelvora
