// Neither the program's folder nor the per-user folder can be written (an installed copy run by a
// user without a home it may write): the game still starts and plays, keeps the honour roll in
// memory only, and writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "faults/child_process.h"
#include "support/game_fixture.h"

namespace kelvora {
namespace {

using testing::GameFixture;

TEST(ReadOnlyFolders, TheGamePlaysWithTheRollInMemoryAndWritesNothing) {
    testing::TempDir base;
    const int result = faults::RunInChild([&base] {
        // The game's folder is made inside `base`, which this test removes whatever the child did.
        if (::chdir(base.Path().c_str()) != 0) return 90;
        GameFixture fixture;
        const std::string folder = fixture.dir.Path();
        std::filesystem::permissions(base.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::others_exec);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                                 std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
        if (!faults::DropRootRights()) return 91;
        if (::access(folder.c_str(), W_OK) == 0) return 92;

        fixture.Start();
        // The default roll is shown though it could not be saved.
        EXPECT_EQ(fixture.Caption("标签高分名"), "Tovenhal");
        EXPECT_EQ(fixture.Caption("标签最高分"), "0 0 0 0 8 7 0");

        fixture.FillBoardExcept({1, 80, 81});
        fixture.SetNextBalls({kRed, kBlue, kYellow});
        fixture.app->game.score = 550;
        fixture.PressCell(2);
        fixture.ThenTypeName("Gus");
        fixture.ThenClickOk();
        Text third;
        fixture.ThenDo([&] {
            Runtime& rt = fixture.app->runtime;
            third = rt.GetTextProperty(rt.ControlByTag(rt.TopWindow(), 3), Property::Caption);
        });
        fixture.ThenPressEsc();
        fixture.PressCell(1);
        // The new place is in the roll the game shows, and nowhere on disk.
        EXPECT_EQ(third, "Gus");
        EXPECT_EQ(fixture.app->honour.honourRoll[2], "0000550Gus");
        EXPECT_EQ(fixture.app->game.score, 0);
        EXPECT_EQ(fixture.BallCount(), 5);
        EXPECT_TRUE(faults::FolderEntries(folder).empty());
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    faults::RestoreWriteRights(base.Path());
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace kelvora
