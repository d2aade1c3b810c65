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

}  // namespace kelvora::tools
