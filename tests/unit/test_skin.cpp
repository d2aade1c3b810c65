// The skin format and the skin step: a skin is checked before it is kept, and the skin library
// file beside the game is only ever loaded when it is byte for byte the built-in one.
#include <gtest/gtest.h>

#include <cstdio>
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

// A skin file around the given header and settings, with its checksum line.
std::vector<uint8_t> SkinFile(const std::string& header, const std::string& settings) {
    const std::string body = header + "\n" + settings;
    char checksum[32];
    std::snprintf(checksum, sizeof checksum, "checksum=%08X\n",
                  skin::Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
    const std::string file = body + checksum;
    return std::vector<uint8_t>(file.begin(), file.end());
}

TEST(SkinFormat, CheckedSkinsKeepTheirSettingsInOrder) {
    skin::SkinSettings settings;
    const auto good = SkinFile(".SHE 1", "# the frame\nname=Blue\r\n\ntitle height=24\nempty=\n");
    ASSERT_TRUE(skin::ParseSkin(good.data(), good.size(), settings));
    const std::vector<std::pair<std::string, std::string>> expected{{"name", "Blue"}, {"title height", "24"}, {"empty", ""}};
    EXPECT_EQ(settings.values, expected);

    // The version is read as a number; only version 1 exists.
    for (const char* header : {".SHE 01", ".SHE +1", ".SHE  1"}) {
        const auto file = SkinFile(header, "a=b\n");
        EXPECT_TRUE(skin::CheckSkin(file.data(), file.size())) << header;
    }
    for (const char* header : {".SHE 2", ".SHE 1x", ".SHE ", ".SHE", ".SHE1", ".SKN 1"}) {
        const auto file = SkinFile(header, "a=b\n");
        EXPECT_FALSE(skin::CheckSkin(file.data(), file.size())) << header;
    }
    // A line that is not a setting spoils the skin even under a right checksum, and nothing of it
    // is kept.
    const auto broken = SkinFile(".SHE 1", "name=Blue\nno setting here\n");
    EXPECT_FALSE(skin::ParseSkin(broken.data(), broken.size(), settings));
    EXPECT_TRUE(settings.values.empty());
    const auto nameless = SkinFile(".SHE 1", "=Blue\n");
    EXPECT_FALSE(skin::CheckSkin(nameless.data(), nameless.size()));
}

TEST(SkinFormat, Crc32IsTheStandardOne) {
    const std::string check = "123456789";
    EXPECT_EQ(skin::Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

}  // namespace
}  // namespace kelvora
