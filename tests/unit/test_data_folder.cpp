// Where the game keeps its files: beside a copy run from its own folder, in the player's folder
// for an installed copy, and the player's folder made only when it is chosen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "support/temp_dir.h"
#include "windows/data_folder.h"

namespace kelvora {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

TEST(DataFolder, ACopyRunFromItsFolderKeepsItsFilesThereAndMakesNoPlayerFolder) {
    TempDir dir;
    fs::create_directories(dir.File("game/bin"));
    const Text user = dir.File("home/.local/share/Tovenhal/Kelvora");
    bool lookedUp = false;
    EXPECT_EQ(ChooseDataDirectory(dir.File("game/bin"),
                                  [&] {
                                      lookedUp = true;
                                      return user;
                                  }),
              dir.File("game/bin"));
    // Not even looked up: on Windows that would load the system's shell for nothing.
    EXPECT_FALSE(lookedUp);
    EXPECT_FALSE(fs::exists(dir.File("home")));
    // Probing the folder leaves nothing in it.
    EXPECT_TRUE(fs::is_empty(dir.File("game/bin")));
}

TEST(DataFolder, AnInstalledCopyUsesThePlayersFolderEvenWhereItCouldWriteItsOwn) {
    TempDir dir;
    fs::create_directories(dir.File("prefix/bin"));
    fs::create_directories(dir.File("prefix/share/kelvora"));
    std::ofstream(dir.File("prefix/share/kelvora/installed")) << "installed\n";
    const Text user = dir.File("home/.local/share/Tovenhal/Kelvora");
    EXPECT_EQ(ChooseDataDirectory(dir.File("prefix/bin"), [&] { return user; }), user);
    struct stat info {};
    ASSERT_EQ(::stat(user.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::is_empty(dir.File("prefix/bin")));
}

TEST(DataFolder, PathsJoinWithOneSeparator) {
    EXPECT_EQ(JoinPath("/a/b", "c.ini"), "/a/b/c.ini");
    EXPECT_EQ(JoinPath("/", "c.ini"), "/c.ini");
    EXPECT_EQ(JoinPath("", "c.ini"), "c.ini");
}

}  // namespace
}  // namespace kelvora
