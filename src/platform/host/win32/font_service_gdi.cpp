// The font service on Windows: GDI opens the layouts' faces by their own names ("宋体", "黑体",
// "MS Serif") through CreateFontW, draws each character once, and its coverage is kept and
// blended into our pixel buffers.
#include "platform/host/font_backend.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "base/system/codepage_win32.h"
#include "platform/host/win32/dib.h"

namespace kelvora {
namespace {

// Sizes beyond this are refused as nonsense rather than rasterised glyph by glyph.
constexpr int32_t kLargestPixelSize = 512;

}  // namespace

struct OpenFace {
    HFONT font = nullptr;
    bool fromBitmaps = false;  // shown from the face's own bitmaps (small Chinese text)
    int32_t lineHeight = 0;
    int32_t ascent = 0;
    // A face of the same size and weight for characters this one lacks (a Chinese one for a
    // Western face, and the other way round); null when none is needed or none opened.
    OpenFace* standIn = nullptr;
    bool standInLooked = false;
    // Keyed by the character's GBK code (one byte, or lead byte * 256 + trail byte).
    std::unordered_map<uint32_t, Glyph> glyphs;
};

namespace {


// The layouts' Chinese faces are GB2312 fonts; "MS Serif" and other Latin names are Western ones.
BYTE CharacterSetOf(const Text& face) {
    const bool latinName = std::all_of(face.begin(), face.end(), [](char c) { return static_cast<uint8_t>(c) < 0x80; });
    return latinName && !face.empty() ? ANSI_CHARSET : GB2312_CHARSET;
}

// Windows shows the Chinese faces at their small sizes from the faces' own bitmaps, crisp and
// unsmoothed, and that is what the layouts were drawn for; larger text is smoothed.
DWORD QualityFor(const Text& face, int32_t size) {
    constexpr int32_t kLargestBitmapSize = 16;
    return CharacterSetOf(face) == GB2312_CHARSET && size <= kLargestBitmapSize ? NONANTIALIASED_QUALITY
                                                                                 : ANTIALIASED_QUALITY;
}

int32_t NormalSize(int32_t pixelSize) {
    if (pixelSize < 0) pixelSize = pixelSize == INT32_MIN ? INT32_MAX : -pixelSize;
    if (pixelSize == 0) pixelSize = DefaultGuiFont().pixelSize;
    return std::min(pixelSize, kLargestPixelSize);
}

}  // namespace

struct FontBackend {
    HDC dc = CreateCompatibleDC(nullptr);
    std::map<std::tuple<Text, int32_t, int32_t>, OpenFace> faces;

    ~FontBackend() {
        for (auto& [key, face] : faces) {
            if (face.font != nullptr) DeleteObject(face.font);
        }
        if (dc != nullptr) DeleteDC(dc);
    }

    OpenFace* Face(const Text& name, int32_t pixelSize, int32_t weight) {
        const int32_t size = NormalSize(pixelSize);
        const auto key = std::make_tuple(name, size, weight);
        auto found = faces.find(key);
        if (found != faces.end()) return found->second.font != nullptr ? &found->second : nullptr;
        OpenFace& face = faces[key];  // remembered even when nothing opens: it is not retried
        if (dc == nullptr) return nullptr;
        // A positive height is the height of the whole character cell, ascent and descent
        // together, which is how the layouts measure their fonts.
        const std::wstring wideName = WideOf(CodePage::Gbk, name, true);
        const DWORD quality = QualityFor(name, size);
        face.fromBitmaps = quality == NONANTIALIASED_QUALITY;
        face.font = CreateFontW(size, 0, 0, 0, weight, FALSE, FALSE, FALSE, CharacterSetOf(name), OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, wideName.c_str());
        if (face.font == nullptr) return nullptr;
        SelectObject(dc, face.font);
        TEXTMETRICW metrics{};
        if (!GetTextMetricsW(dc, &metrics)) {
            DeleteObject(face.font);
            face.font = nullptr;
            return nullptr;
        }
        face.lineHeight = std::max<int32_t>(metrics.tmHeight, 1);
        face.ascent = metrics.tmAscent;
        return &face;
    }

    OpenFace* Face(const FontSpec& wanted) { return Face(wanted.face, wanted.pixelSize, wanted.weight); }

    OpenFace* StandInFor(OpenFace& face, const FontSpec& wanted) {
        if (!face.standInLooked) {
            face.standInLooked = true;
            const Text other = CharacterSetOf(wanted.face) == ANSI_CHARSET ? Text("宋体") : Text("MS Serif");
            face.standIn = Face(other, wanted.pixelSize, wanted.weight);
        }
        return face.standIn;
    }

