// What removing completed lines does to the game: the cells it empties, the points, the score
// afterwards and which burst sound it plays. Nothing is drawn or played here.
#pragma once

#include <cstdint>
#include <vector>

#include "base/random.h"

namespace kelvora {

// A removal sounds one of this many bursts.
constexpr int32_t kBurstSounds = 6;

// Points for removing n distinct balls at once: 10 for five and 5 more for each further ball.
constexpr int32_t PointsForRemoval(int32_t n) { return (n - 5) * 5 + 10; }

struct RemovalPlan {
    int32_t burstSound = 1;      // 1..kBurstSounds
    std::vector<int32_t> cells;  // every emptied cell once, ascending
    int32_t points = 0;
    int32_t score = 0;  // the score afterwards
};

// lines is a line list as FindLines gives it; score is the score before. The burst sound is drawn
// from random first, because the sound comes first and a game must draw its numbers in the same
// order every time it is replayed.
RemovalPlan PlanRemoval(RandomGenerator& random, const std::vector<int32_t>& lines, int32_t score);

}  // namespace kelvora
