// The desktop icons the asset generator writes: well-formed PNG files (read back here with a CRC
// and a stored-block inflater of the test's own), holding the red ball sprite enlarged, upright,
// on a transparent square.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "assets/ball_sprites.h"
#include "platform/picture.h"
#include "support/temp_dir.h"

namespace kelvora {
namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t buffer[65536];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
        std::fclose(file);
    }
    return bytes;
}

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return (static_cast<uint32_t>(bytes[at]) << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

// Bit by bit, unlike the generator's table.
uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint64_t a = 1;
    uint64_t b = 0;
    for (const uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return static_cast<uint32_t>((b << 16) | a);
}

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct DecodedPng {
    int32_t width = 0;
    int32_t height = 0;
    int32_t storedBlocks = 0;
    std::vector<Rgba> pixels;
    const Rgba& At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// Reads an RGBA PNG of unfiltered rows in stored deflate blocks; every failure is a test failure.
std::optional<DecodedPng> DecodeStoredPng(const std::vector<uint8_t>& file) {
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) {
        ADD_FAILURE() << "no PNG signature";
        return std::nullopt;
    }
    DecodedPng png;
    std::vector<uint8_t> zlib;
    std::vector<std::string> order;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian32(file, at);
        if (at + 12 + length > file.size()) {
            ADD_FAILURE() << "chunk runs past the end of the file";
            return std::nullopt;
        }
        const std::string type(file.begin() + static_cast<long>(at) + 4, file.begin() + static_cast<long>(at) + 8);
        EXPECT_EQ(Crc32(&file[at + 4], length + 4), BigEndian32(file, at + 8 + length)) << type << " CRC";
        const size_t data = at + 8;
        if (type == "IHDR") {
            EXPECT_EQ(length, 13u);
            png.width = static_cast<int32_t>(BigEndian32(file, data));
            png.height = static_cast<int32_t>(BigEndian32(file, data + 4));
            EXPECT_EQ(file[data + 8], 8) << "bit depth";
            EXPECT_EQ(file[data + 9], 6) << "colour type RGBA";
            EXPECT_EQ(file[data + 12], 0) << "interlace";
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), file.begin() + static_cast<long>(data), file.begin() + static_cast<long>(data + length));
        }
        order.push_back(type);
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last chunk";
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    if (zlib.size() < 6 || (zlib[0] & 0x0F) != 8 || ((zlib[0] << 8) | zlib[1]) % 31 != 0) {
        ADD_FAILURE() << "not a zlib stream";
        return std::nullopt;
    }
    std::vector<uint8_t> raw;
    size_t z = 2;
    for (bool last = false; !last;) {
        if (z + 5 > zlib.size()) {
            ADD_FAILURE() << "stored block header past the end";
            return std::nullopt;
        }
        last = (zlib[z] & 1) != 0;
        EXPECT_EQ(zlib[z] >> 1, 0) << "a block that is not stored";
        const uint32_t length = zlib[z + 1] | (zlib[z + 2] << 8);
        const uint32_t inverted = zlib[z + 3] | (zlib[z + 4] << 8);
        EXPECT_EQ(length ^ 0xFFFFu, inverted) << "NLEN";
        z += 5;
        if (z + length > zlib.size()) {
            ADD_FAILURE() << "stored block past the end";
            return std::nullopt;
        }
        raw.insert(raw.end(), zlib.begin() + static_cast<long>(z), zlib.begin() + static_cast<long>(z + length));
        z += length;
        ++png.storedBlocks;
    }
    EXPECT_EQ(z + 4, zlib.size()) << "the Adler-32 must close the stream";
    if (z + 4 > zlib.size()) return std::nullopt;
    EXPECT_EQ(Adler32(raw), BigEndian32(zlib, z));

    const size_t rowBytes = 1 + static_cast<size_t>(png.width) * 4;
    if (png.width <= 0 || png.height <= 0 || raw.size() != rowBytes * static_cast<size_t>(png.height)) {
        ADD_FAILURE() << "the rows do not fill " << raw.size() << " bytes";
        return std::nullopt;
    }
    for (int32_t y = 0; y < png.height; ++y) {
        const uint8_t* row = &raw[static_cast<size_t>(y) * rowBytes];
        EXPECT_EQ(row[0], 0) << "row " << y << " is filtered";
        for (int32_t x = 0; x < png.width; ++x) {
            const uint8_t* p = row + 1 + 4 * x;
            png.pixels.push_back(Rgba{p[0], p[1], p[2], p[3]});
        }
    }
    return png;
}

