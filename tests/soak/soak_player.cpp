// The soak player.
#include "soak/soak_player.h"

#include <algorithm>
#include <array>
#include <climits>

#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "game/rules/path_search.h"
#include "platform/sound.h"
#include "presentation/sound_clips.h"

namespace kelvora::soak {
namespace {

// Typed as one piece each; the ones without a GBK form must never reach the field.
struct TypedPiece {
    const char8_t* utf8;
    const char* gbk;  // null: no GBK form
};
constexpr TypedPiece kPieces[] = {
    {u8"Li", "Li"},       {u8"Wei", "Wei"},       {u8" ", " "},           {u8"07", "07"},
    {u8"王芳", "王芳"},   {u8"荣誉", "荣誉"},     {u8"张", "张"},         {u8"·", "·"},
    {u8"😀", nullptr},    {u8"한글", nullptr},    {u8"กข", nullptr},      {u8"x🎉y", nullptr},
    {u8"ℵ", nullptr},
};
constexpr int32_t kPieceCount = static_cast<int32_t>(sizeof kPieces / sizeof kPieces[0]);

constexpr const char* kNameWindow = "输入名字窗口";
constexpr const char* kGameOverWindow = "游戏结束窗口";
constexpr const char* kRollWindow = "荣誉榜窗口";
constexpr const char* kDefaultName = "Tovenhal";
// Random play fills the board in well under a thousand presses; far more means the game is stuck.
constexpr int64_t kMostPressesInAGame = 20000;

std::string Utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

// A GBK text cut into its characters (one byte, or a lead byte from 0x81 and its trail byte).
std::vector<Text> Characters(const Text& gbk) {
    std::vector<Text> characters;
    for (size_t i = 0; i < gbk.size();) {
        const size_t length = static_cast<unsigned char>(gbk[i]) >= 0x81 && i + 1 < gbk.size() ? 2 : 1;
        characters.push_back(gbk.substr(i, length));
        i += length;
    }
    return characters;
}

int32_t BallsOn(const Board& board) {
    int32_t balls = 0;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) balls += board[cell] != kEmpty ? 1 : 0;
    return balls;
}

std::vector<uint8_t> ClipSamples(std::span<const uint8_t> clip) {
    auto pcm = ParseWaveClip(clip);
    if (!pcm) throw SoakFailure("a built-in clip does not parse");
    return std::move(pcm->samples);
}

// The cells next to a cell, up, down, left and right; -1 off the board.
std::array<int32_t, 4> Neighbours(int32_t cell) {
    const ColumnRow at = CellToColumnRow(cell);
    return {ColumnRowToCell(at.column - 1, at.row), ColumnRowToCell(at.column + 1, at.row),
            ColumnRowToCell(at.column, at.row - 1), ColumnRowToCell(at.column, at.row + 1)};
}

}  // namespace

// The board's free cells split into the regions a ball can travel within: every free cell gets
// the number of its region (from 1), every ball 0. A ball can go to any cell of a region it
// touches.
struct FreeRegions {
    std::array<int32_t, kCellCount + 1> regionOf{};
    int32_t count = 0;

    explicit FreeRegions(const Board& board) {
        std::vector<int32_t> frontier;
        for (int32_t cell = 1; cell <= kCellCount; ++cell) {
            if (board[cell] != kEmpty || regionOf[static_cast<size_t>(cell)] != 0) continue;
            regionOf[static_cast<size_t>(cell)] = ++count;
            frontier.push_back(cell);
            while (!frontier.empty()) {
                const int32_t at = frontier.back();
                frontier.pop_back();
                for (int32_t next : Neighbours(at)) {
                    if (next < 1 || board[next] != kEmpty || regionOf[static_cast<size_t>(next)] != 0) continue;
                    regionOf[static_cast<size_t>(next)] = count;
                    frontier.push_back(next);
                }
            }
        }
    }
    int32_t Of(int32_t cell) const { return regionOf[static_cast<size_t>(cell)]; }
    bool Touches(int32_t ball, int32_t region) const {
        for (int32_t next : Neighbours(ball))
            if (next >= 1 && Of(next) == region) return true;
        return false;
    }
};

