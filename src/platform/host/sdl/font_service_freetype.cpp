// The font service: fontconfig finds the faces, FreeType opens and rasterises them, and each
// character's coverage mask is kept so a text is rasterised only the first time.
#include "platform/host/font_backend.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A font file opened once and shared by every size and weight drawn from it: opening a face reads
// its tables, over half a megabyte for the Chinese face.
struct FontFile {
    FT_Face face = nullptr;
    int32_t size = 0;  // the size set on it last
    FT_StreamRec stream{};  // how FreeType reads the file
};

// FreeType reads a font file piece by piece through these rather than mapping all of it: a
// mapped Chinese face brings several megabytes into memory, in whole runs of pages around every
// piece read, where reading keeps only the tables in use.
unsigned long ReadFontFile(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
    if (count == 0) return 0;  // FreeType moving to the offset: nothing to do before reading
    const ssize_t read = pread(static_cast<int>(stream->descriptor.value), buffer, count, static_cast<off_t>(offset));
    return read > 0 ? static_cast<unsigned long>(read) : 0;
}

void CloseFontFile(FT_Stream stream) { close(static_cast<int>(stream->descriptor.value)); }

// The face of the file at this index, read through the file's own stream; null when it cannot be
// opened.
FT_Face OpenStreamedFace(FT_Library freetype, FontFile& file, const char* path, int index) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat about {};
    if (fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
        close(fd);
        return nullptr;
    }
    file.stream.size = static_cast<unsigned long>(about.st_size);
    file.stream.descriptor.value = fd;
    file.stream.read = ReadFontFile;
    file.stream.close = CloseFontFile;  // FreeType closes it with the face, or when it will not open
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = &file.stream;
    FT_Face face = nullptr;
    return FT_Open_Face(freetype, &args, index, &face) == 0 ? face : nullptr;
}

// One size and weight of a font file. Bold is drawn by smearing each row of the glyph rightwards,
// as the game's glyphs have always been drawn, unless the face is bold already.
struct SizedFont {
    FontFile* file = nullptr;
    int32_t size = 0;
    bool bold = false;
};

// FreeType's 26.6 fixed point, rounded down and up to whole pixels.
int32_t FloorPixels(FT_Pos value) { return static_cast<int32_t>((value & -64) / 64); }
int32_t CeilPixels(FT_Pos value) { return FloorPixels(value + 63); }

// Sets the face to a size in pixels; a face that only has bitmaps takes the size's place in its
// list of strikes instead. False when FreeType refuses.
bool SetPixelSize(FontFile& file, int32_t size) {
    FT_Error error = 0;
    if (FT_IS_SCALABLE(file.face)) {
        error = FT_Set_Char_Size(file.face, 0, static_cast<FT_F26Dot6>(size) * 64, 0, 0);
    } else if (file.face->num_fixed_sizes > 0) {
        error = FT_Select_Size(file.face, std::clamp(size, 0, file.face->num_fixed_sizes - 1));
    } else {
        return false;
    }
    if (error != 0) return false;
    file.size = size;
    return true;
}

// The shared face set to this size.
FT_Face Use(const SizedFont& sized) {
    if (sized.file->size != sized.size) SetPixelSize(*sized.file, sized.size);
    return sized.file->face;
}

// The height of the face's whole character cell, ascent and descent together, and its ascent.
struct CellMetrics {
    int32_t ascent = 0;
    int32_t height = 0;
};

CellMetrics CellOf(FT_Face face) {
    CellMetrics cell;
    if (FT_IS_SCALABLE(face)) {
        const FT_Fixed scale = face->size->metrics.y_scale;
        cell.ascent = CeilPixels(FT_MulFix(face->ascender, scale));
        cell.height = CeilPixels(FT_MulFix(face->ascender - face->descender, scale));
    } else {
        cell.ascent = CeilPixels(face->size->metrics.ascender);
        cell.height = CeilPixels(face->size->metrics.height);
    }
    return cell;
}

