// The whole game on the headless host, started in a fresh folder: press cells, click buttons,
// answer its windows, and look at the board, the sounds and the files it leaves.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/headless/headless_host.h"
#include "support/temp_dir.h"
#include "windows/application.h"

namespace kelvora::testing {

class GameFixture {
public:
    GameFixture();
    ~GameFixture();

    // Opens the main window: skin, scroller, honour roll and the first game.
    void Start();

    // Puts colours on the board by hand, row by row: '.' empty, 'M' magic, '2'..'8' colours;
    // spaces and line breaks are ignored. Redraws every cell and clears the selection.
    void SetBoard(std::string_view cells);
    void SetNextBalls(std::vector<int32_t> colours);
    // Fills every empty cell with balls that make no line, except the cells listed.
    void FillBoardExcept(std::vector<int32_t> freeCells);

    // The player's click on a cell of the board (or at a pixel of the game area), through the
    // real input path; returns when the turn and every window it opened are done.
    void PressCell(int32_t cell);
    void PressAt(int32_t x, int32_t y);
    void ClickMainButton(std::string_view name);
    // The player's keys, one after the other as fast as fingers go: each is handled once the one
    // before it, with the turn it started, is done. Returns when every window they opened is done.
    void PressKeys(const std::vector<Key>& keys, uint32_t modifiers = 0);
    // Answers for the windows the next press or click opens, given before it and played after it.
    void ThenTypeName(const std::string& utf8Name);  // replaces the field's text
    void ThenClickOk();
    void ThenPressEsc();
    void ThenCloseTopWindow();
    // Any step of the test's own, run when the script reaches it.
    void ThenDo(std::function<void()> step);
    void RunMs(int32_t ms);

    // Clip names in play order, from index `from` on ("clickSound", "burstSound3", ...).
    std::vector<std::string> ClipsSince(size_t from) const;
    size_t ClipCount() const;
    // A presented pixel of the game area and of the preview.
    uint32_t BoardPixel(int32_t x, int32_t y) const;
    uint32_t PreviewPixel(int32_t x, int32_t y) const;
    Text Caption(std::string_view controlName) const;
    std::string HonourFile() const;
    std::string HonourFilePath() const;
    int32_t BallCount() const;

    TempDir dir;
    HeadlessHost* host = nullptr;  // owned by the application's runtime
    std::unique_ptr<Application> app;

private:
    void RunScript();
    std::vector<std::pair<std::vector<uint8_t>, std::string>> clipNames_;
    std::vector<std::function<void()>> followUps_;
};

// True when a clip's name begins with the family's ("burstSound" for "burstSound4").
inline bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace kelvora::testing
