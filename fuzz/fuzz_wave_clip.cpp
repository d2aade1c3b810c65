// Fuzz target: wave clips from outside bytes must never be read past their end.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto clip = kelvora::ParseWaveClip(std::span<const uint8_t>(data, size));
    if (clip && clip->samples.size() > size) __builtin_trap();
    return 0;
}