// The Unicode character map, the 32-bit one where the face has it, else the 16-bit or symbol one.
void ChooseUnicodeMap(FT_Face face) {
    FT_CharMap found = nullptr;
    for (int i = 0; i < face->num_charmaps && found == nullptr; ++i) {
        const FT_CharMap map = face->charmaps[i];
        if (map->platform_id == 3 && map->encoding_id == 10) found = map;
    }
    for (int i = 0; i < face->num_charmaps && found == nullptr; ++i) {
        const FT_CharMap map = face->charmaps[i];
        if ((map->platform_id == 3 && (map->encoding_id == 1 || map->encoding_id == 0)) ||
            (map->platform_id == 2 && map->encoding_id == 1) || map->platform_id == 0) {
            found = map;
        }
    }
    if (found != nullptr) FT_Set_Charmap(face, found);
}

// The rendered bitmap's coverage as 0..255 per pixel, whatever depth FreeType rendered it in.
uint8_t CoverageAt(const FT_Bitmap& bitmap, uint32_t x, uint32_t y) {
    const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_MONO:
            return (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
        case FT_PIXEL_MODE_GRAY2: {
            // Only the upper bit of each pair counts, as the game has always read these.
            const uint32_t level = ((row[x / 4] << (2 * (x % 4))) & 0xA0) >> 6;
            return level != 0 ? static_cast<uint8_t>(256 * level / 3 - 1) : 0;
        }
        case FT_PIXEL_MODE_GRAY4: {
            const uint32_t level = ((row[x / 2] << (4 * (x % 2))) & 0xF0) >> 4;
            return level != 0 ? static_cast<uint8_t>(256 * level / 15 - 1) : 0;
        }
        case FT_PIXEL_MODE_BGRA:
            return row[4 * x + 3];
        default:
            return row[x];
    }
}

