// waveOut clips: each on its own stream at once, overlapping, each released at its end.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include "platform/host/win32/win32_audio.h"

namespace kelvora {
namespace {

PcmClip Silence(int32_t milliseconds) {
    PcmClip clip;
    clip.channels = 1;
    clip.bitsPerSample = 16;
    clip.sampleRate = 22050;
    clip.samples.assign(static_cast<size_t>(22050 * 2 * milliseconds / 1000), 0);
    return clip;
}

TEST(Win32Audio, ClipsOverlapAndEachStreamIsReleasedAtItsEnd) {
    // The tests run with a null sound device (tests/support/alsa-null.conf).
    ASSERT_GT(waveOutGetNumDevs(), 0u);
    Win32Audio audio;
    audio.Play(Silence(700));  // several buffers of 15,360 bytes
    audio.Play(Silence(700));
    EXPECT_EQ(audio.PlayingCount(), 2);
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (audio.PlayingCount() > 0 && GetTickCount64() < deadline) Sleep(20);
    EXPECT_EQ(audio.PlayingCount(), 0);
}

TEST(Win32Audio, ClipsTheDeviceCannotTakeAreSkipped) {
    Win32Audio audio;
    PcmClip odd = Silence(100);
    odd.bitsPerSample = 12;
    audio.Play(odd);
    audio.Play(PcmClip{});
    EXPECT_EQ(audio.PlayingCount(), 0);
}

}  // namespace
}  // namespace kelvora