class AppIcon : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string generator = std::string(KELVORA_BINARY_DIR) + "/tools/kelvora_asset_generator";
        const std::string command =
            "'" + generator + "' '" + sources_.Path() + "' '" + preview_.Path() + "' '" + icons_.Path() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    std::vector<uint8_t> Icon(int32_t side) const { return ReadAll(icons_.File("kelvora-" + std::to_string(side) + ".png")); }

private:
    testing::TempDir sources_;
    testing::TempDir preview_;
    testing::TempDir icons_;
};

TEST_F(AppIcon, EverySideIsAWellFormedPngOfThatSize) {
    for (const int32_t side : {48, 64, 128}) {
        SCOPED_TRACE(side);
        const std::optional<DecodedPng> png = DecodeStoredPng(Icon(side));
        ASSERT_TRUE(png);
        EXPECT_EQ(png->width, side);
        EXPECT_EQ(png->height, side);
        // 128 rows of 513 bytes do not fit one stored block: the split must hold too.
        EXPECT_EQ(png->storedBlocks, side == 128 ? 2 : 1);
    }
}

TEST_F(AppIcon, IsTheRedBallEnlargedUprightOnATransparentSquare) {
    const std::optional<Picture> sprite = DecodeBitmap(kBallSprites[8 * 2 + 2 - 1]);  // red, looking ahead
    ASSERT_TRUE(sprite);
    constexpr uint32_t kKey = 0x00FF00FF;
    for (const int32_t side : {48, 128}) {
        SCOPED_TRACE(side);
        const std::optional<DecodedPng> png = DecodeStoredPng(Icon(side));
        ASSERT_TRUE(png);
        int32_t translucentEdge = 0;
        for (int32_t y = 0; y < side; ++y) {
            for (int32_t x = 0; x < side; ++x) {
                // The sprite pixels nearest to this pixel's centre.
                const double sx = std::clamp((x + 0.5) * 39 / side - 0.5, 0.0, 38.0);
                const double sy = std::clamp((y + 0.5) * 39 / side - 0.5, 0.0, 38.0);
                const int32_t x0 = static_cast<int32_t>(sx), y0 = static_cast<int32_t>(sy);
                const int32_t x1 = std::min(x0 + 1, 38), y1 = std::min(y0 + 1, 38);
                std::vector<uint32_t> around;
                for (const int32_t ny : {y0, y1})
                    for (const int32_t nx : {x0, x1}) around.push_back(sprite->pixels[static_cast<size_t>(ny * 39 + nx)]);
                const Rgba& p = png->At(x, y);
                if (std::all_of(around.begin(), around.end(), [](uint32_t c) { return c == kKey; })) {
                    ASSERT_EQ(p.a, 0) << "at " << x << "," << y << " outside the ball";
                    continue;
                }
                if (std::any_of(around.begin(), around.end(), [](uint32_t c) { return c == kKey; })) {
                    if (p.a > 0 && p.a < 255) ++translucentEdge;
                    continue;
                }
                ASSERT_EQ(p.a, 255) << "at " << x << "," << y << " inside the ball";
                // Inside, every channel lies between those of the sprite pixels around it.
                const int channels[3] = {p.r, p.g, p.b};
                for (int c = 0; c < 3; ++c) {
                    int low = 255, high = 0;
                    for (const uint32_t colour : around) {
                        const int value = static_cast<int>((colour >> (8 * c)) & 0xFF);
                        low = std::min(low, value);
                        high = std::max(high, value);
                    }
                    ASSERT_GE(channels[c], low) << "channel " << c << " at " << x << "," << y;
                    ASSERT_LE(channels[c], high) << "channel " << c << " at " << x << "," << y;
                }
            }
        }
        // The outline is smoothed, not cut out.
        EXPECT_GT(translucentEdge, side);
    }
}

}  // namespace
}  // namespace kelvora