namespace {

// The longest run through `to`, in any of the four directions, once the ball of `from` has moved
// there; magic balls count as its colour.
int32_t LongestRunAfterMove(const Board& board, int32_t from, int32_t to) {
    constexpr int32_t kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
    const int32_t colour = board[from];
    const ColumnRow at = CellToColumnRow(to);
    int32_t longest = 0;
    for (const auto& step : kSteps) {
        int32_t run = 1;
        for (int32_t side : {1, -1}) {
            for (int32_t k = 1;; ++k) {
                const int32_t next = ColumnRowToCell(at.column + side * k * step[0], at.row + side * k * step[1]);
                if (next < 1 || next == from || (board[next] != colour && board[next] != kMagicBall)) break;
                ++run;
            }
        }
        longest = std::max(longest, run);
    }
    return longest;
}

}  // namespace

uint64_t SoakRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int32_t SoakRandom::Below(int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(Next() % static_cast<uint64_t>(n)); }

SoakPlayer::SoakPlayer(uint64_t blockSeed)
    : random_(blockSeed), fixture_(std::make_unique<testing::GameFixture>()) {
    const SoundClips clips = BuiltInSoundClips();
    scoreClip_ = ClipSamples(clips.scoreSound);
    spawnClip_ = ClipSamples(clips.spawnSound);
}

SoakPlayer::~SoakPlayer() = default;

std::string SoakPlayer::Where() const {
    return "game " + std::to_string(gamesEnded_ + 1) + " of the block, press " + std::to_string(pressesInGame_) +
           " of that game";
}

void SoakPlayer::Play(int64_t games, SoakTally& tally) {
    fixture_->host->SetTimeBudgetMs(INT64_MAX / 4);
    fixture_->Start();
    honour_.roll = HonourFileLines(fixture_->HonourFile());
    // The start lays out the first game: check it like one the start button began.
    press_ = PressState{};
    press_.kind = PressKind::StartButton;
    CheckAfterPress(tally);
    while (gamesEnded_ < games) {
        PressOnce(tally);
        if (pressesInGame_ > kMostPressesInAGame)
            throw SoakFailure("a game went on for " + std::to_string(pressesInGame_) + " presses without ending");
    }
    tally.virtualMs += fixture_->host->NowMs();
}

void SoakPlayer::PressOnce(SoakTally& tally) {
    Application& app = *fixture_->app;
    press_ = PressState{};
    press_.before = app.game;
    press_.ballsBefore = BallsOn(app.game.board);
    press_.firstClip = fixture_->host->PlayedClips().size();
    const int32_t roll = random_.Below(1000);
    press_.kind = roll < 1 ? PressKind::StartButton : roll < 4 ? PressKind::RollButton : PressKind::Board;
    if (press_.kind == PressKind::StartButton) {
        // The game in progress is dropped: the press is measured from an empty board.
        press_.before = GameState{};
        press_.ballsBefore = 0;
    }
    // Now and then time passes first: the selected ball bobs, the instructions scroll.
    if (random_.Chance(4)) fixture_->host->Pause(random_.Below(600));
    fixture_->ThenDo([this, &tally] { Answer(tally); });
    ++pressesInGame_;
    ++tally.presses;
    switch (press_.kind) {
        case PressKind::Board: {
            const Point at = ChooseBoardPoint();
            fixture_->PressAt(at.x, at.y);
            break;
        }
        case PressKind::StartButton:
            ++tally.abandoned;
            fixture_->ClickMainButton("按钮开始游戏");
            break;
        case PressKind::RollButton:
            fixture_->ClickMainButton("按钮荣誉榜");
            break;
    }
    CheckAfterPress(tally);
    if (press_.gameEnded || press_.kind == PressKind::StartButton) pressesInGame_ = 0;
}

