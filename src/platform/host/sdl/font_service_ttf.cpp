// The font service: fontconfig finds the faces, SDL_ttf opens and rasterises them, and each
// character's coverage mask is kept so a text is rasterised only the first time.
#include "platform/host/font_backend.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace kelvora {
namespace {

// Sizes beyond this are refused as nonsense rather than rasterised glyph by glyph.
constexpr int32_t kLargestPixelSize = 512;
constexpr int32_t kBoldWeight = 700;
// How many of fontconfig's candidates are tried before a face is given up.
constexpr int kCandidatesTried = 32;

// One character: its coverage mask cropped to the pixels it touches, placed relative to the pen
// position and the top of the line.
// A font file opened once and shared by every size and weight drawn from it: SDL_ttf reads a
// face's tables again for each font it opens, half a megabyte each time for a large Chinese face.
struct FontFile {
    TTF_Font* font = nullptr;
    int32_t size = 0;  // the size and style set on it last
    int style = TTF_STYLE_NORMAL;
};

// One size and weight of a font file.
struct SizedFont {
    FontFile* file = nullptr;
    int32_t size = 0;
    int style = TTF_STYLE_NORMAL;
};

// The shared font set to this size and weight.
TTF_Font* Use(const SizedFont& sized) {
    FontFile& file = *sized.file;
    if (file.size != sized.size && TTF_SetFontSize(file.font, sized.size) == 0) file.size = sized.size;
    if (file.style != sized.style) {
        TTF_SetFontStyle(file.font, sized.style);
        file.style = sized.style;
    }
    return file.font;
}

}  // namespace

struct OpenFace {
    SizedFont sized;
    int32_t lineHeight = 0;
    // Keyed by the character's GBK code (one byte, or lead byte * 256 + trail byte).
    std::unordered_map<uint32_t, Glyph> glyphs;
};

namespace {

// Decodes the single code point of a short UTF-8 text; 0 when it is not exactly one.
uint32_t SingleCodePoint(std::string_view utf8) {
    if (utf8.empty()) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t length = 0;
    uint32_t cp = 0;
    if (b[0] < 0x80) {
        length = 1;
        cp = b[0];
    } else if ((b[0] & 0xE0) == 0xC0) {
        length = 2;
        cp = b[0] & 0x1F;
    } else if ((b[0] & 0xF0) == 0xE0) {
        length = 3;
        cp = b[0] & 0x0F;
    } else if ((b[0] & 0xF8) == 0xF0) {
        length = 4;
        cp = b[0] & 0x07;
    } else {
        return 0;
    }
    if (utf8.size() != length) return 0;
    for (size_t i = 1; i < length; ++i) cp = (cp << 6) | (b[i] & 0x3F);
    return cp;
}

// The configuration read ahead by StartReadingFontConfiguration, until a FontService takes it.
// Without a face that has Chinese characters every caption of the game is blank; the player is
// told once which package brings one. Asked of the configuration just read, off the UI thread
// when it is read ahead.
void SayWhenNoChineseFont(FcConfig* config) {
    static std::once_flag said;
    std::call_once(said, [config] {
        if (config == nullptr) return;
        FcPattern* pattern = FcPatternCreate();
        FcCharSet* middle = FcCharSetCreate();
        FcCharSetAddChar(middle, 0x4E2D);  // 中
        FcPatternAddCharSet(pattern, FC_CHARSET, middle);
        FcObjectSet* file = FcObjectSetBuild(FC_FILE, nullptr);
        FcFontSet* fonts = FcFontList(config, pattern, file);
        const bool none = fonts == nullptr || fonts->nfont == 0;
        if (fonts != nullptr) FcFontSetDestroy(fonts);
        FcObjectSetDestroy(file);
        FcCharSetDestroy(middle);
        FcPatternDestroy(pattern);
        if (none) {
            std::fprintf(stderr,
                         "Kelvora: no Chinese font was found, so the game's texts stay blank; "
                         "install the Debian package fonts-arphic-uming\n");
        }
    });
}

class ConfigurationReadAhead {
public:
    ~ConfigurationReadAhead() {
        if (reader_.joinable()) reader_.join();
        if (config_ != nullptr) FcConfigDestroy(config_);
    }

