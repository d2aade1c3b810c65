// Wave clips: what is accepted, what is refused, and that sizes never lead past the bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/host/headless/headless_host.h"
#include "platform/sound.h"

namespace kelvora {
namespace {

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutId(std::vector<uint8_t>& b, const char* id) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

// A clip with a chunk before "fmt " so the walk has to step over it.
std::vector<uint8_t> Wave(uint16_t channels, uint16_t bits, uint32_t rate, const std::vector<uint8_t>& samples,
                          uint32_t claimedDataSize) {
    std::vector<uint8_t> b;
    PutId(b, "RIFF");
    Put32(b, 0);
    PutId(b, "WAVE");
    PutId(b, "LIST");
    Put32(b, 3);
    b.insert(b.end(), {'a', 'b', 'c', 0});  // odd size, padded
    PutId(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * channels * bits / 8);
    Put16(b, static_cast<uint16_t>(channels * bits / 8));
    Put16(b, bits);
    PutId(b, "data");
    Put32(b, claimedDataSize);
    b.insert(b.end(), samples.begin(), samples.end());
    const uint32_t riffSize = static_cast<uint32_t>(b.size() - 8);
    std::memcpy(b.data() + 4, &riffSize, 4);
    return b;
}

TEST(WaveClip, ReadsPcmAfterOtherChunks) {
    const std::vector<uint8_t> samples{1, 2, 3, 4, 5, 6, 7, 8};
    const auto clip = ParseWaveClip(Wave(2, 16, 22050, samples, 8));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->channels, 2);
    EXPECT_EQ(clip->bitsPerSample, 16);
    EXPECT_EQ(clip->sampleRate, 22050);
    EXPECT_EQ(clip->samples, samples);

    const auto mono8 = ParseWaveClip(Wave(1, 8, 11025, {128, 129, 130}, 3));
    ASSERT_TRUE(mono8);
    EXPECT_EQ(mono8->samples.size(), 3u);
}

TEST(WaveClip, SizesThatLieAreCutToTheBytesPresent) {
    // The data chunk claims far more than there is: only what is there, in whole frames.
    const auto clip = ParseWaveClip(Wave(2, 16, 44100, {1, 2, 3, 4, 5, 6, 7}, 0xFFFFFFF0u));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->samples.size(), 4u);

    // Truncated inside the format chunk: refused.
    std::vector<uint8_t> cut = Wave(1, 16, 8000, {1, 2}, 2);
    cut.resize(12 + 8 + 4 + 8 + 10);
    EXPECT_FALSE(ParseWaveClip(cut));

    // A format chunk claiming 0xFFFFFFFF bytes swallows the rest: no data chunk, refused.
    std::vector<uint8_t> greedy = Wave(1, 16, 8000, {1, 2, 3, 4}, 4);
    const uint32_t huge = 0xFFFFFFFFu;
    std::memcpy(greedy.data() + 12 + 12 + 4, &huge, 4);
    EXPECT_FALSE(ParseWaveClip(greedy));
}

TEST(WaveClip, RefusesWhatIsNotAPlayableWave) {
    const std::vector<uint8_t> good = Wave(1, 16, 8000, {1, 2, 3, 4}, 4);
    EXPECT_FALSE(ParseWaveClip(std::vector<uint8_t>(good.begin(), good.begin() + 35)));
    std::vector<uint8_t> midi = good;
    std::memcpy(midi.data(), "MThd", 4);
    EXPECT_FALSE(ParseWaveClip(midi));
    EXPECT_FALSE(ParseWaveClip(Wave(3, 16, 8000, {1, 2, 3, 4, 5, 6}, 6)));   // three channels
    EXPECT_FALSE(ParseWaveClip(Wave(1, 24, 8000, {1, 2, 3}, 3)));            // 24-bit
    EXPECT_FALSE(ParseWaveClip(Wave(1, 16, 0, {1, 2}, 2)));                  // no rate
    std::vector<uint8_t> noData = good;
    std::memcpy(noData.data() + 12 + 12 + 24, "junk", 4);
    EXPECT_FALSE(ParseWaveClip(noData));
    EXPECT_FALSE(ParseWaveClip({}));
}

TEST(WaveClip, PlaySoundCopiesTheSamplesAndReturnsAtOnce) {
    HeadlessHost host;
    std::vector<uint8_t> bytes = Wave(1, 8, 11025, {10, 20, 30, 40}, 4);
    host.AdvanceMs(250);
    EXPECT_EQ(PlaySound(host, bytes), 1);
    EXPECT_EQ(PlaySound(host, bytes), 1);  // a second one overlaps the first
    std::fill(bytes.begin(), bytes.end(), 0);
    EXPECT_EQ(PlaySound(host, bytes), 0);
    ASSERT_EQ(host.PlayedClips().size(), 2u);
    EXPECT_EQ(host.PlayedClips()[0].timeMs, 250);
    EXPECT_EQ(host.PlayedClips()[1].clip.samples, (std::vector<uint8_t>{10, 20, 30, 40}));
}

}  // namespace
}  // namespace kelvora
