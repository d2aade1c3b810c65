// The mixing step of the SDL audio device's callback: clips that overlap are added up and held
// within the 16-bit range, each goes on where the last callback left it, and each ends by itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/host/sdl/sdl_audio.h"

namespace kelvora {
namespace {

// A clip of one steady level as the device takes it: signed 16-bit in the machine's byte order.
SoundingClip Steady(int16_t level, size_t samples) {
    const std::vector<int16_t> values(samples, level);
    SoundingClip clip;
    clip.samples.resize(samples * sizeof(int16_t));
    std::memcpy(clip.samples.data(), values.data(), clip.samples.size());
    return clip;
}

// One callback's worth of `samples`, into a buffer that held noise before.
std::vector<int16_t> Mixed(std::vector<SoundingClip>& clips, size_t samples) {
    std::vector<uint8_t> stream(samples * sizeof(int16_t), 0x5A);
    MixSoundingClips(clips, stream.data(), stream.size());
    std::vector<int16_t> values(samples);
    std::memcpy(values.data(), stream.data(), stream.size());
    return values;
}

TEST(SdlAudioMixing, ThreeOverlappingClipsAreAddedUpHeldInRangeAndEndByThemselves) {
    for (const int sign : {1, -1}) {
        SCOPED_TRACE(sign > 0 ? "above silence" : "below silence");
        const auto level = [sign](int value) { return static_cast<int16_t>(sign * value); };
        const int16_t limit = sign > 0 ? INT16_MAX : INT16_MIN;
        // All three start together and end at different samples, in callbacks of four samples.
        std::vector<SoundingClip> clips{Steady(level(12000), 10), Steady(level(15000), 6), Steady(level(9000), 3)};

        // 36,000 is out of range and held at its edge; 27,000 is the first two alone.
        EXPECT_EQ(Mixed(clips, 4), (std::vector<int16_t>{limit, limit, limit, level(27000)}));
        EXPECT_EQ(Mixed(clips, 4), (std::vector<int16_t>{level(27000), level(27000), level(12000), level(12000)}));
        EXPECT_TRUE(clips[1].Finished());
        EXPECT_TRUE(clips[2].Finished());
        EXPECT_EQ(Mixed(clips, 4), (std::vector<int16_t>{level(12000), level(12000), 0, 0}));
        EXPECT_TRUE(clips[0].Finished());
        // Nothing is left to sound: the callback gives silence until a clip starts again.
        EXPECT_EQ(Mixed(clips, 4), (std::vector<int16_t>(4, 0)));
    }
}

}  // namespace
}  // namespace kelvora
