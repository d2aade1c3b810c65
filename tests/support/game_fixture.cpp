// The whole game on the headless host.
#include "support/game_fixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "game/rules/cells.h"
#include "game/rules/lines.h"
#include "platform/sound.h"
#include "presentation/board_drawing.h"
#include "presentation/sprites.h"
#include "presentation/sound_clips.h"
#include "support/platform_facts.h"

namespace kelvora::testing {
namespace {

std::unique_ptr<Application> MakeApplication(HeadlessHost*& host, const std::string& folder) {
    auto headless = std::make_unique<HeadlessHost>();
    headless->SetProgramDirectory(folder);
    headless->SetUserDataDirectory(folder + "/user");
    host = headless.get();
    return std::make_unique<Application>(std::move(headless));
}

}  // namespace

GameFixture::GameFixture() : app(MakeApplication(host, dir.Path())) {
    const SoundClips clips = BuiltInSoundClips();
    auto add = [this](SoundClip clip, std::string name) {
        if (auto pcm = ParseWaveClip(clip)) clipNames_.emplace_back(std::move(pcm->samples), std::move(name));
    };
    add(clips.clickSound, "clickSound");
    add(clips.spawnSound, "spawnSound");
    add(clips.scoreSound, "scoreSound");
    add(clips.blockedSound, "blockedSound");
    add(clips.fanfareSound, "fanfareSound");
    for (int32_t n = 1; n <= 6; ++n) {
        add(clips.burstSound.Pick(n), "burstSound" + std::to_string(n));
        add(clips.selectSound.Pick(n), "selectSound" + std::to_string(n));
        add(clips.longMoveSound.Pick(n), "longMoveSound" + std::to_string(n));
    }
}

GameFixture::~GameFixture() { app.reset(); }

void GameFixture::Start() { StartKelvora(*app); }

void GameFixture::SetBoard(std::string_view cells) {
    Board board{};
    int32_t cell = 1;
    for (char ch : cells) {
        if (ch == ' ' || ch == '\n' || ch == '\r') continue;
        if (cell > kCellCount) throw std::invalid_argument("more than 81 cells");
        board[cell++] = ch == '.' ? kEmpty : ch == 'M' ? kMagicBall : ch - '0';
    }
    if (cell != kCellCount + 1) throw std::invalid_argument("fewer than 81 cells");
    app->game.board = board;
    app->game.selectedCell = 0;
    app->stage.SetSelectionTimerInterval(0);
    for (int32_t c = 1; c <= kCellCount; ++c) DrawBallAt(app->stage, c, board[c], kSpriteResting);
    app->runtime.Present();
}

void GameFixture::SetNextBalls(std::vector<int32_t> colours) { app->game.nextBalls = std::move(colours); }

void GameFixture::FillBoardExcept(std::vector<int32_t> freeCells) {
    // Rows of two colours in pairs never hold five of one colour in any direction.
    std::string cells;
    for (int32_t c = 1; c <= kCellCount; ++c) {
        const ColumnRow at = CellToColumnRow(c);
        const bool isFree = std::find(freeCells.begin(), freeCells.end(), c) != freeCells.end();
        const int32_t colour = 2 + ((at.column + 1) / 2 + at.row) % 3 + 3 * (at.row % 2);
        cells.push_back(isFree ? '.' : static_cast<char>('0' + std::min(colour, 8)));
    }
    SetBoard(cells);
    for (int32_t c = 1; c <= kCellCount; ++c) {
        std::vector<int32_t> lines;
        if (FindLines(app->game.board, c, lines)) throw std::logic_error("the filling pattern makes a line");
    }
}

void GameFixture::RunScript() {
    // Answers for windows the click will open come after the click itself.
    for (auto& step : followUps_) step();
    followUps_.clear();
    const bool done = app->runtime.RunUntil([this] { return host->ScriptEmpty(); }, 600000);
    if (!done) throw std::runtime_error("the script did not finish");
}

void GameFixture::PressAt(int32_t x, int32_t y) {
    host->Then([this, x, y] {
        const Control* area = app->runtime.ControlState(app->controls.gameArea);
        host->Click(Point{area->rect.left + x, area->rect.top + y}, app->runtime.HostWindowOf(app->mainWindow));
    });
    RunScript();
}

void GameFixture::PressCell(int32_t cell) {
    const Point at = CellToPixel(cell);
    PressAt(at.x + 20, at.y + 20);
}

void GameFixture::ClickMainButton(std::string_view name) {
    const Text button(name);
    host->Then([this, button] {
        const Control* c = app->runtime.ControlState(app->runtime.ControlByName(app->mainWindow, button));
        host->Click(Point{c->rect.left + c->rect.width / 2, c->rect.top + c->rect.height / 2},
                    app->runtime.HostWindowOf(app->mainWindow));
    });
    RunScript();
}

void GameFixture::PressKeys(const std::vector<Key>& keys, uint32_t modifiers) {
    for (const Key key : keys) host->PressKey(key, modifiers);
    RunScript();
}

void GameFixture::ThenTypeName(const std::string& utf8Name) {
    followUps_.push_back([this, utf8Name] {
        host->PressKey(Key::A, kModifierCtrl);
        if (utf8Name.empty()) {
            host->PressKey(Key::Delete);
        } else {
            host->TypeText(utf8Name);
        }
    });
}

void GameFixture::ThenClickOk() {
    followUps_.push_back([this] { host->Then([this] {
        const WindowRef top = app->runtime.TopWindow();
        const Control* c = app->runtime.ControlState(app->runtime.ControlByName(top, "按钮确定"));
        if (!c) throw std::runtime_error("no OK button on top");
        host->Click(Point{c->rect.left + c->rect.width / 2, c->rect.top + c->rect.height / 2},
                    app->runtime.HostWindowOf(top));
    }); });
}

void GameFixture::ThenPressEsc() {
    followUps_.push_back([this] { host->PressKey(Key::Escape); });
}
void GameFixture::ThenCloseTopWindow() {
    followUps_.push_back([this] { host->RequestClose(); });
}

void GameFixture::ThenDo(std::function<void()> step) {
    followUps_.push_back([this, step] { host->Then(step); });
}

void GameFixture::RunMs(int32_t ms) { app->runtime.RunFor(ms); }

std::vector<std::string> GameFixture::ClipsSince(size_t from) const {
    std::vector<std::string> names;
    const auto& played = host->PlayedClips();
    for (size_t i = from; i < played.size(); ++i) {
        std::string name = "unknown";
        for (const auto& [samples, clipName] : clipNames_) {
            if (samples == played[i].clip.samples) {
                name = clipName;
                break;
            }
        }
        names.push_back(name);
    }
    return names;
}

size_t GameFixture::ClipCount() const { return host->PlayedClips().size(); }

uint32_t GameFixture::BoardPixel(int32_t x, int32_t y) const {
    const Control* area = app->runtime.ControlState(app->controls.gameArea);
    return host->PixelAt(app->runtime.HostWindowOf(app->mainWindow), area->rect.left + x, area->rect.top + y);
}

uint32_t GameFixture::PreviewPixel(int32_t x, int32_t y) const {
    const Control* preview = app->runtime.ControlState(app->controls.preview);
    return host->PixelAt(app->runtime.HostWindowOf(app->mainWindow), preview->rect.left + x, preview->rect.top + y);
}

Text GameFixture::Caption(std::string_view controlName) const {
    return app->runtime.GetTextProperty(app->runtime.ControlByName(app->mainWindow, controlName), Property::Caption);
}

std::string GameFixture::HonourFilePath() const { return dir.File("Kelvora\xE8\x8D\xA3\xE8\xAA\x89\xE6\xA6\x9C.ini"); }

std::string GameFixture::HonourFile() const {
    std::ifstream in(testing::Utf8Path(HonourFilePath()), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int32_t GameFixture::BallCount() const {
    int32_t count = 0;
    for (int32_t c = 1; c <= kCellCount; ++c) count += app->game.board[c] > 0 ? 1 : 0;
    return count;
}

}  // namespace kelvora::testing
