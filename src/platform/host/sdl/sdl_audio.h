// Sound through SDL2_mixer. Loading it and opening the device take tens of milliseconds (most of
// it the music decoders the mixer brings along), so the host prepares it on a thread of its own as
// soon as the game first waits for the player, and no sound of the first turn waits for it.
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

    // Loads the mixer and opens the device; may run on any one thread before the first Play.
    void Prepare();
    // Starts the clip at once, over whatever is playing. Without a mixer library or an audio
    // device the clip is skipped and the game goes on in silence.
    void Play(const PcmClip& clip);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kelvora
