// The end of a game: a place on the honour roll (fanfare, name entry, the roll, the file), or the
// game-over window; then a new game without the click. Whole games played by keys alone.
#include <gtest/gtest.h>

#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "game/rules/path_search.h"
#include "platform/layouts.h"
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

// A player without a mouse: each move by the cursor and Enter, the name typed, Tab to the button
// and Space, the roll and the game-over window closed with Esc. Each step looks at what is on
// top when the game next waits for the player, and queues the keys for it. The cells it pressed
// are kept, so that a mouse can play the same games again.
class KeyboardPlayer {
public:
    explicit KeyboardPlayer(GameFixture& fixture) : f_(fixture) {}

    void Act() {
        Runtime& rt = f_.app->runtime;
        const WindowLayout* top = rt.WindowState(rt.TopWindow())->layout;
        HeadlessHost& host = *f_.host;
        if (top == &NameEntryWindowLayout()) {
            endedAfter.push_back(presses.size());
            host.TypeText("Keys");
            host.PressKey(Key::Tab);
            host.PressKey(Key::Space);
        } else if (top == &HonourWindowLayout()) {
            endings.push_back(rt.GetTextProperty(rt.ControlByTag(rt.TopWindow(), 1), Property::Caption));
            host.PressKey(Key::Escape);
        } else if (top == &GameOverWindowLayout()) {
            endedAfter.push_back(presses.size());
            endings.push_back("game over");
            host.PressKey(Key::Escape);
        } else if (endings.size() == 2) {
            return;
        } else {
            QueueMove();
        }
        host.Then([this] { Act(); });
    }

    std::vector<int32_t> presses;
    std::vector<Text> endings;         // the first name on the roll, or "game over"
    std::vector<size_t> endedAfter;    // how many presses each game took

private:
    void QueueMove() {
        const Control& area = *f_.app->runtime.ControlState(f_.app->controls.gameArea);
        if (!area.cursorShown) {
            f_.host->PressKey(Key::Up);  // shows it, without moving it
            return;
        }
        const auto [from, to] = ChooseMove();
        Point at = area.cursor;
        for (const int32_t cell : {from, to}) {
            const Point goal{(cell - 1) % 9, (cell - 1) / 9};
            for (; at.x < goal.x; ++at.x) f_.host->PressKey(Key::Right);
            for (; at.x > goal.x; --at.x) f_.host->PressKey(Key::Left);
            for (; at.y < goal.y; ++at.y) f_.host->PressKey(Key::Down);
            for (; at.y > goal.y; --at.y) f_.host->PressKey(Key::Up);
            f_.host->PressKey(Key::Enter);
            presses.push_back(cell);
        }
    }

    // The first ball, in cell order, with a free cell to go to whose move completes no line; any
    // move at all when every one completes a line.
    std::pair<int32_t, int32_t> ChooseMove() const {
        const Board& board = f_.app->game.board;
        std::pair<int32_t, int32_t> any{0, 0};
        for (int32_t from = 1; from <= kCellCount; ++from) {
            if (board[from] == kEmpty) continue;
            for (int32_t to = 1; to <= kCellCount; ++to) {
                std::vector<int32_t> route;
                if (board[to] != kEmpty || !FindPath(board, from, to, route)) continue;
                Board after = board;
                after[to] = after[from];
                after[from] = kEmpty;
                std::vector<int32_t> lines;
                if (!FindLines(after, to, lines)) return {from, to};
                if (any.first == 0) any = {from, to};
            }
        }
        return any;
    }

    GameFixture& f_;
};

// Two whole games by keys alone, the first ending on the roll and the second on the game-over
// window; then the same presses by the mouse in a fresh run give the very same games: every
// sound at the same moment, the same roll on disk, the same screen but for the cursor.
TEST(KeyboardPlay, WholeGamesByKeysAloneAreTheMouseGames) {
    GameFixture keys;
    keys.Start();
    keys.app->game.score = 900;  // the first game earns a place
    KeyboardPlayer player(keys);
    keys.host->Then([&] { player.Act(); });
    ASSERT_TRUE(keys.app->runtime.RunUntil([&] { return keys.host->ScriptEmpty(); }, 3600 * 1000));
    ASSERT_EQ(player.endings, (std::vector<Text>{"Keys", "game over"}));
    EXPECT_EQ(keys.HonourFile().substr(7, 6), "Keys\r\n");

    GameFixture mouse;
    mouse.Start();
    mouse.app->game.score = 900;
    for (size_t i = 0; i < player.presses.size(); ++i) {
        if (i + 1 == player.endedAfter[0]) {
            mouse.ThenTypeName("Keys");
            mouse.ThenClickOk();
            mouse.ThenPressEsc();
        } else if (i + 1 == player.endedAfter[1]) {
            mouse.ThenPressEsc();
        }
        mouse.PressCell(player.presses[i]);
    }
    const auto& keyClips = keys.host->PlayedClips();
    const auto& mouseClips = mouse.host->PlayedClips();
    ASSERT_EQ(keys.ClipsSince(0), mouse.ClipsSince(0));
    for (size_t i = 0; i < keyClips.size(); ++i) EXPECT_EQ(keyClips[i].timeMs, mouseClips[i].timeMs) << "clip " << i;
    EXPECT_EQ(keys.HonourFile(), mouse.HonourFile());
    EXPECT_EQ(keys.app->game.board, mouse.app->game.board);

    // The screens at one moment: the player last looked while the game waited, a little after
    // the mouse's last click, and the instructions scroll on meanwhile.
    const int64_t moment = std::max(keys.host->NowMs(), mouse.host->NowMs()) + 1000;
    keys.RunMs(static_cast<int32_t>(moment - keys.host->NowMs()));
    mouse.RunMs(static_cast<int32_t>(moment - mouse.host->NowMs()));
    const Control& area = *keys.app->runtime.ControlState(keys.app->controls.gameArea);
    ASSERT_TRUE(area.cursorShown);
    const Rect cursor = CursorCellRect(area);
    const HostWindowId keyWindow = keys.app->runtime.HostWindowOf(keys.app->mainWindow);
    const HostWindowId mouseWindow = mouse.app->runtime.HostWindowOf(mouse.app->mainWindow);
    int32_t differences = 0;
    for (int32_t y = 0; y < 390; ++y) {
        for (int32_t x = 0; x < 523; ++x) {
            if (cursor.Contains(x, y)) continue;
            differences += keys.host->PixelAt(keyWindow, x, y) != mouse.host->PixelAt(mouseWindow, x, y);
        }
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace kelvora
