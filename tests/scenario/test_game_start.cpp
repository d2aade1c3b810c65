// Starting the game in a fresh folder: the default honour file, the skin library, the main window's
// size and labels, and a first game laid out in silence.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/rules/cells.h"
#include "base/fatal.h"
#include "base/system/files.h"
#include "support/game_fixture.h"
#include "support/platform_facts.h"

namespace kelvora {
namespace {

using testing::GameFixture;

const char* const kDefaultFile =
    "0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000320Tovenhal\r\n0000210Tovenhal\r\n"
    "0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n0000055Tovenhal\r\n0000020Tovenhal\r\n";

TEST(GameStart, FirstStartInAnEmptyFolder) {
    GameFixture fixture;
    fixture.Start();
    Application& app = *fixture.app;
    EXPECT_EQ(fixture.HonourFile(), kDefaultFile);
    EXPECT_EQ(fixture.Caption("标签高分名"), "Tovenhal");
    EXPECT_EQ(fixture.Caption("标签最高分"), "0 0 0 0 8 7 0");
    EXPECT_EQ(fixture.Caption("标签分数"), "0 0 0 0 0 0 0");
    EXPECT_EQ(app.runtime.ClientWidth(app.mainWindow), 523);
    EXPECT_EQ(app.runtime.ClientHeight(app.mainWindow), 390);
    EXPECT_EQ(app.game.selectionStyle, 2);
    EXPECT_EQ(app.game.score, 0);
    EXPECT_EQ(app.game.selectedCell, 0);
    EXPECT_EQ(app.game.nextBalls.size(), 3u);
    EXPECT_EQ(fixture.BallCount(), 5);
    // The first game starts in silence: no click, no spawn sound, no growing.
    EXPECT_TRUE(fixture.ClipsSince(0).empty());
    // The skin library sits beside the game, hidden, and took the skin.
    const Text library = app.dataDirectory + "/Tovenhal.Tovenhal";
    EXPECT_TRUE(FileExists(library));
    if (testing::SupportsExtendedAttributes(fixture.dir.Path())) {
        // Wine reports every file as archived, whatever was set.
        EXPECT_EQ(GetFileAttributeBits(library).value_or(0) & ~uint32_t{kAttributeArchive}, kAttributeHidden);
    }
    EXPECT_EQ(app.skin.attachResult, 1);
}

TEST(GameStart, TheBoardShowsItsBallsAndThePreviewItsColours) {
    GameFixture fixture;
    fixture.Start();
    const GameState& game = fixture.app->game;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        const Point at = CellToPixel(cell);
        const uint32_t centre = fixture.BoardPixel(at.x + 20, at.y + 20);
        const uint32_t background = cell % 2 ? 0x212021u : 0u;
        if (game.board[cell] == kEmpty) {
            EXPECT_EQ(centre, background) << "cell " << cell;
        } else {
            EXPECT_NE(centre, background) << "cell " << cell;
        }
        // The grid line at the cell's top-left corner stays grey.
        EXPECT_EQ(fixture.BoardPixel(at.x, at.y), 0x606060u);
        // The corner of the interior is the cell's own colour, never a ball's.
        EXPECT_EQ(fixture.BoardPixel(at.x + 1, at.y + 1), background);
    }
    for (int32_t slot = 1; slot <= 3; ++slot) {
        EXPECT_NE(fixture.PreviewPixel((slot - 1) * 40 + 20, 20), 0u);  // a ball
        EXPECT_EQ(fixture.PreviewPixel((slot - 1) * 40 + 2, 2), 0u);    // black around it
        EXPECT_EQ(fixture.PreviewPixel((slot - 1) * 40, 20), 0x606060u);  // the frame line
    }
    EXPECT_EQ(fixture.PreviewPixel(60, 0), 0x606060u);
}

TEST(GameStart, ASecondStartKeepsTheRollAndTheLibrary) {
    GameFixture first;
    first.Start();
    first.app.reset();
    // The same folder again: a new application finds the file and the hidden library of the first.
    auto host = std::make_unique<HeadlessHost>();
    host->SetProgramDirectory(first.dir.Path());
    host->SetUserDataDirectory(first.dir.Path() + "/user");
    Application again(std::move(host));
    StartKelvora(again);
    EXPECT_EQ(again.honour.honourRoll[0], "0000870Tovenhal");
    EXPECT_EQ(again.skin.attachResult, 1);
}

TEST(GameStart, ATamperedLibraryIsReplacedNotLoaded) {
    GameFixture fixture;
    const std::string library = fixture.dir.File("Tovenhal.Tovenhal");
    ASSERT_TRUE(WriteWholeFile(library, ByteArray{'n', 'o', 't', ' ', 'o', 'u', 'r', 's'}));
    SetFileAttributeBits(library, kAttributeHidden);
    fixture.Start();
    EXPECT_EQ(fixture.app->skin.attachResult, 1);
    EXPECT_GT(ReadWholeFile(library).size(), 1000u);
}

TEST(GameStartDeathTest, AnUnloadableLibraryIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#if GTEST_HAS_DEATH_TEST
    EXPECT_EXIT(
        {
            GameFixture fixture;
            // A folder where the library file cannot be written: a directory stands in its way.
            std::filesystem::create_directory(fixture.dir.File("Tovenhal.Tovenhal"));
            SetFatalMessageBox([](const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); });
            fixture.Start();
        },
        ::testing::ExitedWithCode(testing::FatalExitCode()), "SkinH_AttachRes");
#else
    GTEST_SKIP() << "no death tests where a test cannot fork (Node)";
#endif
}

}  // namespace
}  // namespace kelvora
