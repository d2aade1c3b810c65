// The honour roll and its file.
#include "windows/honour_roll.h"

#include <cmath>

#include "base/system/files.h"
#include "windows/data_folder.h"

namespace kelvora {
namespace {

constexpr int32_t kDefaultScores[kHonourPlaces] = {870, 640, 500, 320, 210, 170, 135, 100, 55, 20};
constexpr const char* kDefaultName = "Tovenhal";
constexpr const char* kLineBreak = "\r\n";

}  // namespace

Text HonourFileName() { return "Kelvora荣誉榜.ini"; }

Text PaddedScore(int32_t score) {
    const Text digits = ToText(score);
    if (digits.size() >= 7) return digits;
    return RepeatText(static_cast<int32_t>(7 - digits.size()), "0") + digits;
}

int32_t EntryScore(const Text& entry) {
    const double value = ToNumber(LeftText(entry, 7));
    // Seven bytes of a hand-edited file can still spell "1e99999": keep the score a valid integer.
    if (std::isnan(value)) return 0;
    if (value >= INT32_MAX) return INT32_MAX;
    if (value <= INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

Text EntryName(const Text& entry) { return ReplaceText(entry, 1, 7); }

std::vector<Text> ParseHonourRoll(const ByteArray& bytes) {
    std::vector<Text> roll = SplitText(BytesToText(bytes), kLineBreak, kHonourPlaces);
    // A short or empty file leaves places without an entry; they exist as empty entries, so
    // every place can be shown and compared and the next save writes all ten lines.
    roll.resize(kHonourPlaces);
    return roll;
}

Text HonourFilePath(const Text& dataDirectory) { return JoinPath(dataDirectory, HonourFileName()); }

void LoadHonourRoll(HonourState& honour, const Text& path) {
    honour.honourFilePath = path;
    honour.honourRoll.assign(kHonourPlaces, Text());
    honour.honourFileBytes.reset();
    // Only an ordinary file holds a roll. Anything else in its place (a folder, a FIFO, a device)
    // is never opened: the game starts as if there were no file, with the default roll, and every
    // save of it is refused.
    if (!IsRegularFile(honour.honourFilePath)) {
        // Looked for again under the lock: another copy starting at the same moment may have
        // written the file meanwhile, and even saved a new place in it, which the default roll
        // must not replace.
        const FileUpdateLock lock(honour.honourFilePath);
        if (!IsRegularFile(honour.honourFilePath)) {
            for (int32_t k = 0; k < kHonourPlaces; ++k) honour.honourRoll[k] = PaddedScore(kDefaultScores[k]) + kDefaultName;
            SaveHonourRoll(honour);
            return;
        }
    }
    honour.honourFileBytes = TryReadWholeFile(honour.honourFilePath);
    honour.honourRoll = ParseHonourRoll(honour.honourFileBytes.value_or(ByteArray()));
}

bool SaveHonourRoll(HonourState& honour) {
    Text content;
    for (int32_t k = 0; k < kHonourPlaces && k < static_cast<int32_t>(honour.honourRoll.size()); ++k) {
        content += honour.honourRoll[k];
        content += kLineBreak;
    }
    ByteArray bytes = TextToBytes(content);
    if (!ReplaceWholeFile(honour.honourFilePath, bytes)) return false;
    honour.honourFileBytes = std::move(bytes);
    return true;
}

std::optional<int32_t> FindHonourRank(const HonourState& honour, const Text& paddedScore) {
    for (int32_t k = 0; k < kHonourPlaces; ++k) {
        const Text& entry = k < static_cast<int32_t>(honour.honourRoll.size()) ? honour.honourRoll[k] : Text();
        // std::string compares bytes as unsigned values, the shorter text first on a tie.
        if (paddedScore.compare(entry) > 0) return k + 1;
    }
    return std::nullopt;
}

void InsertHonour(HonourState& honour, int32_t position, const Text& paddedScore, const Text& name) {
    // Held from the reading to the renaming, so that no other copy saves in between.
    const FileUpdateLock lock(honour.honourFilePath);
    // Another copy of the game running at the same time may have saved its own new place since
    // this one read the file: the entry joins that roll, and neither copy's scores are lost. A
    // file that has gone, or cannot be read, offers no roll to join: the roll in memory, with
    // every score this copy knows, is saved as before.
    const std::optional<ByteArray> onDisk = TryReadWholeFile(honour.honourFilePath);
    if (onDisk && onDisk != honour.honourFileBytes) {
        honour.honourRoll = ParseHonourRoll(*onDisk);
        honour.honourFileBytes = onDisk;
        const auto place = FindHonourRank(honour, paddedScore);
        if (!place) return;
        position = *place;
    }
    if (position < 1) position = 1;
    if (honour.honourRoll.size() < static_cast<size_t>(kHonourPlaces)) honour.honourRoll.resize(kHonourPlaces);
    if (position > kHonourPlaces) return;
    honour.honourRoll.insert(honour.honourRoll.begin() + (position - 1), paddedScore + name);
    honour.honourRoll.resize(kHonourPlaces);
    SaveHonourRoll(honour);
}

}  // namespace kelvora
