// Sound through waveOut: each clip on an output stream and a playback thread of its own, so clips
// overlap and are mixed by the system.
#pragma once

#include <memory>

#include "platform/host/host.h"

namespace kelvora {

class Win32Audio {
public:
    Win32Audio();
    // Stops what still plays and waits for the playback threads.
    ~Win32Audio();
    Win32Audio(const Win32Audio&) = delete;
    Win32Audio& operator=(const Win32Audio&) = delete;

    // Starts the clip at once and returns; the samples are the stream's own from here on.
    // Without an output device the clip is silent and nothing else happens.
    void Play(PcmClip clip);
    // How many clips are playing now (for tests).
    int PlayingCount();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kelvora
