// kelvora_soak: plays many whole games on the headless host and checks the game's rules after
// every press. Games are played in blocks, each in a fresh folder with its own generator drawn
// from the seed, so one block can be replayed alone.
//
//   kelvora_soak --seed S --games N [--block-games K] [--first-block B] [--progress]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "base/system/codepage.h"
#include "soak/soak_player.h"

namespace {

using kelvora::soak::SoakPlayer;
using kelvora::soak::SoakTally;

struct Options {
    uint64_t seed = 1;
    int64_t games = 100;
    int64_t blockGames = 10;
    int64_t firstBlock = 0;
    bool progress = false;
};

bool ParseNumber(const char* text, int64_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 0) return false;
    value = parsed;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--progress") {
            options.progress = true;
            continue;
        }
        int64_t value = 0;
        if (i + 1 >= argc || !ParseNumber(argv[i + 1], value)) return false;
        ++i;
        if (flag == "--seed") options.seed = static_cast<uint64_t>(value);
        else if (flag == "--games") options.games = value;
        else if (flag == "--block-games" && value > 0) options.blockGames = value;
        else if (flag == "--first-block") options.firstBlock = value;
        else return false;
    }
    return true;
}

// Every block gets a generator of its own, well apart from its neighbours'.
uint64_t BlockSeed(uint64_t seed, int64_t block) {
    return seed * 0x9E3779B97F4A7C15ull ^ (static_cast<uint64_t>(block) + 1) * 0xD1B54A32D192ED03ull;
}

double SecondsSince(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - start.tv_sec) + static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e9;
}

// Messages may quote names from the game, which are GBK.
std::string Printable(const std::string& gbk) {
    const kelvora::Conversion utf8 = kelvora::GbkToUtf8(gbk);
    return utf8.ok ? utf8.text : gbk;
}

void PrintSummary(const Options& options, const SoakTally& t, double seconds) {
    std::printf("kelvora_soak: seed %llu: %lld games (%lld with a place on the roll, %lld without), %lld abandoned, "
                "%lld presses, %lld spawns, %lld removals, %lld names typed (%lld texts refused), %lld roll views, "
                "best score %d, %.1f virtual hours, %.1f s\n",
                static_cast<unsigned long long>(options.seed), static_cast<long long>(t.games),
                static_cast<long long>(t.honours), static_cast<long long>(t.games - t.honours),
                static_cast<long long>(t.abandoned), static_cast<long long>(t.presses), static_cast<long long>(t.spawns),
                static_cast<long long>(t.removals), static_cast<long long>(t.namesTyped),
                static_cast<long long>(t.refusedTexts), static_cast<long long>(t.rollsShown), t.bestScore,
                static_cast<double>(t.virtualMs) / 3.6e6, seconds);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: kelvora_soak [--seed S] [--games N] [--block-games K] [--first-block B] [--progress]\n");
        return 2;
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    SoakTally tally;
    for (int64_t block = options.firstBlock; tally.games < options.games; ++block) {
        const int64_t games = std::min(options.blockGames, options.games - tally.games);
        SoakPlayer player(BlockSeed(options.seed, block));
        try {
            player.Play(games, tally);
        } catch (const std::exception& failure) {
            std::printf(
                         "kelvora_soak: FAILED with seed %llu in block %lld, %s:\n%s\n"
                         "replay: kelvora_soak --seed %llu --first-block %lld --block-games %lld --games %lld\n",
                         static_cast<unsigned long long>(options.seed), static_cast<long long>(block),
                         player.Where().c_str(), Printable(failure.what()).c_str(),
                         static_cast<unsigned long long>(options.seed), static_cast<long long>(block),
                         static_cast<long long>(options.blockGames), static_cast<long long>(options.blockGames));
            PrintSummary(options, tally, SecondsSince(start));
            return 1;
        }
        if (options.progress) {
            std::printf("block %lld done: %lld games, %lld presses, %.1f s\n", static_cast<long long>(block),
                        static_cast<long long>(tally.games), static_cast<long long>(tally.presses), SecondsSince(start));
            std::fflush(stdout);
        }
    }
    PrintSummary(options, tally, SecondsSince(start));
    return 0;
}
