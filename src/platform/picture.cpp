// Bitmap decoding, the numbered picture store and drawing pictures on panels.
#include "platform/picture.h"

#include <cstring>

namespace kelvora {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

// Decoded pictures of small files are kept for the next load of the same bytes: the game loads,
// draws and frees a sprite for every ball it draws. The cache is emptied when it grows too big.
constexpr size_t kCacheableFileSize = 256 * 1024;
constexpr size_t kCacheLimit = 32 * 1024 * 1024;

uint16_t ReadU16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t ReadU32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::optional<Picture> DecodeBitmap(std::span<const uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
    if (bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const uint32_t dataOffset = ReadU32(bytes, 10);
    const uint32_t headerSize = ReadU32(bytes, 14);
    if (headerSize < kInfoHeaderSize || headerSize > bytes.size() - kFileHeaderSize) return std::nullopt;
    const int32_t width = static_cast<int32_t>(ReadU32(bytes, 18));
    const int32_t height = static_cast<int32_t>(ReadU32(bytes, 22));
    const uint16_t planes = ReadU16(bytes, 26);
    const uint16_t bitCount = ReadU16(bytes, 28);
    const uint32_t compression = ReadU32(bytes, 30);
    if (width <= 0 || height == 0 || planes != 1) return std::nullopt;
    if (bitCount != 24 && bitCount != 32) return std::nullopt;
    const bool topDown = height < 0;
    const int64_t rows = topDown ? -static_cast<int64_t>(height) : height;
    if (static_cast<int64_t>(width) * rows > kMaxPicturePixels) return std::nullopt;

    if (compression == kBitFields || compression == kAlphaBitFields) {
        // Accepted only when the masks place the channels where an uncompressed 32-bit picture
        // has them; after a bare version-3 header the masks follow it.
        if (bitCount != 32) return std::nullopt;
        const size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
        if (bytes.size() < masksAt + 12) return std::nullopt;
        if (ReadU32(bytes, masksAt) != 0x00FF0000u || ReadU32(bytes, masksAt + 4) != 0x0000FF00u ||
            ReadU32(bytes, masksAt + 8) != 0x000000FFu) {
            return std::nullopt;
        }
    } else if (compression != kUncompressed) {
        return std::nullopt;
    }

    const int64_t bytesPerPixel = bitCount / 8;
    const int64_t rowBytes = (static_cast<int64_t>(width) * bitCount + 31) / 32 * 4;
    // The pixels may not overlap the headers, and every row must lie inside the bytes given; the
    // last row may lack its padding.
    if (dataOffset < kFileHeaderSize + headerSize) return std::nullopt;
    const int64_t needed = static_cast<int64_t>(dataOffset) + rowBytes * (rows - 1) + width * bytesPerPixel;
    if (needed > static_cast<int64_t>(bytes.size())) return std::nullopt;

    Picture picture;
    picture.width = width;
    picture.height = static_cast<int32_t>(rows);
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
    for (int64_t row = 0; row < rows; ++row) {
        const int64_t fileRow = topDown ? row : rows - 1 - row;
        const uint8_t* in = bytes.data() + dataOffset + fileRow * rowBytes;
        uint32_t* out = picture.pixels.data() + static_cast<size_t>(row) * width;
        for (int32_t x = 0; x < width; ++x, in += bytesPerPixel) {
            // The file holds blue, green, red; the game's colours are 0x00BBGGRR.
            out[x] = static_cast<uint32_t>(in[2]) | (static_cast<uint32_t>(in[1]) << 8) |
                     (static_cast<uint32_t>(in[0]) << 16);
        }
    }
    return picture;
}

int32_t PictureStore::LoadPicture(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return 0;
    std::shared_ptr<const Picture> picture;
    auto cached = cache_.find(bytes.data());
    if (cached != cache_.end() && cached->second.bytes.size() == bytes.size() &&
        std::memcmp(cached->second.bytes.data(), bytes.data(), bytes.size()) == 0) {
        picture = cached->second.picture;
    } else {
        std::optional<Picture> decoded = DecodeBitmap(bytes);
        if (!decoded) return 0;
        picture = std::make_shared<const Picture>(std::move(*decoded));
        if (bytes.size() <= kCacheableFileSize) {
            if (cached != cache_.end()) {
                cachedBytes_ -= cached->second.bytes.size() + cached->second.picture->pixels.size() * sizeof(uint32_t);
                cache_.erase(cached);
            }
            const size_t cost = bytes.size() + picture->pixels.size() * sizeof(uint32_t);
            if (cachedBytes_ + cost > kCacheLimit) {
                cache_.clear();
                cachedBytes_ = 0;
            }
            cache_.emplace(bytes.data(), CacheEntry{std::vector<uint8_t>(bytes.begin(), bytes.end()), picture});
            cachedBytes_ += cost;
        }
    }
    // Numbers are not reused while the counter has room, so a stale number finds nothing.
    int32_t number = lastNumber_;
    do {
        number = number == INT32_MAX ? 1 : number + 1;
    } while (live_.contains(number));
    lastNumber_ = number;
    live_.emplace(number, std::move(picture));
    return number;
}

void PictureStore::FreePicture(int32_t number) { live_.erase(number); }

const Picture* PictureStore::Find(int32_t number) const {
    auto found = live_.find(number);
    return found == live_.end() ? nullptr : found->second.get();
}

void DrawPicture(DrawPanel& panel, const PictureStore& store, int32_t number, int32_t x, int32_t y,
                 int32_t mode) {
    const Picture* picture = store.Find(number);
    if (picture == nullptr) return;
    panel.DrawPixels(picture->pixels.data(), picture->width, picture->height, picture->width, x, y,
                     picture->width, picture->height, mode);
}

void DrawPicture(DrawPanel& panel, const PictureStore& store, int32_t number, int32_t x, int32_t y,
                 int32_t width, int32_t height, int32_t mode) {
    const Picture* picture = store.Find(number);
    if (picture == nullptr) return;
    panel.DrawPixels(picture->pixels.data(), picture->width, picture->height, picture->width, x, y, width,
                     height, mode);
}

}  // namespace kelvora
