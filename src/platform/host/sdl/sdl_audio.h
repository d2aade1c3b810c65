// Sound on SDL's own audio: one device, opened once, whose callback adds up every clip that is
// sounding. Opening the device can take tens of milliseconds (a sound server answers, a driver
// loads), so the host prepares it on a thread of its own as soon as the game first waits for the
// player, and no sound of the first turn waits for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/host/host.h"

namespace kelvora {

// A clip being heard: its samples already in the device's format (signed 16-bit, native byte
// order, the device's channels and rate) and how many bytes of them the device has taken.
struct SoundingClip {
    std::vector<uint8_t> samples;
    size_t played = 0;

    bool Finished() const { return played >= samples.size(); }
};

// Fills `stream` (`length` bytes of signed 16-bit native-order samples) with the next stretch of
// every clip that is sounding, added up by SDL and held within the 16-bit range, silence where
// none sounds; each clip moves on by what it gave. A finished clip gives nothing. The device's
// callback calls this with the device locked.
void MixSoundingClips(std::span<SoundingClip> clips, uint8_t* stream, size_t length);

class SdlAudio {
public:
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Starts SDL's audio and opens the device; may run on any one thread before the first Play.
    void Prepare();
    // Starts the clip at once, over whatever is sounding; it ends by itself. Without an audio
    // device the clip is skipped and the game goes on in silence.
    void Play(const PcmClip& clip);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kelvora
