// The asset generator makes the same bytes on every run, and the sprites and clips compiled into
// the game are the ones the current generator makes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace kelvora {
namespace {

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

TEST(AssetGenerator, RegeneratesTheCompiledAssetsByteForByte) {
    const testing::TempDir sources;
    const testing::TempDir preview;
    const std::string generator = std::string(KELVORA_BINARY_DIR) + "/tools/kelvora_asset_generator";
    const std::string command = "'" + generator + "' '" + sources.Path() + "' '" + preview.Path() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* name : {"ball_sprites_data.cpp", "sound_clips_data.cpp"}) {
        const std::string fresh = ReadAll(sources.File(name));
        const std::string compiled = ReadAll(std::string(KELVORA_BINARY_DIR) + "/src/assets/generated/" + name);
        EXPECT_GT(fresh.size(), 100000u) << name;
        EXPECT_TRUE(fresh == compiled) << name << " differs from the one compiled into the game";
    }
    EXPECT_EQ(ReadAll(preview.File("ball_sprites_sheet.ppm")).substr(0, 3), "P6\n");
}

}  // namespace
}  // namespace kelvora
