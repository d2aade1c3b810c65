// The font service in the browser: the page's canvas draws each character once in the face the
// layouts name ("宋体", "黑体", "MS Serif"; the page maps each to the player's own fonts with
// @font-face local() lists), and its coverage is kept and blended into our pixel buffers like
// every other backend's. Without a page (Node runs the tests) there are no fonts at all.
#include "platform/host/font_backend.h"

#include <algorithm>
#include <climits>
#include <map>
#include <tuple>
#include <unordered_map>

#include "base/system/codepage.h"

extern "C" {
// The face's ascent and descent in pixels; false where there is no canvas.
bool kelvora_font_metrics(const char* family, int32_t size, int32_t weight, int32_t* ascent, int32_t* descent);
// How far the pen moves after the UTF-8 character.
int32_t kelvora_font_advance(const char* family, int32_t size, int32_t weight, const char* character);
// The character's coverage (0..255), drawn with its pen at (penX, baseline) into width * height.
void kelvora_font_draw(const char* family, int32_t size, int32_t weight, const char* character, int32_t penX,
                       int32_t baseline, int32_t width, int32_t height, uint8_t* coverage);
}

namespace kelvora {
namespace {

constexpr int32_t kLargestPixelSize = 512;

int32_t NormalSize(int32_t pixelSize) {
    if (pixelSize < 0) pixelSize = pixelSize == INT32_MIN ? INT32_MAX : -pixelSize;
    if (pixelSize == 0) pixelSize = DefaultGuiFont().pixelSize;
    return std::min(pixelSize, kLargestPixelSize);
}

}  // namespace

struct OpenFace {
    Utf8Text family;
    int32_t size = 0;
    int32_t weight = 400;
    int32_t ascent = 0;
    int32_t lineHeight = 0;
    bool open = false;
    std::unordered_map<uint32_t, Glyph> glyphs;  // keyed by GBK code
};

struct FontBackend {
    std::map<std::tuple<Text, int32_t, int32_t>, OpenFace> faces;

    OpenFace* Face(const FontSpec& wanted) {
        const int32_t size = NormalSize(wanted.pixelSize);
        const auto key = std::make_tuple(wanted.face, size, wanted.weight);
        auto found = faces.find(key);
        if (found != faces.end()) return found->second.open ? &found->second : nullptr;
        OpenFace& face = faces[key];  // remembered even when nothing opens: it is not retried
        const Conversion family = GbkToUtf8(wanted.face);
        if (!family.ok) return nullptr;
        int32_t ascent = 0, descent = 0;
        if (!kelvora_font_metrics(family.text.c_str(), size, wanted.weight, &ascent, &descent)) return nullptr;
        face.family = family.text;
        face.size = size;
        face.weight = wanted.weight;
        face.ascent = ascent;
        face.lineHeight = std::max(ascent + descent, 1);
        face.open = true;
        return &face;
    }

    // Characters with no Unicode form, and control characters, come back empty with no advance.
    const Glyph& GlyphFor(OpenFace& face, uint32_t gbkCode) {
        auto found = face.glyphs.find(gbkCode);
        if (found != face.glyphs.end()) return found->second;
        Glyph glyph;
        const std::string bytes = GbkBytesOf(gbkCode);
        const Conversion character = GbkToUtf8(bytes);
        if (character.ok && !(gbkCode < 0x20 || gbkCode == 0x7F)) Rasterise(face, character.text, glyph);
        return face.glyphs.emplace(gbkCode, std::move(glyph)).first->second;
    }

    void Rasterise(const OpenFace& face, const Utf8Text& character, Glyph& glyph) {
        glyph.advance = std::max(kelvora_font_advance(face.family.c_str(), face.size, face.weight, character.c_str()), 0);
        // Room for strokes that reach left of the pen or beyond the advance (bold, italic).
        const int32_t pad = face.lineHeight;
        const int32_t width = glyph.advance + 2 * pad;
        const int32_t height = face.lineHeight;
        std::vector<uint8_t> cell(static_cast<size_t>(width) * height);
        kelvora_font_draw(face.family.c_str(), face.size, face.weight, character.c_str(), pad, face.ascent, width,
                          height, cell.data());
        KeepCoveredPart(glyph, width, height, pad,
                        [&](int32_t x, int32_t y) { return cell[static_cast<size_t>(y) * width + x]; });
    }
};

FontService::FontService() : backend_(std::make_unique<FontBackend>()) {}

FontService::~FontService() = default;

// The page has loaded the faces before the game starts: nothing to read ahead.
void StartReadingFontConfiguration() {}

OpenFace* FindFace(FontBackend& fonts, const FontSpec& font) { return fonts.Face(font); }

int32_t LineHeightOf(const OpenFace& face) { return face.lineHeight; }

const Glyph& GlyphOf(FontBackend& fonts, OpenFace& face, const FontSpec& /*font*/, uint32_t gbkCode) {
    return fonts.GlyphFor(face, gbkCode);
}

}  // namespace kelvora