Point SoakPlayer::ChooseBoardPoint() {
    const GameState& game = fixture_->app->game;
    auto somewhereIn = [this](int32_t cell) {
        const Point at = CellToPixel(cell);
        return Point{at.x + random_.Below(kCellSize), at.y + random_.Below(kCellSize)};
    };
    auto any = [this](const std::vector<int32_t>& cells) {
        return cells[static_cast<size_t>(random_.Below(static_cast<int32_t>(cells.size())))];
    };
    // Anywhere, grid lines and a few pixels beside the board included.
    if (random_.Chance(3)) return Point{random_.Below(374) - 7, random_.Below(374) - 7};
    const FreeRegions regions(game.board);
    std::vector<int32_t> balls, movable, empties;
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        if (game.board[cell] == kEmpty) {
            empties.push_back(cell);
            continue;
        }
        balls.push_back(cell);
        for (int32_t next : Neighbours(cell)) {
            if (next >= 1 && game.board[next] == kEmpty) {
                movable.push_back(cell);
                break;
            }
        }
    }

    if (game.selectedCell == 0) {
        plan_.reset();
        if (random_.Chance(85)) plan_ = FindBuildingMove(regions);
        if (plan_) return somewhereIn(plan_->from);
        // Mostly a ball that can go somewhere, so the game moves on.
        if (!movable.empty() && random_.Chance(90)) return somewhereIn(any(movable));
        if (!balls.empty() && random_.Chance(90)) return somewhereIn(any(balls));
        return somewhereIn(empties.empty() ? 1 + random_.Below(kCellCount) : any(empties));
    }
    if (plan_ && plan_->from == game.selectedCell && game.board[plan_->to] == kEmpty) {
        const int32_t target = plan_->to;
        plan_.reset();
        return somewhereIn(target);
    }
    std::vector<int32_t> reachable;
    for (int32_t cell : empties)
        if (regions.Touches(game.selectedCell, regions.Of(cell))) reachable.push_back(cell);
    const int32_t choice = random_.Below(100);
    if (choice < 85 && !reachable.empty()) return somewhereIn(any(reachable));
    if (choice < 90 && !empties.empty()) return somewhereIn(any(empties));
    if (choice < 97) return somewhereIn(any(balls));
    return somewhereIn(game.selectedCell);
}

std::optional<SoakPlayer::PlannedMove> SoakPlayer::FindBuildingMove(const FreeRegions& regions) {
    const Board& board = fixture_->app->game.board;
    std::vector<int32_t> empties;
    for (int32_t cell = 1; cell <= kCellCount; ++cell)
        if (board[cell] == kEmpty) empties.push_back(cell);
    // The balls next to each region, each listed once.
    std::vector<std::vector<int32_t>> touching(static_cast<size_t>(regions.count) + 1);
    for (int32_t cell = 1; cell <= kCellCount; ++cell) {
        if (board[cell] <= kMagicBall) continue;
        int32_t seen[4] = {};
        int32_t seenCount = 0;
        for (int32_t next : Neighbours(cell)) {
            const int32_t region = next >= 1 ? regions.Of(next) : 0;
            if (region == 0 || std::find(seen, seen + seenCount, region) != seen + seenCount) continue;
            seen[seenCount++] = region;
            touching[static_cast<size_t>(region)].push_back(cell);
        }
    }
    std::optional<PlannedMove> best;
    int32_t bestRun = 1;
    // Some forty targets find a good move most of the time and keep the choice cheap.
    for (int32_t sample = 0; sample < 40 && !empties.empty(); ++sample) {
        const int32_t to = empties[static_cast<size_t>(random_.Below(static_cast<int32_t>(empties.size())))];
        for (int32_t from : touching[static_cast<size_t>(regions.Of(to))]) {
            const int32_t run = LongestRunAfterMove(board, from, to);
            if (run > bestRun) {
                bestRun = run;
                best = PlannedMove{from, to};
            }
        }
    }
    return best;
}

void SoakPlayer::Answer(SoakTally& tally) {
    Runtime& rt = fixture_->app->runtime;
    const WindowRef top = rt.TopWindow();
    if (!top || top == rt.MainWindow()) return;
    const Window* window = rt.WindowState(top);
    const Text name = window && window->layout ? window->layout->name : Text();
    if (name == kNameWindow) {
        EndOfGame(true, tally);
        AnswerNameEntry(top, tally);
    } else if (name == kGameOverWindow) {
        EndOfGame(false, tally);
        Dismiss(top);
    } else if (name == kRollWindow) {
        CheckRollWindow(top);
        ++tally.rollsShown;
        Dismiss(top);
    } else {
        throw SoakFailure("an unexpected window is open: " + name);
    }
    // Whatever opens next is answered in its turn.
    fixture_->host->Then([this, &tally] { Answer(tally); });
}

