// The honour roll and its file: the default roll, reading odd files, ranking and saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "base/system/files.h"
#include "base/random.h"
#include "support/platform_facts.h"
#include "support/temp_dir.h"
#include "windows/data_folder.h"
#include "windows/honour_roll.h"

namespace kelvora {
namespace {

using testing::TempDir;

const char* const kDefaultFile =
    "0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000320Tovenhal\r\n0000210Tovenhal\r\n"
    "0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n0000055Tovenhal\r\n0000020Tovenhal\r\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(testing::Utf8Path(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(testing::Utf8Path(path), std::ios::binary) << bytes;
}

std::string HonourPath(const TempDir& dir) { return dir.File("Kelvora\xE8\x8D\xA3\xE8\xAA\x89\xE6\xA6\x9C.ini"); }

TEST(HonourRoll, FirstStartWritesTheDefaultRoll) {
    TempDir dir;
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    EXPECT_EQ(ReadFile(HonourPath(dir)), kDefaultFile);
    ASSERT_EQ(honour.honourRoll.size(), 10u);
    EXPECT_EQ(honour.honourRoll[0], "0000870Tovenhal");
    EXPECT_EQ(EntryScore(honour.honourRoll[0]), 870);
    EXPECT_EQ(EntryName(honour.honourRoll[0]), "Tovenhal");
    EXPECT_EQ(honour.honourFilePath, dir.Path() + "/Kelvora荣誉榜.ini");
}

TEST(HonourRoll, RanksAgainstTheDefaultRoll) {
    TempDir dir;
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    EXPECT_EQ(FindHonourRank(honour, PaddedScore(20)), std::nullopt);  // a tie with place 10
    EXPECT_EQ(FindHonourRank(honour, PaddedScore(25)), 10);
    EXPECT_EQ(FindHonourRank(honour, PaddedScore(870)), 2);  // below the equal 870
    EXPECT_EQ(FindHonourRank(honour, PaddedScore(871)), 1);
    EXPECT_EQ(FindHonourRank(honour, PaddedScore(0)), std::nullopt);
}

TEST(HonourRoll, InsertingDropsTheTenthAndRewritesTheFile) {
    TempDir dir;
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    InsertHonour(honour, 10, PaddedScore(25), "小明");
    std::string expected = kDefaultFile;
    expected.replace(expected.find("0000020Tovenhal"), 15, "0000025\xD0\xA1\xC3\xF7");  // 小明 in GBK
    EXPECT_EQ(ReadFile(HonourPath(dir)), expected);
    InsertHonour(honour, 1, PaddedScore(1000), "");  // an empty name is the padded score alone
    EXPECT_EQ(ReadFile(HonourPath(dir)).substr(0, 9), "0001000\r\n");
    EXPECT_EQ(honour.honourRoll.size(), 10u);
    EXPECT_EQ(EntryName(honour.honourRoll[9]), "Tovenhal");  // 0000055 is now last
    EXPECT_EQ(EntryScore(honour.honourRoll[9]), 55);
}

TEST(HonourRoll, ReadsOnlyTenLinesAndStopsAtAZeroByte) {
    TempDir dir;
    std::string eleven = kDefaultFile;
    eleven += "0000001Extra\r\n";
    WriteFile(HonourPath(dir), eleven);
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    EXPECT_EQ(honour.honourRoll.back(), "0000020Tovenhal");
    InsertHonour(honour, 10, PaddedScore(21), "A");
    const std::string saved = ReadFile(HonourPath(dir));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 10);
    EXPECT_EQ(saved.find("Extra"), std::string::npos);

    WriteFile(HonourPath(dir), std::string("0000900Ann\r\n0000800B", 21) + std::string(1, '\0') + "ob\r\n");
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    EXPECT_EQ(honour.honourRoll[0], "0000900Ann");
    EXPECT_EQ(honour.honourRoll[1], "0000800B");
    EXPECT_EQ(honour.honourRoll[2], "");
}

TEST(HonourRoll, ShortEmptyAndGarbageFilesStillGiveTenPlaces) {
    TempDir dir;
    HonourState honour;
    WriteFile(HonourPath(dir), "");
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    ASSERT_EQ(honour.honourRoll.size(), 10u);
    EXPECT_EQ(FindHonourRank(honour, PaddedScore(0)), 1);  // "0000000" sorts after an empty entry
    EXPECT_EQ(ReadFile(HonourPath(dir)), "");  // reading never writes

    RandomGenerator generator;
    for (int round = 0; round < 20; ++round) {
        std::string junk;
        for (int i = RandomInt(generator, 0, 400); i > 0; --i) junk.push_back(static_cast<char>(RandomInt(generator, 0, 255)));
        WriteFile(HonourPath(dir), junk);
        LoadHonourRoll(honour, HonourFilePath(dir.Path()));
        ASSERT_EQ(honour.honourRoll.size(), 10u);
        for (const Text& entry : honour.honourRoll) {
            EntryScore(entry);
            EntryName(entry);
        }
        InsertHonour(honour, 3, PaddedScore(5), "x");
        const std::string saved = ReadFile(HonourPath(dir));
        EXPECT_GE(std::count(saved.begin(), saved.end(), '\n'), 10);
    }
}

