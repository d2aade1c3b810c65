// Files: whole reads and writes, the refusal of hidden and system files, and odd paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_lock.h"
#include "platform/files.h"
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

TEST(Files, ProgramDirectoryHoldsTheTestProgram) {
    const Text folder = ProgramDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "/" + KELVORA_TEST_PROGRAM));
}

TEST(Files, OneGameAtATimeHoldsTheLock) {
    TempDir dir;
    const Text lockPath = dir.File("Kelvora.lock");
    auto first = FileLock::Acquire(lockPath, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FileLock::Acquire(lockPath, 30), nullptr);  // held: the wait runs out
    first.reset();
    EXPECT_NE(FileLock::Acquire(lockPath, 0), nullptr);
    EXPECT_EQ(FileLock::Acquire(dir.File("no/such/folder/lock"), 0), nullptr);
}

}  // namespace
}  // namespace kelvora
