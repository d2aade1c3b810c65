// Fuzzes the reading of honour files and everything the game does with their entries: scores,
// names, ranking and insertion (with no file behind, so nothing is written).
#include <cstdint>
#include <cstdlib>

#include "presentation/board_drawing.h"
#include "windows/honour_roll.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelvora;
    HonourState honour;
    honour.honourRoll = ParseHonourRoll(ByteArray(data, data + size));
    if (honour.honourRoll.size() != static_cast<size_t>(kHonourPlaces)) std::abort();
    for (const Text& entry : honour.honourRoll) {
        ScoreCaption(EntryScore(entry));
        EntryName(entry);
    }
    const int32_t score = size >= 4 ? static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16) : 0;
    const auto place = FindHonourRank(honour, PaddedScore(score));
    if (place) {
        if (*place < 1 || *place > kHonourPlaces) std::abort();
        InsertHonour(honour, *place, PaddedScore(score), "Tovenhal");
        if (honour.honourRoll.size() != static_cast<size_t>(kHonourPlaces)) std::abort();
    }
    return 0;
}
