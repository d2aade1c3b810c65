// The mixer: SDL2_mixer opened with dlopen and the device opened once, before the first clip, and
// every clip converted to the device's format and handed to a free channel.
#include "platform/host/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <vector>

namespace kelvora {
namespace {

// The few mixer functions the game uses, looked up in the library by name.
struct Mixer {
    decltype(&Mix_OpenAudio) openAudio = nullptr;
    decltype(&Mix_CloseAudio) closeAudio = nullptr;
    decltype(&Mix_QuerySpec) querySpec = nullptr;
    decltype(&Mix_AllocateChannels) allocateChannels = nullptr;
    decltype(&Mix_QuickLoad_RAW) quickLoadRaw = nullptr;
    decltype(&Mix_PlayChannelTimed) playChannelTimed = nullptr;
    decltype(&Mix_HaltChannel) haltChannel = nullptr;
    decltype(&Mix_FreeChunk) freeChunk = nullptr;
    decltype(&Mix_Playing) playing = nullptr;
    decltype(&Mix_GetChunk) getChunk = nullptr;
};

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// Loaded once and kept for the life of the process: its audio thread may still be winding down
// when a player object goes, and unloading code under a running thread would be fatal.
const Mixer* LoadMixer() {
    static const Mixer* const loaded = []() -> const Mixer* {
        void* library = dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return nullptr;
        static Mixer mixer;
        const bool complete =
            Find(library, "Mix_OpenAudio", mixer.openAudio) && Find(library, "Mix_CloseAudio", mixer.closeAudio) &&
            Find(library, "Mix_QuerySpec", mixer.querySpec) &&
            Find(library, "Mix_AllocateChannels", mixer.allocateChannels) &&
            Find(library, "Mix_QuickLoad_RAW", mixer.quickLoadRaw) &&
            Find(library, "Mix_PlayChannelTimed", mixer.playChannelTimed) &&
            Find(library, "Mix_HaltChannel", mixer.haltChannel) && Find(library, "Mix_FreeChunk", mixer.freeChunk) &&
            Find(library, "Mix_Playing", mixer.playing) && Find(library, "Mix_GetChunk", mixer.getChunk);
        return complete ? &mixer : nullptr;
    }();
    // Said once: a game that stays silent for a missing library should say which one.
    static const bool said = loaded != nullptr ||
                             std::fprintf(stderr, "Kelvora: SDL2_mixer was not found, so the game plays in silence; "
                                                  "install the Debian package libsdl2-mixer-2.0-0\n") < 0;
    (void)said;
    return loaded;
}

}  // namespace

// Clips are converted to the device's format once, on the UI thread, and owned here until their
// channel has finished with them. Finished chunks are found by asking the mixer, so nothing runs
// on the audio thread but SDL_mixer itself.
struct SdlAudio::Impl {
    struct Playing {
        int channel;
        Mix_Chunk* chunk;  // does not own `samples`
        std::vector<uint8_t> samples;
    };

    const Mixer* mix = nullptr;
    bool tried = false;
    int rate = 44100;
    SDL_AudioFormat format = AUDIO_S16SYS;
    int channels = 2;
    int mixChannels = 32;
    std::vector<Playing> playing;

    bool Open() {
        if (tried) return mix != nullptr;
        tried = true;
        const Mixer* loaded = LoadMixer();
        // No mixer library or no device: every clip is skipped and the game goes on in silence.
        if (loaded == nullptr || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        if (loaded->openAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        int frequency = 0;
        Uint16 deviceFormat = 0;
        int deviceChannels = 0;
        loaded->querySpec(&frequency, &deviceFormat, &deviceChannels);
        rate = frequency;
        format = deviceFormat;
        channels = deviceChannels;
        mixChannels = loaded->allocateChannels(32);
        mix = loaded;
        return true;
    }

    void ReapFinished() {
        for (auto it = playing.begin(); it != playing.end();) {
            if (mix->playing(it->channel) && mix->getChunk(it->channel) == it->chunk) {
                ++it;
                continue;
            }
            mix->freeChunk(it->chunk);
            it = playing.erase(it);
        }
    }

    void Play(const PcmClip& clip) {
        if (clip.samples.empty() || !Open()) return;
        ReapFinished();
        SDL_AudioCVT cvt;
        const SDL_AudioFormat from = clip.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        if (SDL_BuildAudioCVT(&cvt, from, static_cast<Uint8>(clip.channels), clip.sampleRate, format,
                              static_cast<Uint8>(channels), rate) < 0) {
            return;
        }
        const size_t length = clip.samples.size();
        if (length > static_cast<size_t>(INT32_MAX / std::max(cvt.len_mult, 1))) return;
        std::vector<uint8_t> buffer(length * static_cast<size_t>(std::max(cvt.len_mult, 1)));
        std::copy(clip.samples.begin(), clip.samples.end(), buffer.begin());
        Uint32 converted = static_cast<Uint32>(length);
        if (cvt.needed) {
            cvt.buf = buffer.data();
            cvt.len = static_cast<int>(length);
            if (SDL_ConvertAudio(&cvt) < 0) return;
            converted = static_cast<Uint32>(cvt.len_cvt);
        }
        if (converted == 0) return;
        Mix_Chunk* chunk = mix->quickLoadRaw(buffer.data(), converted);
        if (!chunk) return;
        int channel = mix->playChannelTimed(-1, chunk, 0, -1);
        if (channel < 0) {
            // Every channel is busy: clips never cut each other off, so make room.
            mixChannels *= 2;
            mix->allocateChannels(mixChannels);
            channel = mix->playChannelTimed(-1, chunk, 0, -1);
        }
        if (channel < 0) {
            mix->freeChunk(chunk);
            return;
        }
        playing.push_back(Playing{channel, chunk, std::move(buffer)});
    }

    ~Impl() {
        if (mix == nullptr) return;
        mix->haltChannel(-1);
        for (Playing& p : playing) mix->freeChunk(p.chunk);
        playing.clear();
        mix->closeAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

SdlAudio::SdlAudio() : impl_(std::make_unique<Impl>()) {}

SdlAudio::~SdlAudio() = default;

void SdlAudio::Prepare() { impl_->Open(); }

void SdlAudio::Play(const PcmClip& clip) { impl_->Play(clip); }

}  // namespace kelvora
