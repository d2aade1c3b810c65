// A soak player: plays whole games on the headless host with random presses (mostly on balls and
// free cells, often a move that lengthens a run, the start and honour-roll buttons), answers the
// end-of-game windows with random names and ways of closing them, and checks the game's rules
// after every press. Everything random comes from the seed, so a failure replays exactly.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/rules/cells.h"
#include "soak/soak_checks.h"
#include "support/game_fixture.h"

namespace kelvora::soak {

// SplitMix64: small, fast, and the same sequence on every machine.
class SoakRandom {
public:
    explicit SoakRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // 0..n-1 (0 when n <= 0).
    int32_t Below(int32_t n);
    bool Chance(int32_t percent) { return Below(100) < percent; }

private:
    uint64_t state_;
};

struct FreeRegions;

struct SoakTally {
    int64_t games = 0;        // ended with a full board
    int64_t honours = 0;      // of those, with a place on the roll
    int64_t abandoned = 0;    // left by the start button
    int64_t presses = 0;      // presses on the board and clicks on the two buttons
    int64_t spawns = 0;       // moves that brought three new balls
    int64_t removals = 0;
    int64_t namesTyped = 0;
    int64_t refusedTexts = 0;  // typed texts with no GBK form, which the field must refuse
    int64_t rollsShown = 0;
    int32_t bestScore = 0;
    int64_t virtualMs = 0;
};

class SoakPlayer {
public:
    // A fresh game folder; its presses come from blockSeed.
    explicit SoakPlayer(uint64_t blockSeed);
    ~SoakPlayer();

    // Starts the game and plays until `games` games have ended. Throws SoakFailure (or the
    // headless host's own errors) on the first broken rule.
    void Play(int64_t games, SoakTally& tally);
    // Which game and press of this player the last check was about.
    std::string Where() const;

private:
    enum class PressKind { Board, StartButton, RollButton };
    struct PressState {
        PressKind kind = PressKind::Board;
        GameState before;
        int32_t ballsBefore = 0;
        size_t firstClip = 0;
        bool gameEnded = false;
        Text paddedScore;             // of the game that ended
        std::optional<int32_t> rank;  // the place it earned
    };
    struct PlannedMove {
        int32_t from = 0;
        int32_t to = 0;
    };

    void PressOnce(SoakTally& tally);
    Point ChooseBoardPoint();
    // The move that makes the longest run of one colour, among a few random targets.
    std::optional<PlannedMove> FindBuildingMove(const FreeRegions& regions);

    void Answer(SoakTally& tally);
    void EndOfGame(bool nameWindowShown, SoakTally& tally);
    void AnswerNameEntry(WindowRef window, SoakTally& tally);
    void Dismiss(WindowRef window);
    void CheckRollWindow(WindowRef window);
    void CheckAfterPress(SoakTally& tally);
    void CheckHonourFile() const;

    int32_t CountClips(const std::vector<uint8_t>& samples, size_t from) const;
    BoardView View() const;

    SoakRandom random_;
    std::unique_ptr<testing::GameFixture> fixture_;
    HonourModel honour_;
    PressState press_;
    std::optional<PlannedMove> plan_;
    std::vector<uint8_t> scoreClip_;
    std::vector<uint8_t> spawnClip_;
    int64_t gamesEnded_ = 0;
    int64_t pressesInGame_ = 0;
    int32_t lastScore_ = 0;
};

}  // namespace kelvora::soak