void SoakPlayer::EndOfGame(bool nameWindowShown, SoakTally& tally) {
    if (press_.gameEnded) throw SoakFailure("a second end-of-game window opened in one press");
    press_.gameEnded = true;
    const GameState& game = fixture_->app->game;
    CheckBoardAndSelection(game);
    const int32_t balls = BallsOn(game.board);
    if (balls != kCellCount) throw SoakFailure("the game ended with " + std::to_string(kCellCount - balls) + " free cells");
    if (game.selectedCell != 0) throw SoakFailure("the game ended with a ball selected");
    const int32_t removals = CountClips(scoreClip_, press_.firstClip);
    if (CountClips(spawnClip_, press_.firstClip) != 1) throw SoakFailure("the game ended without a spawn");
    CheckScoreChangeOfLastSpawn(press_.before.score, game.score, press_.ballsBefore, removals);
    CheckNoLineStands(game.board, press_.before.board, removals > 0);
    CheckPresentedCells(View(), game.board);
    CheckHonourFile();

    press_.paddedScore = PaddedSeven(game.score);
    press_.rank = honour_.RankOf(press_.paddedScore);
    if (nameWindowShown != press_.rank.has_value())
        throw SoakFailure("a score of " + std::to_string(game.score) +
                          (nameWindowShown ? " took a name though it earns no place" : " earns a place but no name was asked for"));
    ++tally.games;
    ++tally.spawns;
    tally.removals += removals;
    if (nameWindowShown) ++tally.honours;
    tally.bestScore = std::max(tally.bestScore, game.score);
    ++gamesEnded_;

    // The rest of the press is the start of the next game.
    press_.before = GameState{};
    press_.ballsBefore = 0;
    press_.firstClip = fixture_->host->PlayedClips().size();
}

void SoakPlayer::AnswerNameEntry(WindowRef window, SoakTally& tally) {
    HeadlessHost& host = *fixture_->host;
    Runtime& rt = fixture_->app->runtime;
    std::vector<Text> field = Characters(kDefaultName);
    if (random_.Chance(80)) {
        host.PressKey(Key::A, kModifierCtrl);
        host.PressKey(Key::Delete);
        field.clear();
        const int32_t pieces = random_.Below(5);
        for (int32_t i = 0; i < pieces; ++i) {
            if (!field.empty() && random_.Chance(15)) {
                host.PressKey(Key::Backspace);
                field.pop_back();
                continue;
            }
            const TypedPiece& piece = kPieces[random_.Below(kPieceCount)];
            // Sometimes an input method shows its unfinished text first; committing replaces it.
            if (random_.Chance(20)) host.Compose(Utf8(u8"pīn"), 1);
            host.TypeText(Utf8(piece.utf8));
            if (piece.gbk) {
                for (Text& character : Characters(piece.gbk)) field.push_back(std::move(character));
            } else {
                ++tally.refusedTexts;
            }
        }
        ++tally.namesTyped;
    }
    Text typed;
    for (const Text& character : field) typed += character;
    host.Then([this, window, typed] {
        Runtime& runtime = fixture_->app->runtime;
        const Text shown = runtime.GetTextProperty(runtime.ControlByName(window, "编辑框玩家名称"), Property::Text);
        if (shown != typed) throw SoakFailure("the name field holds \"" + shown + "\" instead of \"" + typed + "\"");
    });

    const int32_t ending = random_.Below(100);
    if (ending < 70) {
        host.Then([this, window] {
            Runtime& runtime = fixture_->app->runtime;
            const Control* ok = runtime.ControlState(runtime.ControlByName(window, "按钮确定"));
            if (!ok) throw SoakFailure("the name window has no OK button");
            fixture_->host->Click(Point{ok->rect.left + ok->rect.width / 2, ok->rect.top + ok->rect.height / 2},
                                  runtime.HostWindowOf(window));
        });
        honour_.playerName = typed.empty() ? Text(kDefaultName) : typed;
    } else if (ending < 85) {
        host.PressKey(Key::Escape, 0, rt.HostWindowOf(window));
    } else {
        host.RequestClose(rt.HostWindowOf(window));
    }
    // Closing the window without OK keeps the name of the last confirmed entry (none at first).
    honour_.Insert(*press_.rank, press_.paddedScore + honour_.playerName);
}

