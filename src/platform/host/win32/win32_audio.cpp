// waveOut playback: a thread per clip feeds its stream in buffers of 15,360 bytes, at most 20
// queued, and closes the stream when the last buffer has played.
#include "platform/host/win32/win32_audio.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvora {
namespace {

constexpr size_t kBufferBytes = 15360;
constexpr size_t kMostQueued = 20;

struct Stream {
    PcmClip clip;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::thread thread;
};

void PlayStream(Stream& stream) {
    const PcmClip& clip = stream.clip;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(clip.channels);
    format.nSamplesPerSec = static_cast<DWORD>(clip.sampleRate);
    format.wBitsPerSample = static_cast<WORD>(clip.bitsPerSample);
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device = nullptr;
    if (done == nullptr || format.nBlockAlign == 0 ||
        waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR) {
        if (done != nullptr) CloseHandle(done);
        stream.finished = true;
        return;
    }
    // Whole sample frames per buffer, so that no frame is split between two of them.
    const size_t bufferBytes = kBufferBytes - kBufferBytes % format.nBlockAlign;
    std::list<WAVEHDR> queued;
    size_t next = 0;
    const size_t total = clip.samples.size();
    while (!stream.stop && (next < total || !queued.empty())) {
        while (next < total && queued.size() < kMostQueued) {
            WAVEHDR& header = queued.emplace_back();
            header.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(clip.samples.data() + next));
            header.dwBufferLength = static_cast<DWORD>(std::min(bufferBytes, total - next));
            next += header.dwBufferLength;
            waveOutPrepareHeader(device, &header, sizeof header);
            if (waveOutWrite(device, &header, sizeof header) != MMSYSERR_NOERROR) {
                waveOutUnprepareHeader(device, &header, sizeof header);
                queued.pop_back();
                next = total;  // the device refuses more: let what is queued finish
            }
        }
        if (queued.empty()) break;
        WaitForSingleObject(done, 100);
        while (!queued.empty() && (queued.front().dwFlags & WHDR_DONE)) {
            waveOutUnprepareHeader(device, &queued.front(), sizeof(WAVEHDR));
            queued.pop_front();
        }
    }
    if (!queued.empty()) {
        // Stopped early: the device hands back every buffer at once.
        waveOutReset(device);
        for (WAVEHDR& header : queued) {
            while (!(header.dwFlags & WHDR_DONE)) WaitForSingleObject(done, 10);
            waveOutUnprepareHeader(device, &header, sizeof header);
        }
    }
    waveOutClose(device);
    CloseHandle(done);
    stream.finished = true;
}

}  // namespace

struct Win32Audio::Impl {
    std::mutex lock;  // guards `streams`
    std::list<Stream> streams;
    bool noDevice = false;

    // Streams whose thread has ended are released here, on the next clip.
    void Reap() {
        for (auto it = streams.begin(); it != streams.end();) {
            if (it->finished) {
                it->thread.join();
                it = streams.erase(it);
            } else {
                ++it;
            }
        }
    }
};

Win32Audio::Win32Audio() : impl_(std::make_unique<Impl>()) {
    // Without any output device every clip is skipped, without starting a thread for it.
    impl_->noDevice = waveOutGetNumDevs() == 0;
}

Win32Audio::~Win32Audio() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    for (Stream& stream : impl_->streams) stream.stop = true;
    for (Stream& stream : impl_->streams) stream.thread.join();
    impl_->streams.clear();
}

void Win32Audio::Play(PcmClip clip) {
    if (impl_->noDevice || clip.samples.empty()) return;
    if ((clip.channels != 1 && clip.channels != 2) || (clip.bitsPerSample != 8 && clip.bitsPerSample != 16) ||
        clip.sampleRate <= 0) {
        return;
    }
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->Reap();
    Stream& stream = impl_->streams.emplace_back();
    stream.clip = std::move(clip);
    stream.thread = std::thread(PlayStream, std::ref(stream));
}

int Win32Audio::PlayingCount() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    return static_cast<int>(std::count_if(impl_->streams.begin(), impl_->streams.end(),
                                          [](const Stream& stream) { return !stream.finished; }));
}

}  // namespace kelvora
