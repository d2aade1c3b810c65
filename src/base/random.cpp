// The game's random numbers.
#include "base/random.h"

#include <utility>

namespace kelvora {

uint32_t NextRandom(RandomGenerator& generator) {
    generator.state = generator.state * 214013u + 2531011u;
    return (generator.state >> 16) & 0x7FFFu;
}

int32_t RandomInt(RandomGenerator& generator, int32_t min, int32_t max) {
    if (min < 0) min = 0;
    if (max < 0) max = 0;
    if (min > max) std::swap(min, max);
    if (min == max) return min;
    const int64_t span = static_cast<int64_t>(max) - min + 1;
    return static_cast<int32_t>(min + static_cast<int64_t>(NextRandom(generator)) % span);
}

void SeedRandom(RandomGenerator& generator, uint32_t tickMs) {
    const uint32_t seed = tickMs + generator.seedOffset;
    generator.state = seed;
    generator.seedOffset = generator.seedOffset + (seed & 0xFFu) + 100u;
}

}  // namespace kelvora