// One character of the face at its current size: where its cell starts, what FreeType renders
// and how far the pen moves, with the bold smear when asked for. A glyph reaching above the
// face's ascent pushes the whole cell down by that much, and one reaching left of the pen is
// placed from its own left edge: the game's texts have always been laid out so.
Glyph Rasterise(FT_Face face, bool bold, uint32_t codePoint) {
    Glyph glyph;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    const FT_Int32 load = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face, index, load) != 0) return glyph;
    const FT_GlyphSlot slot = face->glyph;
    const CellMetrics cell = CellOf(face);
    const int32_t overhang = bold ? face->size->metrics.y_ppem / 10 : 0;
    // The box the glyph is laid out by, taken before it is rendered.
    int32_t boxLeft = slot->bitmap_left, boxTop = slot->bitmap_top;
    int32_t boxWidth = static_cast<int32_t>(slot->bitmap.width), boxRows = static_cast<int32_t>(slot->bitmap.rows);
    if (boxLeft == 0 && boxTop == 0 && boxWidth == 0 && boxRows == 0) {
        const FT_Glyph_Metrics& m = slot->metrics;
        boxLeft = FloorPixels(m.horiBearingX);
        boxTop = FloorPixels(m.horiBearingY);
        boxWidth = CeilPixels(m.horiBearingX + m.width) - boxLeft;
        boxRows = CeilPixels(m.height);
    }
    boxWidth += overhang;
    glyph.advance = std::max(CeilPixels(slot->metrics.horiAdvance + static_cast<FT_Pos>(overhang) * 64), 0);
    const int32_t penAdvance = FloorPixels(slot->advance.x);

    // The cell: from the leftmost of the pen and the glyph to the rightmost of the glyph and the
    // pen's next position, and from the higher of the line's top and the glyph's to the lower of
    // the cell's bottom and the glyph's.
    const int32_t top = cell.ascent - boxTop;
    const int32_t minX = std::min(0, boxLeft);
    const int32_t maxX = std::max({0, boxLeft + boxWidth, penAdvance});
    const int32_t minY = std::min(0, top);
    const int32_t maxY = std::max(cell.height, top + boxRows);
    const int32_t cellWidth = maxX - minX, cellHeight = maxY - minY;
    if (cellWidth <= 0 || cellHeight <= 0) return glyph;

    if (FT_Load_Glyph(face, index, load | FT_LOAD_COLOR) != 0) return glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int32_t rows = bitmap.width != 0 ? static_cast<int32_t>(bitmap.rows) : 0;
    const int32_t width = static_cast<int32_t>(bitmap.width) + overhang;
    std::vector<uint8_t> image(static_cast<size_t>(width) * rows, 0);
    for (int32_t y = 0; y < rows; ++y) {
        uint8_t* row = image.data() + static_cast<size_t>(y) * width;
        for (uint32_t x = 0; x < bitmap.width; ++x) row[x] = CoverageAt(bitmap, x, static_cast<uint32_t>(y));
        for (int32_t pass = 0; pass < overhang; ++pass) {
            for (int32_t x = width - 1; x > 0; --x) row[x] = static_cast<uint8_t>(std::min(255, row[x] + row[x - 1]));
        }
    }

    // The rendered image placed in the cell, and whatever falls outside the cell cut off.
    std::vector<uint8_t> pixels(static_cast<size_t>(cellWidth) * cellHeight, 0);
    const int32_t imageX = -minX + slot->bitmap_left;
    const int32_t imageY = -minY + cell.ascent - slot->bitmap_top;
    for (int32_t y = std::max(0, -imageY); y < rows && imageY + y < cellHeight; ++y) {
        for (int32_t x = std::max(0, -imageX); x < width && imageX + x < cellWidth; ++x) {
            pixels[static_cast<size_t>(imageY + y) * cellWidth + imageX + x] = image[static_cast<size_t>(y) * width + x];
        }
    }
    KeepCoveredPart(glyph, cellWidth, cellHeight, -minX,
                    [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * cellWidth + x]; });
    return glyph;
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
    FT_Library freetype = nullptr;
    // The host sits below the platform's text services, so it converts with iconv itself.
    iconv_t fromGbk = reinterpret_cast<iconv_t>(-1);
    std::map<std::tuple<Text, int32_t, int32_t>, OpenFace> faces;
    // Every font file opened, by path and face index; a file that would not open stays null.
    std::map<std::pair<std::string, int>, FontFile> files;
    // Faces that stand in for characters a face lacks, by file, index, size and boldness.
    std::map<std::tuple<std::string, int, int32_t, bool>, SizedFont> standIns;

    ~FontBackend() {
        for (auto& [key, file] : files) {
            if (file.face != nullptr) FT_Done_Face(file.face);
        }
        if (freetype != nullptr) FT_Done_FreeType(freetype);
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

    // The font file at this path and face index, opened on first use; null when FreeType cannot
    // open it or set it to the size.
    FontFile* File(const char* path, int index, int32_t pixelSize) {
        const auto key = std::make_pair(std::string(path), index);
        auto known = files.find(key);
        if (known == files.end()) {
            known = files.emplace(key, FontFile()).first;
            FontFile& opened = known->second;
            opened.face = OpenStreamedFace(freetype, opened, path, index);
            if (opened.face != nullptr) {
                ChooseUnicodeMap(opened.face);
                if (!SetPixelSize(opened, pixelSize)) {
                    FT_Done_Face(opened.face);
                    opened.face = nullptr;
                }
            }
        }
        return known->second.face != nullptr ? &known->second : nullptr;
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
        font.bold = embolden || wantsBold;
        return font;
    }

    // Opens the first of fontconfig's candidates for the pattern that FreeType can open. Its best
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
        FT_Face face = Use(sized);
        for (int attempt = 0; attempt < 4 && CellOf(face).height > cellHeight && sized.size > 1; ++attempt) {
            const int32_t height = std::max(CellOf(face).height, 1);
            const int32_t next = std::max(1, std::min(sized.size - 1, sized.size * cellHeight / height));
            if (!SetPixelSize(*sized.file, next)) break;
            sized.size = next;
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
        if (freetype == nullptr || config == nullptr) return nullptr;
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
        face.lineHeight = std::max(CellOf(Use(face.sized)).height, 1);
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
                font.bold = bold;
                if (font.file != nullptr) font = FitCellHeight(font, size);
                standIns.emplace(key, font);
            }
        }
        FcPatternDestroy(match);
        return font;
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
            if (FT_Get_Char_Index(font.file->face, codePoint) == 0) {
                font = StandInFor(codePoint, NormalSize(wanted.pixelSize), wanted.weight);
            }
            if (font.file != nullptr) {
                FT_Face face = Use(font);
                glyph = Rasterise(face, font.bold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0, codePoint);
            }
        }
        return face.glyphs.emplace(gbkCode, std::move(glyph)).first->second;
    }
};

FontService::FontService() : backend_(std::make_unique<FontBackend>()) {
    backend_->config = ReadAhead().Take();
    if (FT_Init_FreeType(&backend_->freetype) != 0) backend_->freetype = nullptr;
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