TEST(HonourRoll, EntryScoresOfOddEntries) {
    EXPECT_EQ(EntryScore("Tovenhal"), 0);
    EXPECT_EQ(EntryScore(""), 0);
    EXPECT_EQ(EntryScore("12"), 12);
    EXPECT_EQ(EntryScore("1e99999"), INT32_MAX);  // never an undefined conversion
    EXPECT_EQ(EntryName("0000870"), "");
    EXPECT_EQ(PaddedScore(12345678), "12345678");
    EXPECT_EQ(PaddedScore(0), "0000000");
}

TEST(HonourRoll, AReadOnlyFileStaysUnchanged) {
    TempDir dir;
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    const std::string path = HonourPath(dir);
    if (testing::SupportsExtendedAttributes(dir.Path())) {
        ASSERT_TRUE(SetFileAttributeBits(honour.honourFilePath, kAttributeReadOnly));
        InsertHonour(honour, 1, PaddedScore(5000), "Z");
        EXPECT_EQ(ReadFile(path), kDefaultFile);
        EXPECT_EQ(EntryName(honour.honourRoll[0]), "Z");  // the roll in memory goes on
        EXPECT_FALSE(std::filesystem::exists(testing::Utf8Path(path + ".new")));
    }
    if (!testing::RunsAsSuperuser()) {
        ASSERT_TRUE(SetFileAttributeBits(honour.honourFilePath, 0) || !testing::SupportsExtendedAttributes(dir.Path()));
        std::filesystem::permissions(testing::Utf8Path(path), std::filesystem::perms::owner_read |
                                     std::filesystem::perms::group_read | std::filesystem::perms::others_read);
        EXPECT_FALSE(SaveHonourRoll(honour));
        EXPECT_EQ(ReadFile(path), kDefaultFile);
    }
}

TEST(HonourRoll, AnInterruptedSaveLeavesTheOldRoll) {
    TempDir dir;
    HonourState honour;
    LoadHonourRoll(honour, HonourFilePath(dir.Path()));
    honour.honourRoll[0] = "0009999New";
    // The new roll is written beside the old one, then the program dies before the rename.
    ASSERT_TRUE(WriteReplacementBeside(honour.honourFilePath, TextToBytes("0009999New\r\n")));
    EXPECT_EQ(ReadFile(HonourPath(dir)), kDefaultFile);
    HonourState next;
    LoadHonourRoll(next, HonourFilePath(dir.Path()));
    EXPECT_EQ(next.honourRoll[0], "0000870Tovenhal");
    // The next save replaces the leftover and the roll.
    EXPECT_TRUE(SaveHonourRoll(honour));
    EXPECT_EQ(ReadFile(HonourPath(dir)).substr(0, 12), "0009999New\r\n");
    EXPECT_FALSE(std::filesystem::exists(testing::Utf8Path(HonourPath(dir) + ".new")));
}

TEST(HonourRoll, CopiesThatSaveInTurnKeepEachOthersEntries) {
    TempDir dir;
    HonourState first, second;
    LoadHonourRoll(first, HonourFilePath(dir.Path()));
    LoadHonourRoll(second, HonourFilePath(dir.Path()));
    InsertHonour(first, *FindHonourRank(first, PaddedScore(500)), PaddedScore(500), "Ann");
    // The second copy still holds the default roll, where its 500 would also take place 4.
    InsertHonour(second, *FindHonourRank(second, PaddedScore(500)), PaddedScore(500), "Bob");
    const std::string both =
        "0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000500Ann\r\n0000500Bob\r\n"
        "0000320Tovenhal\r\n0000210Tovenhal\r\n0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n";
    EXPECT_EQ(ReadFile(HonourPath(dir)), both);
    EXPECT_EQ(second.honourRoll[4], "0000500Bob");  // the roll window shows the joined roll

    // 60 would be tenth in the first copy's old roll, but earns no place in the file's.
    InsertHonour(first, *FindHonourRank(first, PaddedScore(60)), PaddedScore(60), "Cy");
    EXPECT_EQ(ReadFile(HonourPath(dir)), both);
    EXPECT_EQ(first.honourRoll, second.honourRoll);

    // The file gone: everything this copy knows is saved again, with the new entry.
    std::filesystem::remove(HonourPath(dir));
    InsertHonour(second, 1, PaddedScore(900), "Di");
    EXPECT_EQ(ReadFile(HonourPath(dir)), "0000900Di\r\n" + both.substr(0, both.rfind("0000100")));
}

TEST(HonourRoll, AnUnwritableFolderStartsCleanly) {
    TempDir dir;
    HonourState honour;
    // A folder that does not exist cannot be written either: the default roll lives in memory.
    LoadHonourRoll(honour, HonourFilePath(dir.Path() + "/missing"));
    EXPECT_EQ(honour.honourRoll[0], "0000870Tovenhal");
    EXPECT_FALSE(SaveHonourRoll(honour));
    EXPECT_EQ(ChooseDataDirectory(dir.Path() + "/missing", [&] { return dir.Path(); }), dir.Path());
    EXPECT_EQ(ChooseDataDirectory(dir.Path(), [&] { return dir.Path() + "/user"; }), dir.Path());
}

}  // namespace
}  // namespace kelvora
