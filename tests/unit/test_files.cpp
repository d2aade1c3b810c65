// Files: whole reads and writes, the refusal of hidden and system files, odd paths, replacements
// through links, and the lock that keeps other copies of the game out during a save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include "base/system/files.h"
#include "base/system/folders.h"
#include "support/temp_dir.h"

namespace kelvora {
namespace {

using testing::TempDir;

ByteArray Bytes(std::string_view s) { return ByteArray(s.begin(), s.end()); }

TEST(Files, WriteCreatesThenTruncates) {
    TempDir dir;
    const Text path = dir.File("roll.ini");
    EXPECT_FALSE(FileExists(path));
    const ByteArray first = Bytes("0000870Tovenhal\r\n");
    const ByteArray second = Bytes("ab");
    EXPECT_TRUE(WriteWholeFile(path, {&first, &second}));
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadWholeFile(path), Bytes("0000870Tovenhal\r\nab"));
    EXPECT_TRUE(WriteWholeFile(path, Bytes("x")));
    EXPECT_EQ(ReadWholeFile(path), Bytes("x"));
}

TEST(Files, ChineseNamesAreGbkInsideAndUtf8OnDisk) {
    TempDir dir;
    const Text path = dir.Path() + "/Kelvora荣誉榜.ini";  // GBK literal
    ASSERT_TRUE(WriteWholeFile(path, Bytes("1")));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir.Path()) / u8"Kelvora荣誉榜.ini"));
}

TEST(Files, BadPathsFailCleanly) {
    TempDir dir;
    EXPECT_FALSE(WriteWholeFile("", Bytes("x")));
    // Bytes that are no GBK text have no name on disk.
    EXPECT_FALSE(WriteWholeFile(dir.Path() + "/bad\x81", Bytes("x")));
    EXPECT_TRUE(ReadWholeFile(dir.Path() + "/missing").empty());
    EXPECT_TRUE(ReadWholeFile(dir.Path()).empty());  // a directory
    EXPECT_TRUE(FileExists(dir.Path()));
    EXPECT_FALSE(WriteWholeFile(dir.Path(), Bytes("x")));
    EXPECT_FALSE(WriteWholeFile(dir.Path() + "/no/such/folder/f", Bytes("x")));
}

TEST(Files, HiddenAndSystemFilesAreNotOverwritten) {
    TempDir dir;
    if (!testing::SupportsExtendedAttributes(dir.Path())) GTEST_SKIP() << "no user extended attributes here";
    const Text path = dir.File("Tovenhal.Tovenhal");
    ASSERT_TRUE(WriteWholeFile(path, Bytes("library")));
    ASSERT_TRUE(SetFileAttributeBits(path, kAttributeHidden | 0x100));
    // Only the bits 0x27 are kept. (Wine reports every file as archived, whatever was set.)
    EXPECT_EQ(GetFileAttributeBits(path).value_or(0) & ~uint32_t{kAttributeArchive}, kAttributeHidden);
    EXPECT_FALSE(WriteWholeFile(path, Bytes("other")));
    EXPECT_EQ(ReadWholeFile(path), Bytes("library"));

    ASSERT_TRUE(SetFileAttributeBits(path, kAttributeSystem));
    EXPECT_FALSE(WriteWholeFile(path, Bytes("other")));
    ASSERT_TRUE(SetFileAttributeBits(path, kAttributeReadOnly));
    EXPECT_FALSE(WriteWholeFile(path, Bytes("other")));
    ASSERT_TRUE(SetFileAttributeBits(path, kAttributeArchive));
    EXPECT_TRUE(WriteWholeFile(path, Bytes("other")));
    EXPECT_EQ(ReadWholeFile(path), Bytes("other"));
}

TEST(Files, AttributesOfMissingFiles) {
    TempDir dir;
    EXPECT_FALSE(GetFileAttributeBits(dir.File("none")).has_value());
    EXPECT_FALSE(SetFileAttributeBits(dir.File("none"), kAttributeHidden));
}

int64_t MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(Files, AReplacementGoesThroughLinksAndKeepsModeAndAttributes) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directory(dir.File("shared"));
    const std::string target = dir.File("shared/roll.ini");
    ASSERT_TRUE(WriteWholeFile(target, Bytes("old")));
    ::chmod(target.c_str(), 0600);
    const bool attributes = testing::SupportsExtendedAttributes(dir.Path());
    if (attributes) {
        ASSERT_TRUE(SetFileAttributeBits(target, kAttributeArchive));
    }
    // Two relative links, each read from its own folder.
    fs::create_symlink("roll.ini", dir.File("shared/hop"));
    fs::create_symlink("shared/hop", dir.File("roll.ini"));

    ASSERT_TRUE(ReplaceWholeFile(dir.File("roll.ini"), Bytes("new")));
    EXPECT_TRUE(fs::is_symlink(dir.File("roll.ini")));
    EXPECT_TRUE(fs::is_symlink(dir.File("shared/hop")));
    EXPECT_EQ(ReadWholeFile(target), Bytes("new"));
    EXPECT_EQ(ModeOf(target), 0600u);
    if (attributes) {
        EXPECT_EQ(GetFileAttributeBits(target), kAttributeArchive);
    }
    EXPECT_FALSE(fs::exists(target + ".new"));

    // A link that leads nowhere yet: the save creates its file with the permissions of a new file.
    fs::create_symlink("shared/later.ini", dir.File("later.ini"));
    ASSERT_TRUE(ReplaceWholeFile(dir.File("later.ini"), Bytes("x")));
    EXPECT_TRUE(fs::is_symlink(dir.File("later.ini")));
    EXPECT_EQ(ReadWholeFile(dir.File("shared/later.ini")), Bytes("x"));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.File("shared/later.ini")), 0644u & ~mask);

    fs::create_symlink("loop", dir.File("loop"));
    EXPECT_FALSE(ReplaceWholeFile(dir.File("loop"), Bytes("x")));
}

TEST(Files, AHeldUpdateLockMakesOthersWaitABoundedTimeAndLeavesNothingBehind) {
    TempDir dir;
    const Text path = dir.File("roll.ini");
    {
        const FileUpdateLock first(path);
        ASSERT_TRUE(first.Held());
        // A lock belongs to an open file, so a second one in this process waits as another copy would.
        const int64_t before = MonotonicMs();
        const FileUpdateLock second(path);
        const int64_t waitedMs = MonotonicMs() - before;
        EXPECT_FALSE(second.Held());
        EXPECT_GE(waitedMs, FileUpdateLock::kFileLockWaitMs);
        EXPECT_LT(waitedMs, FileUpdateLock::kFileLockWaitMs + 3000);
        // Without the lock the file can still be saved.
        EXPECT_TRUE(ReplaceWholeFile(path, Bytes("x")));
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".lock"));
    const FileUpdateLock again(path);
    EXPECT_TRUE(again.Held());
    // A folder that is not there, or cannot be written, gives no lock at once.
    EXPECT_FALSE(FileUpdateLock(dir.File("missing/roll.ini")).Held());
}

TEST(Files, TheProgramDirectoryHoldsTheTestProgram) {
    const std::filesystem::path before = std::filesystem::current_path();
    TempDir elsewhere;
    std::filesystem::current_path(elsewhere.Path());
    const bool entered = EnterProgramDirectory();
    const bool holdsProgram = std::filesystem::exists(KELVORA_TEST_PROGRAM);
    std::filesystem::current_path(before);
    EXPECT_TRUE(entered);
    EXPECT_TRUE(holdsProgram);
}

}  // namespace
}  // namespace kelvora
