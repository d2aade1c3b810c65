// The file images the generator produces: bitmaps, wave files and pixmaps.
#include "file_images.h"

#include <string>

namespace kelvora::tools {

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFFu);
    PutU16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> BitmapFileImage(const Image& image) {
    const uint32_t rowBytes = static_cast<uint32_t>(image.width) * 3u;
    const uint32_t stride = (rowBytes + 3u) & ~3u;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.height);
    const uint32_t fileSize = 54u + pixelBytes;
    std::vector<uint8_t> out;
    out.reserve(fileSize);
    out.push_back('B');
    out.push_back('M');
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
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = rowBytes; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> WaveFileImage(const Clip& clip) {
    const uint32_t bytesPerSample = static_cast<uint32_t>(clip.bitsPerSample) / 8u;
    const uint32_t dataBytes = static_cast<uint32_t>(clip.samples.size()) * bytesPerSample;
    const uint32_t blockAlign = bytesPerSample * static_cast<uint32_t>(clip.channels);
    std::vector<uint8_t> out;
    out.reserve(44u + dataBytes);
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
            out.push_back(static_cast<uint8_t>((s >> 8) + 128));  // 8-bit PCM is unsigned
        } else {
            PutU16(out, static_cast<uint16_t>(s));
        }
    }
    return out;
}

std::vector<uint8_t> PixmapFileImage(const Image& image) {
    const std::string header = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    for (const Colour& c : image.pixels) {
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }
    return out;
}

}  // namespace kelvora::tools
