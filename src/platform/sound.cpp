// Wave clips: the RIFF chunk walk, with every size checked against the bytes present.
#include "platform/sound.h"

#include <cstring>

namespace kelvora {
namespace {

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// Far beyond any device; a rate above it is a corrupt header, not a clip.
constexpr uint32_t kMaxSampleRate = 768000;

}  // namespace

std::optional<PcmClip> ParseWaveClip(std::span<const uint8_t> bytes) {
    const size_t size = bytes.size();
    if (size <= 35 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    std::span<const uint8_t> format;
    std::span<const uint8_t> data;
    bool haveFormat = false;
    bool haveData = false;
    size_t at = 12;
    while (size - at >= 8 && !(haveFormat && haveData)) {
        const uint8_t* header = bytes.data() + at;
        const size_t body = at + 8;
        const size_t claimed = Read32(header + 4);
        const size_t present = claimed < size - body ? claimed : size - body;
        if (!haveFormat && std::memcmp(header, "fmt ", 4) == 0) {
            format = bytes.subspan(body, present);
            haveFormat = true;
        } else if (!haveData && std::memcmp(header, "data", 4) == 0) {
            data = bytes.subspan(body, present);
            haveData = true;
        }
        if (claimed >= size - body) break;
        // Chunks are padded to an even length.
        at = body + claimed + (claimed & 1u);
        if (at > size) break;
    }
    if (!haveFormat || !haveData || format.size() < 16) return std::nullopt;

    const uint16_t tag = Read16(format.data());
    const uint16_t channels = Read16(format.data() + 2);
    const uint32_t rate = Read32(format.data() + 4);
    const uint16_t bits = Read16(format.data() + 14);
    if (tag != kFormatPcm && tag != kFormatExtensible) return std::nullopt;
    if (tag == kFormatExtensible && (format.size() < 26 || Read16(format.data() + 24) != kFormatPcm)) {
        return std::nullopt;
    }
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0 || rate > kMaxSampleRate) {
        return std::nullopt;
    }

    const size_t frameBytes = static_cast<size_t>(channels) * (bits / 8u);
    const size_t usable = data.size() - data.size() % frameBytes;
    PcmClip clip;
    clip.channels = channels;
    clip.bitsPerSample = bits;
    clip.sampleRate = static_cast<int32_t>(rate);
    clip.samples.assign(data.begin(), data.begin() + static_cast<ptrdiff_t>(usable));
    return clip;
}

int32_t PlaySound(Host& host, std::span<const uint8_t> clip) {
    std::optional<PcmClip> pcm = ParseWaveClip(clip);
    if (!pcm) return 0;
    host.PlayClip(std::move(*pcm));
    return 1;
}

}  // namespace kelvora
