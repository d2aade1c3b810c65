// The audio device: opened once through SDL, every clip converted to its format when it starts,
// and all that are sounding mixed in its callback with SDL's own mixing routine.
#include "platform/host/sdl/sdl_audio.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace kelvora {
namespace {

// The device is asked for the format of the richest built-in clip (the stereo burst, 16-bit at
// 44.1 kHz), so no clip loses anything on its way in; the mono clips at 22,050 and 11,025 Hz, 8 or
// 16-bit, are converted up. 1,024 frames a callback: 23 ms, short enough for a click to follow
// the press, long enough not to stutter on a busy desktop.
constexpr int kDeviceRate = 44100;
constexpr Uint8 kDeviceChannels = 2;
constexpr Uint16 kDeviceSamples = 1024;

}  // namespace

void MixSoundingClips(std::span<SoundingClip> clips, uint8_t* stream, size_t length) {
    std::memset(stream, 0, length);  // silence in signed 16-bit
    for (SoundingClip& clip : clips) {
        const size_t take = std::min(length, clip.samples.size() - std::min(clip.played, clip.samples.size()));
        if (take == 0) continue;
        SDL_MixAudioFormat(stream, clip.samples.data() + clip.played, AUDIO_S16SYS, static_cast<Uint32>(take),
                           SDL_MIX_MAXVOLUME);
        clip.played += take;
    }
}

// Clips are converted on the UI thread as they start and handed to the callback under the
// device's lock; finished ones are freed on the UI thread when the next clip starts, so the audio
// thread never waits on the allocator.
struct SdlAudio::Impl {
    bool tried = false;
    bool started = false;  // SDL's audio subsystem, ours to stop
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec obtained{};
    std::vector<SoundingClip> sounding;  // shared with the callback: touched only under the lock

    static void Callback(void* self, Uint8* stream, int length) {
        auto* impl = static_cast<Impl*>(self);
        MixSoundingClips(impl->sounding, stream, static_cast<size_t>(std::max(length, 0)));
    }

    bool Open() {
        if (tried) return device != 0;
        tried = true;
        // No audio driver or no device: every clip is skipped and the game goes on in silence.
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        started = true;
        SDL_AudioSpec wanted{};
        wanted.freq = kDeviceRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = kDeviceChannels;
        wanted.samples = kDeviceSamples;
        wanted.callback = Callback;
        wanted.userdata = this;
        // A device that runs at another rate or with more channels gets the clips converted to
        // that once, rather than converted twice, by us and again by SDL. The sample format stays
        // ours: the mixing is done in 16-bit.
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (device == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            started = false;
            return false;
        }
        SDL_PauseAudioDevice(device, 0);
        return true;
    }

    // The clip's samples in the device's format; nothing when SDL cannot convert it.
    std::vector<uint8_t> Converted(const PcmClip& clip) const {
        SDL_AudioCVT cvt;
        const SDL_AudioFormat from = clip.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        if (SDL_BuildAudioCVT(&cvt, from, static_cast<Uint8>(clip.channels), clip.sampleRate, obtained.format,
                              obtained.channels, obtained.freq) < 0) {
            return {};
        }
        const size_t length = clip.samples.size();
        const size_t growth = static_cast<size_t>(std::max(cvt.len_mult, 1));
        if (length > static_cast<size_t>(INT_MAX) / growth) return {};
        std::vector<uint8_t> buffer(length * growth);
        std::copy(clip.samples.begin(), clip.samples.end(), buffer.begin());
        if (!cvt.needed) return buffer;
        cvt.buf = buffer.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) < 0) return {};
        buffer.resize(static_cast<size_t>(std::max(cvt.len_cvt, 0)));
        return buffer;
    }

    void Play(const PcmClip& clip) {
        if (clip.samples.empty() || !Open()) return;
        std::vector<uint8_t> samples = Converted(clip);
        if (samples.empty()) return;
        // Finished clips are moved out under the lock and freed after it: the callback waits no
        // longer than it takes to move a few vectors. The others keep their order, which is the
        // order SDL adds them up in, and so where a loud moment is held within range.
        std::vector<SoundingClip> finished;
        SDL_LockAudioDevice(device);
        for (SoundingClip& c : sounding) {
            if (c.Finished()) finished.push_back(std::move(c));
        }
        std::erase_if(sounding, [](const SoundingClip& c) { return c.Finished(); });
        sounding.push_back(SoundingClip{std::move(samples), 0});
        SDL_UnlockAudioDevice(device);
    }

    ~Impl() {
        // Closing waits for the audio thread to end; only then are the clips ours alone.
        if (device != 0) SDL_CloseAudioDevice(device);
        if (started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

SdlAudio::SdlAudio() : impl_(std::make_unique<Impl>()) {}

SdlAudio::~SdlAudio() = default;

void SdlAudio::Prepare() { impl_->Open(); }

void SdlAudio::Play(const PcmClip& clip) { impl_->Play(clip); }

}  // namespace kelvora
