// A full disk while the game saves a new honour: the roll on disk stays as it was, the game keeps
// the new entry in memory and plays on, and once there is room again the next save writes it all.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

#include "faults/child_process.h"
#include "support/game_fixture.h"

namespace kelvora {
namespace {

using testing::GameFixture;

// The move that fills the board with a score worth a place, answered with a name and closing the
// roll window.
void EndAWinningGame(GameFixture& fixture, int32_t score, const std::string& name) {
    fixture.FillBoardExcept({1, 80, 81});
    fixture.SetNextBalls({kRed, kBlue, kYellow});
    fixture.app->game.score = score;
    fixture.PressCell(2);
    fixture.ThenTypeName(name);
    fixture.ThenClickOk();
    fixture.ThenPressEsc();
    fixture.PressCell(1);
}

// Only the soft limit changes, so it can be lifted again without special rights.
bool SetFileSizeLimit(rlim_t bytes) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    limit.rlim_cur = std::min(bytes, limit.rlim_max);
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

TEST(FullDisk, TheOldRollSurvivesAndTheGameGoesOn) {
    const int result = faults::RunInChild([] {
        GameFixture fixture;
        fixture.Start();
        const std::string before = fixture.HonourFile();
        // Every write past 64 bytes now fails as on a full disk (EFBIG instead of the signal).
        std::signal(SIGXFSZ, SIG_IGN);
        if (!SetFileSizeLimit(64)) return 90;

        EndAWinningGame(fixture, 871, "Eve");
        EXPECT_EQ(fixture.HonourFile(), before);
        for (const std::string& name : faults::FolderEntries(fixture.dir.Path()))
            EXPECT_FALSE(name.ends_with(".new")) << "a half-written roll was left behind";
        EXPECT_EQ(fixture.app->honour.honourRoll.front(), "0000871Eve");
        // The game went on: a new game is laid out and takes moves.
        EXPECT_EQ(fixture.app->game.score, 0);
        EXPECT_EQ(fixture.BallCount(), 5);
        fixture.SetBoard("2........ ......... ......... ......... ......... ......... ......... ......... .........");
        fixture.SetNextBalls({kRed, kBlue, kYellow});
        fixture.PressCell(1);
        fixture.PressCell(2);
        EXPECT_EQ(fixture.app->game.board[2], kRed);
        EXPECT_EQ(fixture.BallCount(), 4);

        if (!SetFileSizeLimit(RLIM_INFINITY)) return 91;
        EndAWinningGame(fixture, 900, "Fay");
        const std::string after = fixture.HonourFile();
        EXPECT_EQ(after.substr(0, 37), "0000900Fay\r\n0000871Eve\r\n0000870Tovenh");
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace kelvora
