// Copies of the game that save new places at the very same moments, over and over, from one
// folder: every entry reaches the file, none is saved over by another copy's roll.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "faults/child_process.h"
#include "support/temp_dir.h"
#include "windows/honour_roll.h"

namespace kelvora {
namespace {

constexpr int kCopies = 3;
constexpr int kSavesEach = 3;  // nine new places, all above the default roll: each must stay

Text CopyName(int copy, int save) { return "Copy" + std::to_string(copy) + "Save" + std::to_string(save); }

TEST(CopiesSavingAtOnce, NoEntryIsLost) {
    testing::TempDir dir;
    HonourState start;
    LoadHonourRoll(start, HonourFilePath(dir.Path()));

    // Every copy loads the roll, then all start saving together when the pipe is closed.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> copies;
    for (int copy = 0; copy < kCopies; ++copy) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(go[1]);
            HonourState honour;
            LoadHonourRoll(honour, HonourFilePath(dir.Path()));
            char ignored;
            if (::read(go[0], &ignored, 1) != 0) ::_exit(90);
            for (int save = 0; save < kSavesEach; ++save) {
                const Text padded = PaddedScore(1000 + save * kCopies + copy);
                const auto place = FindHonourRank(honour, padded);
                if (!place) ::_exit(91);
                InsertHonour(honour, *place, padded, CopyName(copy, save));
            }
            ::_exit(0);
        }
        copies.push_back(pid);
    }
    ::close(go[0]);
    ::close(go[1]);
    for (const pid_t pid : copies) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    HonourState end;
    LoadHonourRoll(end, HonourFilePath(dir.Path()));
    for (int copy = 0; copy < kCopies; ++copy) {
        for (int save = 0; save < kSavesEach; ++save) {
            const Text entry = PaddedScore(1000 + save * kCopies + copy) + CopyName(copy, save);
            EXPECT_NE(std::find(end.honourRoll.begin(), end.honourRoll.end(), entry), end.honourRoll.end()) << entry;
        }
    }
    EXPECT_TRUE(std::is_sorted(end.honourRoll.begin(), end.honourRoll.end(), std::greater<>()));
    EXPECT_EQ(end.honourRoll.back(), "0000870Tovenhal");
    EXPECT_EQ(faults::FolderEntries(dir.Path()), std::vector<std::string>{"Kelvora\xE8\x8D\xA3\xE8\xAA\x89\xE6\xA6\x9C.ini"});
}

}  // namespace
}  // namespace kelvora