void SoakPlayer::Dismiss(WindowRef window) {
    Runtime& rt = fixture_->app->runtime;
    if (random_.Chance(50)) {
        fixture_->host->PressKey(Key::Escape, 0, rt.HostWindowOf(window));
    } else {
        fixture_->host->RequestClose(rt.HostWindowOf(window));
    }
}

void SoakPlayer::CheckRollWindow(WindowRef window) {
    CheckHonourFile();
    Runtime& rt = fixture_->app->runtime;
    for (int32_t k = 1; k <= 10; ++k) {
        const Text& entry = honour_.roll[static_cast<size_t>(k) - 1];
        const Text name = rt.GetTextProperty(rt.ControlByTag(window, k), Property::Caption);
        const Text score = rt.GetTextProperty(rt.ControlByTag(window, k + 10), Property::Caption);
        const Text expectedName = entry.size() > 7 ? entry.substr(7) : Text();
        if (name != expectedName || score != SpacedScore(entry.substr(0, 7)))
            throw SoakFailure("place " + std::to_string(k) + " of the roll window shows \"" + name + "\" \"" + score +
                              "\" for the entry \"" + entry + "\"");
    }
}

void SoakPlayer::CheckAfterPress(SoakTally& tally) {
    Runtime& rt = fixture_->app->runtime;
    if (rt.Ended() || rt.TopWindow() != rt.MainWindow()) throw SoakFailure("the press left the main window covered or closed");
    const GameState& game = fixture_->app->game;
    CheckBoardAndSelection(game);
    const int32_t removals = CountClips(scoreClip_, press_.firstClip);
    const int32_t spawns = CountClips(spawnClip_, press_.firstClip);
    PressOutcome outcome{press_.ballsBefore, 0, BallsOn(game.board), removals};
    if (press_.gameEnded || press_.kind == PressKind::StartButton) {
        // A new game lays out five balls without the spawn sound.
        if (spawns != 0) throw SoakFailure("a new game played the spawn sound");
        outcome.ballsPlaced = 5;
    } else if (press_.kind == PressKind::RollButton) {
        if (game.board != press_.before.board || game.score != press_.before.score)
            throw SoakFailure("looking at the honour roll changed the game");
    } else {
        if (spawns > 1) throw SoakFailure("one press brought " + std::to_string(spawns) + " spawns");
        outcome.ballsPlaced = 3 * spawns;
    }
    CheckScoreChange(press_.before.score, game.score, outcome);
    CheckNoLineStands(game.board, press_.before.board, removals > 0);
    CheckPresentedCells(View(), game.board);
    const Text caption = rt.GetTextProperty(fixture_->app->controls.scoreLabel, Property::Caption);
    if (caption != SpacedScore(PaddedSeven(game.score)))
        throw SoakFailure("the score label shows \"" + caption + "\" for a score of " + std::to_string(game.score));
    CheckHonourFile();
    tally.spawns += spawns;
    tally.removals += removals;
    tally.bestScore = std::max(tally.bestScore, game.score);
}

void SoakPlayer::CheckHonourFile() const {
    const std::string bytes = fixture_->HonourFile();
    HonourFileLines(bytes);
    if (bytes != honour_.FileBytes())
        throw SoakFailure("the honour file holds\n" + bytes + "where the roll should be\n" + honour_.FileBytes());
}

int32_t SoakPlayer::CountClips(const std::vector<uint8_t>& samples, size_t from) const {
    const auto& played = fixture_->host->PlayedClips();
    int32_t count = 0;
    for (size_t i = from; i < played.size(); ++i) count += played[i].clip.samples == samples ? 1 : 0;
    return count;
}

BoardView SoakPlayer::View() const {
    const Runtime& rt = fixture_->app->runtime;
    const Control* area = rt.ControlState(fixture_->app->controls.gameArea);
    if (!area) throw SoakFailure("the game area is gone");
    const HeadlessHost::WindowState* shown = fixture_->host->Window(rt.HostWindowOf(rt.MainWindow()));
    if (!shown) throw SoakFailure("the main window is not shown");
    return BoardView{&shown->screen, shown->client.width, area->rect.left, area->rect.top};
}

}  // namespace kelvora::soak
