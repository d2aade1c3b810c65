// The end of a game: a place on the honour roll (fanfare, name entry, the roll, the file), or the
// game-over window; then a new game without the click.
#include <gtest/gtest.h>

#include "support/game_fixture.h"

namespace kelvora {
namespace {

using testing::GameFixture;

class EndOfGame : public ::testing::Test {
protected:
    void SetUp() override { fixture.Start(); }

    // Lays out a board with three free cells and a score, and makes the move that fills it.
    void FillTheBoard(int32_t score) {
        fixture.FillBoardExcept({1, 80, 81});
        fixture.SetNextBalls({kRed, kBlue, kYellow});
        fixture.app->game.score = score;
        fixture.PressCell(2);
    }
    void MoveThatEndsTheGame() { fixture.PressCell(1); }

    GameFixture fixture;
};

TEST_F(EndOfGame, AWinningScoreTakesTheNameAndShowsTheRoll) {
    FillTheBoard(25);
    fixture.ThenTypeName("Alice");
    fixture.ThenClickOk();
    fixture.ThenPressEsc();  // the honour-roll window
    const size_t clips = fixture.ClipCount();
    MoveThatEndsTheGame();
    EXPECT_EQ(fixture.ClipsSince(clips),
              (std::vector<std::string>{"spawnSound", "fanfareSound", "clickSound"}));
    const std::string file = fixture.HonourFile();
    EXPECT_NE(file.find("0000055Tovenhal\r\n0000025Alice\r\n"), std::string::npos);
    EXPECT_EQ(file.find("0000020Tovenhal"), std::string::npos);
    EXPECT_EQ(fixture.app->honour.playerName, "Alice");
    // The main window's best labels keep the state of the start.
    EXPECT_EQ(fixture.Caption("标签高分名"), "Tovenhal");
    EXPECT_EQ(fixture.app->game.score, 0);
    EXPECT_EQ(fixture.BallCount(), 5);
}

TEST_F(EndOfGame, TheRollWindowShowsTheNewPlace) {
    FillTheBoard(871);
    fixture.ThenTypeName("Bob");
    fixture.ThenClickOk();
    // While the roll is open, read its rows; then close it.
    Text firstName, firstScore, secondScore;
    fixture.ThenDo([&] {
        Runtime& rt = fixture.app->runtime;
        const WindowRef roll = rt.TopWindow();
        firstName = rt.GetTextProperty(rt.ControlByTag(roll, 1), Property::Caption);
        firstScore = rt.GetTextProperty(rt.ControlByTag(roll, 11), Property::Caption);
        secondScore = rt.GetTextProperty(rt.ControlByTag(roll, 12), Property::Caption);
    });
    fixture.ThenPressEsc();
    MoveThatEndsTheGame();
    EXPECT_EQ(firstName, "Bob");
    EXPECT_EQ(firstScore, "0 0 0 0 8 7 1");
    EXPECT_EQ(secondScore, "0 0 0 0 8 7 0");
    EXPECT_EQ(fixture.HonourFile().substr(0, 12), "0000871Bob\r\n");
}

TEST_F(EndOfGame, AnEmptyNameIsRecordedAsTovenhal) {
    FillTheBoard(100000);
    fixture.ThenTypeName("");
    fixture.ThenClickOk();
    fixture.ThenPressEsc();
    MoveThatEndsTheGame();
    EXPECT_EQ(fixture.HonourFile().substr(0, 17), "0100000Tovenhal\r\n");
}

TEST_F(EndOfGame, ATieWithTheTenthPlaceEarnsNothing) {
    const std::string before = fixture.HonourFile();
    FillTheBoard(20);
    fixture.ThenPressEsc();  // the game-over window
    const size_t clips = fixture.ClipCount();
    MoveThatEndsTheGame();
    EXPECT_EQ(fixture.ClipsSince(clips), (std::vector<std::string>{"spawnSound", "blockedSound"}));
    EXPECT_EQ(fixture.HonourFile(), before);
    EXPECT_EQ(fixture.app->game.score, 0);
}

TEST_F(EndOfGame, ClosingTheNameWindowKeepsThePreviousName) {
    FillTheBoard(600);
    fixture.ThenTypeName("Carol");
    fixture.ThenClickOk();
    fixture.ThenPressEsc();
    MoveThatEndsTheGame();
    // A second honour in the same run, its name window closed with the close box.
    FillTheBoard(700);
    fixture.ThenTypeName("Dave");
    fixture.ThenCloseTopWindow();
    fixture.ThenPressEsc();
    MoveThatEndsTheGame();
    const std::string file = fixture.HonourFile();
    EXPECT_NE(file.find("0000700Carol\r\n0000640Tovenhal\r\n0000600Carol\r\n"), std::string::npos);
    EXPECT_EQ(file.find("Dave"), std::string::npos);
}

TEST_F(EndOfGame, EscInTheNameWindowBeforeAnyNameGivesTheBareScore) {
    FillTheBoard(300);
    fixture.ThenPressEsc();  // the name window, without a name ever taken in this run
    fixture.ThenPressEsc();  // the roll
    MoveThatEndsTheGame();
    EXPECT_NE(fixture.HonourFile().find("0000320Tovenhal\r\n0000300\r\n"), std::string::npos);
}

TEST_F(EndOfGame, QuittingDuringTheNameEntrySavesNothing) {
    const std::string before = fixture.HonourFile();
    FillTheBoard(5000);
    // The main window's own close box does nothing under a modal window; the session ending does.
    fixture.ThenDo([&] { fixture.host->RequestQuit(); });
    MoveThatEndsTheGame();
    EXPECT_TRUE(fixture.app->runtime.Ended());
    EXPECT_EQ(fixture.HonourFile(), before);
}

}  // namespace
}  // namespace kelvora
