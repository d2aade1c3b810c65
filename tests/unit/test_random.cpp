// The game's random generator: its sequence, its bounds rules and its clock seeding.
#include <gtest/gtest.h>

#include <array>

#include "base/random.h"

namespace kelvora {
namespace {

TEST(Random, UnseededSequenceIsTheClassicOne) {
    // The state starts at 1, so the first values are those every C runtime of this family gives.
    RandomGenerator generator;
    const std::array<uint32_t, 5> expected{41, 18467, 6334, 26500, 19169};
    for (uint32_t value : expected) EXPECT_EQ(NextRandom(generator), value);
}

TEST(Random, RandomIntDrawsOnceAndTakesTheRemainder) {
    RandomGenerator a;
    RandomGenerator b;
    const int32_t value = RandomInt(a, 1, 6);
    EXPECT_EQ(value, static_cast<int32_t>(1 + NextRandom(b) % 6));
    EXPECT_EQ(a.state, b.state);
}

TEST(Random, EqualBoundsMakeNoDrawAndReversedBoundsAreSwapped) {
    RandomGenerator generator;
    EXPECT_EQ(RandomInt(generator, 5, 5), 5);
    EXPECT_EQ(generator.state, 1u);

    RandomGenerator forward;
    RandomGenerator backward;
    for (int i = 0; i < 50; ++i) EXPECT_EQ(RandomInt(backward, 6, 1), RandomInt(forward, 1, 6));
}

TEST(Random, NegativeBoundsCountAsZero) {
    RandomGenerator generator;
    EXPECT_EQ(RandomInt(generator, -7, -3), 0);
    EXPECT_EQ(generator.state, 1u);
    for (int i = 0; i < 100; ++i) {
        const int32_t v = RandomInt(generator, -5, 2);
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 2);
    }
}

TEST(Random, WideRangesStayInsideAndNeverOverflow) {
    RandomGenerator generator;
    for (int i = 0; i < 1000; ++i) {
        const int32_t v = RandomInt(generator, 0, INT32_MAX);
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 32767);  // one draw reaches at most 32767
    }
}

TEST(Random, EveryValueOfASmallRangeComesUp) {
    RandomGenerator generator;
    std::array<int, 8> seen{};
    for (int i = 0; i < 8000; ++i) ++seen[static_cast<size_t>(RandomInt(generator, 1, 8) - 1)];
    for (int count : seen) {
        EXPECT_GT(count, 850);
        EXPECT_LT(count, 1150);
    }
}

TEST(Random, SeedingAddsARunningOffset) {
    RandomGenerator generator;
    SeedRandom(generator, 1000);
    EXPECT_EQ(generator.state, 1000u);
    EXPECT_EQ(generator.seedOffset, (1000u & 0xFFu) + 100u);
    // A second seeding in the same millisecond gives another state.
    SeedRandom(generator, 1000);
    EXPECT_EQ(generator.state, 1332u);
    EXPECT_EQ(generator.seedOffset, 332u + (1332u & 0xFFu) + 100u);
}

}  // namespace
}  // namespace kelvora
