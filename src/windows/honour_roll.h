// The honour roll: the ten best scores with their players' names, and the plain-text file that
// keeps them between runs. An entry is the score padded to seven digits followed by the name.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"

namespace kelvora {

constexpr int32_t kHonourPlaces = 10;

struct HonourState {
    std::vector<Text> honourRoll;  // place 1 first; always ten entries once loaded
    Text playerName;               // the name the last name entry left behind
    Text honourFilePath;
    // The file's bytes as this copy last read or wrote them; nothing when it could do neither.
    // A save that finds other bytes there knows that another copy of the game saved meanwhile.
    std::optional<ByteArray> honourFileBytes;
};

// "Kelvora荣誉榜.ini", the file's name in its folder.
Text HonourFileName();

// The score in decimal, left-padded with "0" to seven characters (longer scores are kept whole).
Text PaddedScore(int32_t score);
// The first seven bytes read as a number; 0 when they hold none.
int32_t EntryScore(const Text& entry);
// The entry without its first seven bytes.
Text EntryName(const Text& entry);

// The ten places held in the bytes of an honour file: lines split at CR LF (never inside a
// double-byte character), up to the first zero byte; missing places are empty entries.
std::vector<Text> ParseHonourRoll(const ByteArray& bytes);
// The honour file's path in the data folder.
Text HonourFilePath(const Text& dataDirectory);
// Reads the roll from the file at path, or writes the default roll there when there is no
// ordinary file (a folder, a FIFO or a device there counts as none, and refuses the save).
// Later saves go to the same path.
void LoadHonourRoll(HonourState& honour, const Text& path);
// Rewrites the file with places 1 to 10; the file is never left half-written. False when the
// write was refused or failed (the game goes on with the roll in memory).
bool SaveHonourRoll(HonourState& honour);
// The place a padded score earns (1..10), or nothing: it must sort strictly after an entry,
// byte by byte, so an equal score never displaces one.
std::optional<int32_t> FindHonourRank(const HonourState& honour, const Text& paddedScore);
// Puts the entry (padded score and name) in front of the given place, lets the old tenth place
// drop off, and saves. When another copy of the game has saved the file since this one last read
// or wrote it, the entry goes into the file's roll instead, at the place the padded score earns
// there (none at all when that roll is full of better scores), and that roll becomes this copy's.
void InsertHonour(HonourState& honour, int32_t position, const Text& paddedScore, const Text& name);

}  // namespace kelvora
