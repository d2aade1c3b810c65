// What a removal empties and scores.
#include "game/rules/removal_plan.h"

#include "base/arithmetic.h"
#include "game/rules/cells.h"

namespace kelvora {

RemovalPlan PlanRemoval(RandomGenerator& random, const std::vector<int32_t>& lines, int32_t score) {
    RemovalPlan plan;
    plan.burstSound = RandomInt(random, 1, kBurstSounds);
    std::vector<int32_t> sorted = lines;
    SortAscending(sorted);
    // The centre cell is listed once per line through it; each ball is removed once.
    int32_t previous = 0;
    for (int32_t cell : sorted) {
        if (cell == previous || !IsCell(cell)) continue;
        plan.cells.push_back(cell);
        previous = cell;
    }
    plan.points = PointsForRemoval(static_cast<int32_t>(plan.cells.size()));
    // The sum is kept from overflowing: a score can only grow, so it stops at the largest integer.
    const int64_t total = static_cast<int64_t>(score) + plan.points;
    plan.score = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    return plan;
}

}  // namespace kelvora