    void Start() {
        std::lock_guard guard(lock_);
        if (reader_.joinable() || config_ != nullptr) return;
        // The thread writes config_ before it ends; joining it makes the write visible.
        reader_ = std::thread([this] {
            config_ = FcInitLoadConfigAndFonts();
            SayWhenNoChineseFont(config_);
        });
    }

    // The configuration read ahead, or one read now when none was started.
    FcConfig* Take() {
        std::lock_guard guard(lock_);
        if (reader_.joinable()) reader_.join();
        FcConfig* config = config_ != nullptr ? config_ : FcInitLoadConfigAndFonts();
        config_ = nullptr;
        SayWhenNoChineseFont(config);
        return config;
    }

private:
    std::mutex lock_;
    std::thread reader_;
    FcConfig* config_ = nullptr;
};

ConfigurationReadAhead& ReadAhead() {
    static ConfigurationReadAhead readAhead;
    return readAhead;
}

}  // namespace

struct FontBackend {
    FcConfig* config = nullptr;
    bool ttfReady = false;
    // The host sits below the platform's text services, so it converts with iconv itself.
    iconv_t fromGbk = reinterpret_cast<iconv_t>(-1);
    std::map<std::tuple<Text, int32_t, int32_t>, OpenFace> faces;
    // Every font file opened, by path and face index; a file that would not open stays null.
    std::map<std::pair<std::string, int>, FontFile> files;
    // Faces that stand in for characters a face lacks, by file, index, size and boldness.
    std::map<std::tuple<std::string, int, int32_t, bool>, SizedFont> standIns;

    ~FontBackend() {
        for (auto& [key, file] : files) {
            if (file.font != nullptr) TTF_CloseFont(file.font);
        }
        if (ttfReady) TTF_Quit();
        if (config != nullptr) FcConfigDestroy(config);
        if (fromGbk != reinterpret_cast<iconv_t>(-1)) iconv_close(fromGbk);
    }

