// The game killed at random moments while it saves the honour roll: afterwards the file is always
// exactly the roll before that save or the roll after it, never a torn mixture or a cut-off file.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "faults/child_process.h"
#include "base/system/files.h"
#include "support/temp_dir.h"
#include "windows/honour_roll.h"

namespace kelvora {
namespace {

constexpr int32_t kFirstSaverScore = 1000000;

// The entry of the k-th save: a score that counts the saves, and names of different lengths, some
// Chinese, so that consecutive rolls differ in length and content everywhere.
Text SaverScore(int64_t k) { return PaddedScore(static_cast<int32_t>(kFirstSaverScore + k)); }
Text SaverName(int64_t k) {
    Text name = "Saver";
    for (int64_t i = 0; i < k % 4; ++i) name += "存档";
    return name;
}
Text SaverEntry(int64_t k) { return SaverScore(k) + SaverName(k); }

// How many saves the roll has seen: its first entry tells (0 for the default roll).
int64_t SavesIn(const std::vector<Text>& roll) {
    const int32_t score = roll.empty() ? 0 : EntryScore(roll.front());
    return score > kFirstSaverScore ? score - kFirstSaverScore : 0;
}

// The roll after k saves, each putting its entry in first place over the starting roll.
std::vector<Text> RollAfter(int64_t k, const std::vector<Text>& start) {
    std::vector<Text> roll;
    for (int64_t i = 0; i < kHonourPlaces; ++i) roll.push_back(i < k ? SaverEntry(k - i) : start[static_cast<size_t>(i - k)]);
    return roll;
}

std::vector<Text> LinesOf(const ByteArray& bytes) {
    const Text text = BytesToText(bytes);
    std::vector<Text> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == Text::npos) {
            lines.push_back("<no CR LF after: " + text.substr(start) + ">");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Saves one roll after the other as fast as it can, until it is killed. Says on `ready` when it
// starts saving, so that the kill is timed from there and not from a fork, which a sanitizer
// build makes slower than many saves.
[[noreturn]] void SaveForever(const Text& folder, int ready) {
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(folder));
    const char started = 1;
    (void)!::write(ready, &started, 1);
    for (int64_t k = SavesIn(honour.honourRoll) + 1;; ++k) InsertHonour(honour, 1, SaverScore(k), SaverName(k));
}

TEST(KillDuringSave, TheFileIsAlwaysTheOldOrTheNewRoll) {
    testing::TempDir dir;
    HonourState start;
    LoadHonourRoll(start, HonourFilePath(dir.Path()));  // the default roll, written the way a first start writes it
    const Text file = start.honourFilePath;
    const std::string temporary = *SystemPath(file) + ".new";

    // Kills land anywhere within a few saves' time, however fast this disk is.
    timespec before{}, after{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    ASSERT_TRUE(SaveHonourRoll(start));
    clock_gettime(CLOCK_MONOTONIC, &after);
    const int64_t saveUs = (after.tv_sec - before.tv_sec) * 1000000 + (after.tv_nsec - before.tv_nsec) / 1000;
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int64_t> delayUs(0, std::max<int64_t>(3 * saveUs, 2000));
    int64_t lastSaves = 0;
    int killsDuringAWrite = 0;
    constexpr int kKills = 150;
    for (int round = 0; round < kKills; ++round) {
        std::fflush(stdout);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) SaveForever(dir.Path(), ready[1]);
        char started = 0;
        ASSERT_EQ(::read(ready[0], &started, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        killsDuringAWrite += ::access(temporary.c_str(), F_OK) == 0 ? 1 : 0;
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::vector<Text> lines = LinesOf(ReadWholeFile(file));
        ASSERT_EQ(lines.size(), static_cast<size_t>(kHonourPlaces)) << "after kill " << round;
        const int64_t saves = SavesIn(lines);
        ASSERT_EQ(lines, RollAfter(saves, start.honourRoll)) << "after kill " << round;
        // A kill never takes back a save that had reached the file.
        ASSERT_GE(saves, lastSaves) << "after kill " << round;
        lastSaves = saves;
    }
    // Saves went on between the kills, and kills came while a new roll was being written.
    EXPECT_GT(lastSaves, 0);
    EXPECT_GT(killsDuringAWrite, 0);
    std::printf("%d kills, %lld saves reached the file, %d kills while a new roll was being written\n", kKills,
                static_cast<long long>(lastSaves), killsDuringAWrite);
}

}  // namespace
}  // namespace kelvora
