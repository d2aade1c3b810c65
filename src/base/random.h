// The game's random numbers: a 32-bit linear congruential generator re-seeded from the clock.
#pragma once

#include <cstdint>

namespace kelvora {

struct RandomGenerator {
    uint32_t state = 1;       // the state before the first seeding
    uint32_t seedOffset = 0;  // grows at every seeding, so two seedings in one millisecond differ
};

// Next raw value 0..32767.
uint32_t NextRandom(RandomGenerator& generator);
// Uniform over min..max (negative bounds count as 0, reversed bounds are swapped).
int32_t RandomInt(RandomGenerator& generator, int32_t min, int32_t max);
// Re-seeds from a millisecond tick count.
void SeedRandom(RandomGenerator& generator, uint32_t tickMs);

}  // namespace kelvora