    // The UTF-8 form of a GBK text; empty when any of it has no such form.
    std::string ToUtf8(std::string_view gbk) {
        if (fromGbk == reinterpret_cast<iconv_t>(-1) || gbk.empty()) return std::string();
        iconv(fromGbk, nullptr, nullptr, nullptr, nullptr);
        std::string out(gbk.size() * 4 + 8, '\0');
        char* in = const_cast<char*>(gbk.data());
        size_t inLeft = gbk.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        if (iconv(fromGbk, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
            return std::string();
        }
        out.resize(out.size() - outLeft);
        return out;
    }

    std::string FamilyFor(const Text& face) {
        // fontconfig knows these faces only by their Latin names.
        if (face == "宋体") return "SimSun";
        if (face == "黑体") return "SimHei";
        // A Times-like face is as narrow as the old serif screen font, so seven spaced digits fit
        // the score labels; fontconfig's own choice for the name (a wide serif) would not.
        if (face == "MS Serif") return "Liberation Serif";
        return ToUtf8(face);
    }

    FcPattern* PatternFor(const std::string& family, int32_t pixelSize, int32_t weight) {
        FcPattern* pattern = FcPatternCreate();
        if (!family.empty()) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        }
        FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
        FcPatternAddInteger(pattern, FC_WEIGHT, weight >= kBoldWeight ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        return pattern;
    }

    // The font file at this path and face index, opened on first use; null when SDL_ttf cannot
    // open it.
    FontFile* File(const char* path, int index, int32_t pixelSize) {
        const auto key = std::make_pair(std::string(path), index);
        auto known = files.find(key);
        if (known == files.end()) {
            FontFile opened;
            opened.font = TTF_OpenFontIndex(path, pixelSize, index);
            opened.size = pixelSize;
            if (opened.font != nullptr) TTF_SetFontKerning(opened.font, 0);
            known = files.emplace(key, opened).first;
        }
        return known->second.font != nullptr ? &known->second : nullptr;
    }

    // The face a prepared candidate names, at this size; bold when fontconfig says to thicken it
    // or when bold is wanted of a face that is not bold already (`weightOf` holds its own weight).
    SizedFont OpenCandidate(FcPattern* prepared, FcPattern* weightOf, int32_t pixelSize, int32_t weight) {
        SizedFont font;
        FcChar8* path = nullptr;
        if (FcPatternGetString(prepared, FC_FILE, 0, &path) != FcResultMatch || path == nullptr) return font;
        int faceIndex = 0;
        FcBool embolden = FcFalse;
        int faceWeight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(prepared, FC_INDEX, 0, &faceIndex);
        FcPatternGetBool(prepared, FC_EMBOLDEN, 0, &embolden);
        FcPatternGetInteger(weightOf, FC_WEIGHT, 0, &faceWeight);
        font.file = File(reinterpret_cast<const char*>(path), faceIndex, pixelSize);
        font.size = pixelSize;
        const bool wantsBold = weight >= kBoldWeight && faceWeight < FC_WEIGHT_DEMIBOLD;
        font.style = embolden || wantsBold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL;
        return font;
    }

    // Opens the first of fontconfig's candidates for the pattern that SDL_ttf can open. Its best
    // match comes first: sorting every installed font costs several times as much, and is needed
    // only when that one will not open.
    SizedFont OpenBest(FcPattern* pattern, int32_t pixelSize, int32_t weight) {
        FcResult result = FcResultNoMatch;
        if (FcPattern* best = FcFontMatch(config, pattern, &result)) {
            const SizedFont font = OpenCandidate(best, best, pixelSize, weight);
            FcPatternDestroy(best);
            if (font.file != nullptr) return font;
        }
        SizedFont font;
        FcFontSet* candidates = FcFontSort(config, pattern, FcFalse, nullptr, &result);
        if (candidates == nullptr) return font;
        for (int i = 0; i < candidates->nfont && i < kCandidatesTried && font.file == nullptr; ++i) {
            FcPattern* prepared = FcFontRenderPrepare(config, pattern, candidates->fonts[i]);
            if (prepared == nullptr) continue;
            font = OpenCandidate(prepared, candidates->fonts[i], pixelSize, weight);
            FcPatternDestroy(prepared);
        }
        FcFontSetDestroy(candidates);
        return font;
    }

    // The layouts give a font's height as the height of its whole character cell, ascent and
    // descent together, the way the old screen fonts were measured; an outline font opened at that
    // size is taller than that. Shrinking it until its cell fits keeps ten rows of 24-pixel text in
    // 240 pixels and the labels' digits inside their boxes.
    static SizedFont FitCellHeight(SizedFont sized, int32_t cellHeight) {
        TTF_Font* font = Use(sized);
        for (int attempt = 0; attempt < 4 && TTF_FontHeight(font) > cellHeight && sized.size > 1; ++attempt) {
            const int32_t height = std::max(TTF_FontHeight(font), 1);
            const int32_t next = std::max(1, std::min(sized.size - 1, sized.size * cellHeight / height));
            if (TTF_SetFontSize(font, next) != 0) break;
            sized.size = next;
            sized.file->size = next;
        }
        return sized;
    }

    static int32_t NormalSize(int32_t pixelSize) {
        if (pixelSize < 0) pixelSize = pixelSize == INT32_MIN ? INT32_MAX : -pixelSize;
        if (pixelSize == 0) pixelSize = DefaultGuiFont().pixelSize;
        return std::min(pixelSize, kLargestPixelSize);
    }

    OpenFace* Face(const FontSpec& wanted) {
        const int32_t size = NormalSize(wanted.pixelSize);
        const auto key = std::make_tuple(wanted.face, size, wanted.weight);
        auto found = faces.find(key);
        if (found != faces.end()) return found->second.sized.file != nullptr ? &found->second : nullptr;
        OpenFace& face = faces[key];  // remembered even when nothing opens: it is not retried
        if (!ttfReady || config == nullptr) return nullptr;
        FcPattern* pattern = PatternFor(FamilyFor(wanted.face), size, wanted.weight);
        face.sized = OpenBest(pattern, size, wanted.weight);
        FcPatternDestroy(pattern);
        if (face.sized.file == nullptr) {
            // No face of that name: anything fontconfig offers for Chinese text will do.
            pattern = PatternFor(std::string(), size, wanted.weight);
            face.sized = OpenBest(pattern, size, wanted.weight);
            FcPatternDestroy(pattern);
        }
        if (face.sized.file == nullptr) return nullptr;
        face.sized = FitCellHeight(face.sized, size);
        face.lineHeight = std::max(TTF_FontHeight(Use(face.sized)), 1);
        return &face;
    }

    // A face that has the character, of the same size and weight, for characters `font` lacks.
    SizedFont StandInFor(uint32_t codePoint, int32_t size, int32_t weight) {
        FcPattern* pattern = PatternFor(std::string(), size, weight);
        FcCharSet* charset = FcCharSetCreate();
        FcCharSetAddChar(charset, codePoint);
        FcPatternAddCharSet(pattern, FC_CHARSET, charset);
        FcCharSetDestroy(charset);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        SizedFont font;
        if (match == nullptr) return font;
        FcChar8* path = nullptr;
        int index = 0;
        FcCharSet* has = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr &&
            FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch && FcCharSetHasChar(has, codePoint)) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            const bool bold = weight >= kBoldWeight;
            const auto key = std::make_tuple(std::string(reinterpret_cast<const char*>(path)), index, size, bold);
            auto known = standIns.find(key);
            if (known != standIns.end()) {
                font = known->second;
            } else {
                font.file = File(reinterpret_cast<const char*>(path), index, size);
                font.size = size;
                font.style = bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL;
                if (font.file != nullptr) font = FitCellHeight(font, size);
                standIns.emplace(key, font);
            }
        }
        FcPatternDestroy(match);
        return font;
    }

    static Glyph Rasterise(TTF_Font* font, uint32_t codePoint) {
        Glyph glyph;
        int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
        if (TTF_GlyphMetrics32(font, codePoint, &minX, &maxX, &minY, &maxY, &advance) != 0) return glyph;
        glyph.advance = std::max(advance, 0);
        SDL_Surface* surface = TTF_RenderGlyph32_Blended(font, codePoint, SDL_Color{255, 255, 255, 255});
        if (surface == nullptr) return glyph;
        if (SDL_LockSurface(surface) == 0) {
            // SDL_ttf puts the top of the line at the surface's top row and shifts a glyph that
            // reaches left of its pen position right by that much.
            const int32_t shift = std::max(0, -minX);
            const auto alphaAt = [&](int x, int y) {
                const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                                    static_cast<size_t>(y) * surface->pitch);
                return static_cast<uint8_t>(row[x] >> 24);
            };
            KeepCoveredPart(glyph, surface->w, surface->h, shift, alphaAt);
            SDL_UnlockSurface(surface);
        }
        SDL_FreeSurface(surface);
        return glyph;
    }

    // The glyph of the GBK character with this code, made on first use. Characters that have no
    // Unicode form or no glyph in any face come back empty, with no advance.
    const Glyph& GlyphFor(OpenFace& face, const FontSpec& wanted, uint32_t gbkCode) {
        auto found = face.glyphs.find(gbkCode);
        if (found != face.glyphs.end()) return found->second;
        Glyph glyph;
        const std::string bytes = GbkBytesOf(gbkCode);
        const uint32_t codePoint = SingleCodePoint(ToUtf8(bytes));
        if (codePoint >= 0x20 && codePoint != 0x7F) {  // control characters draw nothing
            SizedFont font = face.sized;
            if (!TTF_GlyphIsProvided32(font.file->font, codePoint)) {
                font = StandInFor(codePoint, NormalSize(wanted.pixelSize), wanted.weight);
            }
            if (font.file != nullptr) glyph = Rasterise(Use(font), codePoint);
        }
        return face.glyphs.emplace(gbkCode, std::move(glyph)).first->second;
    }
};

FontService::FontService() : backend_(std::make_unique<FontBackend>()) {
    backend_->config = ReadAhead().Take();
    backend_->ttfReady = TTF_Init() == 0;
    backend_->fromGbk = iconv_open("UTF-8", "GBK");
}

FontService::~FontService() = default;

void StartReadingFontConfiguration() { ReadAhead().Start(); }

OpenFace* FindFace(FontBackend& fonts, const FontSpec& font) { return fonts.Face(font); }

int32_t LineHeightOf(const OpenFace& face) { return face.lineHeight; }

const Glyph& GlyphOf(FontBackend& fonts, OpenFace& face, const FontSpec& font, uint32_t gbkCode) {
    return fonts.GlyphFor(face, font, gbkCode);
}

}  // namespace kelvora
