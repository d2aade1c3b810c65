// Sound through SDL2_mixer, which is loaded when the first clip plays: most of its weight is in
// the music decoders it brings along, which a game that only mixes short clips never uses, so a
// player who has not heard a sound yet does not pay for them at start-up.
#pragma once

#include <memory>

#include "platform/host/host.h"

namespace kelvora {

class SdlAudio {
public:
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Starts the clip at once, over whatever is playing. Without a mixer library or an audio
    // device the clip is skipped and the game goes on in silence.
    void Play(const PcmClip& clip);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kelvora