    bool HasGlyph(OpenFace& face, wchar_t character) {
        SelectObject(dc, face.font);
        WORD index = 0;
        return GetGlyphIndicesW(dc, &character, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 && index != 0xFFFF;
    }

    // How far the pen moves after the character. A Chinese character of a face shown from its
    // bitmaps is measured by its bitmap, which is as wide as GDI's own measure: under Wine, GDI's
    // measure of the first such character runs FreeType's automatic hinter over the face, which
    // reads some 3 MB of a Chinese font's outlines into the game's memory. Latin letters keep
    // GDI's measure, which for them can differ from their bitmaps' by a pixel.
    bool Advance(const OpenFace& face, wchar_t character, int32_t& advance) {
        if (face.fromBitmaps && character >= 0x80) {
            GLYPHMETRICS metrics{};
            const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
            if (GetGlyphOutlineW(dc, character, GGO_BITMAP, &metrics, 0, nullptr, &identity) != GDI_ERROR) {
                advance = std::max<int32_t>(metrics.gmCellIncX, 0);
                return true;
            }
        }
        SIZE extent{};
        if (!GetTextExtentPoint32W(dc, &character, 1, &extent)) return false;
        advance = std::max<int32_t>(extent.cx, 0);
        return true;
    }

    // The character drawn by GDI itself, white on black, into a grey-level DIB: the red channel
    // is its coverage. (The outline call's 65 grey levels stop short of full coverage under Wine,
    // where the solid strokes of a character must take exactly the text colour.)
    Glyph Rasterise(OpenFace& face, wchar_t character) {
        Glyph glyph;
        SelectObject(dc, face.font);
        if (!Advance(face, character, glyph.advance)) return glyph;
        // Room for strokes that reach left of the pen or beyond the advance (italic, bold).
        const int32_t pad = face.lineHeight;
        const int32_t width = glyph.advance + 2 * pad;
        const int32_t height = face.lineHeight;
        if (width <= 0 || height <= 0) return glyph;
        uint32_t* pixels = nullptr;
        HBITMAP bitmap = CreateTopDownDib(dc, width, height, &pixels);
        if (bitmap == nullptr) return glyph;
        HGDIOBJ previous = SelectObject(dc, bitmap);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        // At the advance just measured, so that GDI does not measure the character again.
        INT advance = glyph.advance;
        ExtTextOutW(dc, pad, 0, 0, nullptr, &character, 1, &advance);
        GdiFlush();
        KeepCoveredPart(glyph, width, height, pad, [&](int32_t x, int32_t y) {
            return static_cast<uint8_t>((pixels[static_cast<size_t>(y) * width + x] >> 16) & 0xFF);
        });
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        return glyph;
    }

    // The glyph of the GBK character with this code, made on first use. Characters with no
    // Unicode form or no glyph in either face come back empty, with no advance.
    const Glyph& GlyphFor(OpenFace& face, const FontSpec& wanted, uint32_t gbkCode) {
        auto found = face.glyphs.find(gbkCode);
        if (found != face.glyphs.end()) return found->second;
        Glyph glyph;
        const std::string bytes = GbkBytesOf(gbkCode);
        const std::wstring wide = WideOf(CodePage::Gbk, bytes, true);
        if (wide.size() == 1 && wide[0] >= 0x20 && wide[0] != 0x7F) {  // control characters draw nothing
            OpenFace* from = &face;
            if (!HasGlyph(face, wide[0])) {
                OpenFace* standIn = StandInFor(face, wanted);
                from = standIn != nullptr && HasGlyph(*standIn, wide[0]) ? standIn : nullptr;
            }
            if (from != nullptr) {
                glyph = Rasterise(*from, wide[0]);
                glyph.top += face.ascent - from->ascent;  // on this face's baseline
            }
        }
        return face.glyphs.emplace(gbkCode, std::move(glyph)).first->second;
    }
};

FontService::FontService() : backend_(std::make_unique<FontBackend>()) {}

FontService::~FontService() = default;

// GDI's font table is the system's own and ready when the program starts: nothing to read ahead.
void StartReadingFontConfiguration() {}

OpenFace* FindFace(FontBackend& fonts, const FontSpec& font) { return fonts.Face(font); }

int32_t LineHeightOf(const OpenFace& face) { return face.lineHeight; }

const Glyph& GlyphOf(FontBackend& fonts, OpenFace& face, const FontSpec& font, uint32_t gbkCode) {
    return fonts.GlyphFor(face, font, gbkCode);
}

}  // namespace kelvora
