// The file images the generator produces: bitmaps, wave files and pixmaps.
#include "file_images.h"

#include <cstdio>
#include <utility>

namespace kelvora::tools {

namespace {

void PutU16(ByteWriter& out, uint32_t v) {
    out.Put(static_cast<uint8_t>(v));
    out.Put(static_cast<uint8_t>(v >> 8));
}

void PutU32(ByteWriter& out, uint32_t v) {
    PutU16(out, v & 0xFFFFu);
    PutU16(out, v >> 16);
}

void PutTag(ByteWriter& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.Put(static_cast<uint8_t>(tag[i]));
}

// PNG and zlib store their numbers most significant byte first.
void PutBigEndian32(ByteWriter& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.Put(static_cast<uint8_t>(v >> shift));
}

// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320), over bytes [from, to) of out.
uint32_t PngChunkCrc(const ByteWriter& out, size_t from, size_t to) {
    uint32_t table[256];
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < to; ++i) crc = table[(crc ^ out.bytes[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Ends the chunk whose length field starts at lengthAt: fills in the length, appends the CRC.
void FinishPngChunk(ByteWriter& out, size_t lengthAt) {
    const size_t typeAt = lengthAt + 4;
    const uint32_t length = static_cast<uint32_t>(out.used - typeAt - 4);
    const size_t end = out.used;
    out.used = lengthAt;
    PutBigEndian32(out, length);
    out.used = end;
    PutBigEndian32(out, PngChunkCrc(out, typeAt, end));
}

}  // namespace

Buffer<uint8_t> BitmapFileImage(const Image& image) {
    const uint32_t rowBytes = static_cast<uint32_t>(image.width) * 3u;
    const uint32_t stride = (rowBytes + 3u) & ~3u;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.height);
    const uint32_t fileSize = 54u + pixelBytes;
    ByteWriter out(fileSize);
    out.Put('B');
    out.Put('M');
    PutU32(out, fileSize);
    PutU32(out, 0);   // reserved
    PutU32(out, 54);  // offset of the pixels
    PutU32(out, 40);  // BITMAPINFOHEADER
    PutU32(out, static_cast<uint32_t>(image.width));
    PutU32(out, static_cast<uint32_t>(image.height));  // positive: bottom-up rows
    PutU16(out, 1);   // planes
    PutU16(out, 24);  // bits per pixel
    PutU32(out, 0);   // BI_RGB, uncompressed
    PutU32(out, pixelBytes);
    PutU32(out, 2835);  // 72 dpi in pixels per metre
    PutU32(out, 2835);
    PutU32(out, 0);  // colours used
    PutU32(out, 0);  // important colours
    for (int32_t y = image.height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const Colour c = image.At(x, y);
            out.Put(c.b);
            out.Put(c.g);
            out.Put(c.r);
        }
        for (uint32_t pad = rowBytes; pad < stride; ++pad) out.Put(0);
    }
    return std::move(out.bytes);
}

Buffer<uint8_t> WaveFileImage(const Clip& clip) {
    const uint32_t bytesPerSample = static_cast<uint32_t>(clip.bitsPerSample) / 8u;
    const uint32_t dataBytes = static_cast<uint32_t>(clip.samples.size()) * bytesPerSample;
    const uint32_t blockAlign = bytesPerSample * static_cast<uint32_t>(clip.channels);
    ByteWriter out(44u + dataBytes);
    PutTag(out, "RIFF");
    PutU32(out, 36u + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, static_cast<uint32_t>(clip.channels));
    PutU32(out, static_cast<uint32_t>(clip.sampleRate));
    PutU32(out, static_cast<uint32_t>(clip.sampleRate) * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, static_cast<uint32_t>(clip.bitsPerSample));
    PutTag(out, "data");
    PutU32(out, dataBytes);
    for (const int16_t s : clip.samples) {
        if (bytesPerSample == 1) {
            out.Put(static_cast<uint8_t>((s >> 8) + 128));  // 8-bit PCM is unsigned
        } else {
            PutU16(out, static_cast<uint16_t>(s));
        }
    }
    return std::move(out.bytes);
}

Buffer<uint8_t> PixmapFileImage(const Image& image) {
    char header[48];
    const int length = std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", image.width, image.height);
    ByteWriter out(static_cast<size_t>(length) + image.pixels.size() * 3);
    for (int i = 0; i < length; ++i) out.Put(static_cast<uint8_t>(header[i]));
    for (const Colour& c : image.pixels) {
        out.Put(c.r);
        out.Put(c.g);
        out.Put(c.b);
    }
    return std::move(out.bytes);
}

Buffer<uint8_t> PngFileImage(const TranslucentImage& image) {
    if (image.width <= 0 || image.height <= 0) return Buffer<uint8_t>();
    constexpr size_t kStoredBlockMax = 65535;
    const size_t rowBytes = 1 + static_cast<size_t>(image.width) * 4;  // filter byte, then RGBA
    const size_t rawBytes = rowBytes * static_cast<size_t>(image.height);
    const size_t blocks = (rawBytes + kStoredBlockMax - 1) / kStoredBlockMax;
    const size_t zlibBytes = 2 + blocks * 5 + rawBytes + 4;
    ByteWriter out(8 + (12 + 13) + (12 + zlibBytes) + 12);

    constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const uint8_t b : kSignature) out.Put(b);

    size_t chunk = out.used;
    PutBigEndian32(out, 0);
    PutTag(out, "IHDR");
    PutBigEndian32(out, static_cast<uint32_t>(image.width));
    PutBigEndian32(out, static_cast<uint32_t>(image.height));
    out.Put(8);  // bits per channel
    out.Put(6);  // RGBA
    out.Put(0);  // deflate
    out.Put(0);  // adaptive filtering (every row says "none")
    out.Put(0);  // not interlaced
    FinishPngChunk(out, chunk);

    chunk = out.used;
    PutBigEndian32(out, 0);
    PutTag(out, "IDAT");
    out.Put(0x78);  // deflate with a 32 KiB window; with the next byte a multiple of 31
    out.Put(0x01);
    // The rows are produced byte by byte into stored blocks, each with its own header.
    uint32_t adlerLow = 1;
    uint32_t adlerHigh = 0;
    size_t left = rawBytes;
    size_t inBlock = 0;
    auto putRaw = [&](uint8_t b) {
        if (inBlock == 0) {
            const size_t length = left < kStoredBlockMax ? left : kStoredBlockMax;
            out.Put(left == length ? 1 : 0);  // BFINAL on the last block, BTYPE 00 (stored)
            PutU16(out, static_cast<uint32_t>(length));
            PutU16(out, static_cast<uint32_t>(~length & 0xFFFFu));
            inBlock = length;
        }
        out.Put(b);
        --inBlock;
        --left;
        adlerLow = (adlerLow + b) % 65521u;
        adlerHigh = (adlerHigh + adlerLow) % 65521u;
    };
    for (int32_t y = 0; y < image.height; ++y) {
        putRaw(0);
        for (int32_t x = 0; x < image.width; ++x) {
            const Pixel& p = image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
            putRaw(p.r);
            putRaw(p.g);
            putRaw(p.b);
            putRaw(p.a);
        }
    }
    PutBigEndian32(out, (adlerHigh << 16) | adlerLow);
    FinishPngChunk(out, chunk);

    chunk = out.used;
    PutBigEndian32(out, 0);
    PutTag(out, "IEND");
    FinishPngChunk(out, chunk);
    return std::move(out.bytes);
}

}  // namespace kelvora::tools
