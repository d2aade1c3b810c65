// The built-in sound clips: wave layout, format and length of each, levels and fades, and the
// clip table with its three families.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/sound.h"
#include "presentation/sound_clips.h"

namespace kelvora {
namespace {

struct Expected {
    std::string name;
    SoundClip clip;
    uint32_t rate;
    uint16_t channels;
    uint16_t bits;
    double seconds;
};

std::vector<Expected> AllClips() {
    const SoundClips clips = BuiltInSoundClips();
    std::vector<Expected> all = {
        {"click", clips.clickSound, 22050, 1, 16, 0.132},
        {"spawn", clips.spawnSound, 22050, 1, 16, 0.481},
        {"burst 1", clips.burstSound.Pick(1), 22050, 1, 16, 0.560},
        {"burst 2", clips.burstSound.Pick(2), 44100, 2, 16, 0.576},
        {"burst 3", clips.burstSound.Pick(3), 22050, 1, 16, 0.629},
        {"burst 4", clips.burstSound.Pick(4), 22050, 1, 16, 0.684},
        {"burst 5", clips.burstSound.Pick(5), 22050, 1, 16, 0.595},
        {"burst 6", clips.burstSound.Pick(6), 22050, 1, 16, 0.592},
        {"score", clips.scoreSound, 22050, 1, 8, 0.226},
        {"select 1", clips.selectSound.Pick(1), 22050, 1, 16, 0.713},
        {"select 2", clips.selectSound.Pick(2), 22050, 1, 16, 0.553},
        {"select 3", clips.selectSound.Pick(3), 22050, 1, 16, 0.542},
        {"select 4", clips.selectSound.Pick(4), 22050, 1, 16, 0.545},
        {"select 5", clips.selectSound.Pick(5), 22050, 1, 16, 0.376},
        {"select 6", clips.selectSound.Pick(6), 22050, 1, 16, 0.650},
        {"blocked", clips.blockedSound, 22050, 1, 8, 0.251},
        {"long move 1", clips.longMoveSound.Pick(1), 22050, 1, 16, 0.658},
        {"long move 2", clips.longMoveSound.Pick(2), 22050, 1, 16, 0.391},
        {"long move 3", clips.longMoveSound.Pick(3), 22050, 1, 16, 0.511},
        {"long move 4", clips.longMoveSound.Pick(4), 22050, 1, 16, 0.677},
        {"long move 5", clips.longMoveSound.Pick(5), 22050, 1, 16, 0.612},
        {"long move 6", clips.longMoveSound.Pick(6), 22050, 1, 16, 0.879},
        {"fanfare", clips.fanfareSound, 11025, 1, 8, 5.810},
    };
    return all;
}

uint32_t U32(SoundClip b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(SoundClip b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
bool Tag(SoundClip b, size_t at, const char* tag) { return std::string(b.begin() + at, b.begin() + at + 4) == tag; }

// Every sample as a fraction of full scale, -1..1 (8-bit samples are unsigned around 128).
std::vector<double> Levels(SoundClip clip, uint16_t bits) {
    std::vector<double> levels;
    for (size_t at = 44; at + bits / 8 <= clip.size(); at += bits / 8) {
        levels.push_back(bits == 8 ? (clip[at] - 128) / 128.0 : static_cast<int16_t>(U16(clip, at)) / 32768.0);
    }
    return levels;
}

TEST(SoundClips, AreCanonicalPcmWaveFiles) {
    for (const Expected& e : AllClips()) {
        SCOPED_TRACE(e.name);
        const SoundClip b = e.clip;
        ASSERT_GT(b.size(), 44u);
        EXPECT_TRUE(Tag(b, 0, "RIFF"));
        EXPECT_EQ(U32(b, 4), b.size() - 8);
        EXPECT_TRUE(Tag(b, 8, "WAVE"));
        EXPECT_TRUE(Tag(b, 12, "fmt "));
        EXPECT_EQ(U32(b, 16), 16u);
        EXPECT_EQ(U16(b, 20), 1u);  // PCM
        EXPECT_EQ(U16(b, 22), e.channels);
        EXPECT_EQ(U32(b, 24), e.rate);
        const uint32_t blockAlign = e.channels * e.bits / 8u;
        EXPECT_EQ(U32(b, 28), e.rate * blockAlign);
        EXPECT_EQ(U16(b, 32), blockAlign);
        EXPECT_EQ(U16(b, 34), e.bits);
        EXPECT_TRUE(Tag(b, 36, "data"));
        EXPECT_EQ(U32(b, 40), b.size() - 44);  // the data chunk runs to the end, no pad byte
        EXPECT_EQ((b.size() - 44) % blockAlign, 0u);
        const double frames = static_cast<double>(b.size() - 44) / blockAlign;
        EXPECT_NEAR(frames, e.rate * e.seconds, 1.0);

        const std::optional<PcmClip> parsed = ParseWaveClip(b);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->channels, e.channels);
        EXPECT_EQ(parsed->bitsPerSample, e.bits);
        EXPECT_EQ(parsed->sampleRate, static_cast<int32_t>(e.rate));
        EXPECT_EQ(parsed->samples.size(), b.size() - 44);
    }
}

// Clips overlap when mixed, so none is at full scale and none is too loud; but each is clearly heard.
TEST(SoundClips, HaveModeratePeaksAndNeverClip) {
    for (const Expected& e : AllClips()) {
        SCOPED_TRACE(e.name);
        double peak = 0;
        for (size_t at = 44; at + e.bits / 8 <= e.clip.size(); at += e.bits / 8) {
            if (e.bits == 8) {
                EXPECT_TRUE(e.clip[at] != 0 && e.clip[at] != 255) << at;
            } else {
                const int16_t s = static_cast<int16_t>(U16(e.clip, at));
                EXPECT_TRUE(s != INT16_MIN && s != INT16_MAX && s != -INT16_MAX) << at;
            }
        }
        for (const double level : Levels(e.clip, e.bits)) peak = std::max(peak, std::abs(level));
        EXPECT_LE(peak, 0.63);  // 4 dB below full scale at least
        EXPECT_GE(peak, 0.25);
    }
}

// The edges are faded: no click when a clip starts or stops.
TEST(SoundClips, StartAndEndInSilence) {
    for (const Expected& e : AllClips()) {
        SCOPED_TRACE(e.name);
        const std::vector<double> levels = Levels(e.clip, e.bits);
        const size_t frames = levels.size() / e.channels;
        const double step = e.bits == 8 ? 1.0 / 128 : 1.0 / 32768;
        double peak = 0;
        for (const double level : levels) peak = std::max(peak, std::abs(level));
        const size_t edge = e.rate / 2000 * e.channels;  // half a millisecond
        for (size_t c = 0; c < e.channels; ++c) {
            EXPECT_LE(std::abs(levels[c]), step);
            EXPECT_LE(std::abs(levels[(frames - 1) * e.channels + c]), step);
        }
        for (size_t i = 0; i < edge; ++i) {
            EXPECT_LE(std::abs(levels[i]), 0.25 * peak + step) << "sample " << i;
            EXPECT_LE(std::abs(levels[levels.size() - 1 - i]), 0.25 * peak + step) << "sample from the end " << i;
        }
    }
}

TEST(SoundClips, FamiliesHoldSixDifferentClips) {
    const SoundClips clips = BuiltInSoundClips();
    for (const SoundFamily* family : {&clips.burstSound, &clips.selectSound, &clips.longMoveSound}) {
        std::set<std::vector<uint8_t>> distinct;
        for (int32_t n = 1; n <= 6; ++n) {
            const SoundClip clip = family->Pick(n);
            EXPECT_EQ(clip.data(), family->clips[static_cast<size_t>(n - 1)].data()) << "a draw of n plays clip n";
            distinct.emplace(clip.begin(), clip.end());
        }
        EXPECT_EQ(distinct.size(), 6u);
    }
}

TEST(SoundClips, PickingOutsideOneToSixGivesNothing) {
    const SoundClips clips = BuiltInSoundClips();
    for (const int32_t number : {0, -1, 7, INT32_MIN, INT32_MAX}) {
        EXPECT_TRUE(clips.burstSound.Pick(number).empty()) << number;
        EXPECT_TRUE(clips.selectSound.Pick(number).empty()) << number;
        EXPECT_TRUE(clips.longMoveSound.Pick(number).empty()) << number;
    }
}

}  // namespace
}  // namespace kelvora
