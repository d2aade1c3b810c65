// The skin format and the skin step: a skin is checked before it is kept, and the skin library
// file beside the game is only ever loaded when it is byte for byte the built-in one.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "skin/skin_format.h"

namespace kelvora {
namespace {

std::vector<uint8_t> BuiltInSkinFile() {
    std::ifstream in(std::string(KELVORA_SOURCE_DIR) + "/src/skin/kelvora.she", std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(SkinFormat, TheBuiltInSkinIsValid) {
    const auto bytes = BuiltInSkinFile();
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), ".SHE");
    skin::SkinSettings settings;
    ASSERT_TRUE(skin::ParseSkin(bytes.data(), bytes.size(), settings));
    EXPECT_EQ(settings.version, 1);
    EXPECT_FALSE(settings.values.empty());
    EXPECT_EQ(settings.values.front().first, "name");
}

TEST(SkinFormat, AnyChangedByteIsRejected) {
    const auto good = BuiltInSkinFile();
    skin::SkinSettings settings;
    for (size_t i = 0; i < good.size(); i += 7) {
        auto bad = good;
        bad[i] ^= 0x01;
        EXPECT_FALSE(skin::ParseSkin(bad.data(), bad.size(), settings)) << "byte " << i;
    }
    EXPECT_FALSE(skin::ParseSkin(good.data(), good.size() / 2, settings));
    EXPECT_FALSE(skin::ParseSkin(nullptr, 10, settings));
    EXPECT_FALSE(skin::ParseSkin(good.data(), 0, settings));
}

TEST(SkinFormat, Crc32IsTheStandardOne) {
    const std::string check = "123456789";
    EXPECT_EQ(skin::Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

}  // namespace
}  // namespace kelvora
