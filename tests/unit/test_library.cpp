// Libraries loaded from memory, for a game that may write no file: the built-in skin library loads
// and offers its export; bytes that are no library give nothing.
#include <gtest/gtest.h>

#include "base/system/library.h"
#include "skin/embedded_skin.h"

namespace kelvora {
namespace {

TEST(LibraryFromMemory, TheBuiltInSkinLibraryLoadsWithItsExport) {
    const auto library = LoadedLibrary::OpenFromMemory(EmbeddedSkinLibrary());
    ASSERT_NE(library, nullptr);
    EXPECT_NE(library->Find("SkinH_AttachRes"), nullptr);
    EXPECT_EQ(library->Find("NoSuchExport"), nullptr);
}

TEST(LibraryFromMemory, BytesThatAreNoLibraryGiveNothing) {
    const std::vector<uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'l', 'i', 'b', 'r', 'a', 'r', 'y'};
    EXPECT_EQ(LoadedLibrary::OpenFromMemory(junk), nullptr);
    EXPECT_EQ(LoadedLibrary::OpenFromMemory({}), nullptr);
}

}  // namespace
}  // namespace kelvora
