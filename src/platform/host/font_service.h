// The font service: measures and draws GBK lines of the layouts' faces into 32-bit pixel buffers.
// Each system brings its own backend (fontconfig and FreeType, or GDI); this front end is shared.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "base/font_face.h"
#include "base/text.h"

namespace kelvora {

struct FontBackend;  // the system's own: faces found by name, glyphs rasterised once

// Starts reading the system's font configuration (fontconfig's files and caches, several
// milliseconds) on a second thread, so that it overlaps the display's own start. The next
// FontService made takes the result over instead of reading it again.
void StartReadingFontConfiguration();

// One instance serves every window and panel of the program (pass it by reference). It is not
// thread-safe: all text is drawn on the user-interface thread. Each face and size is opened once
// and each character rasterised once; a missing face falls back to whatever fontconfig offers, and
// with no font at all every text measures 0 and draws nothing.
class FontService {
public:
    FontService();
    ~FontService();
    FontService(const FontService&) = delete;
    FontService& operator=(const FontService&) = delete;

    // False when no font could be opened at all.
    bool HasFonts();

    // Height of one line of text in this font: the step between lines and the height of "W".
    int32_t LineHeight(const FontSpec& font);
    // Width in pixels of one GBK line (line breaks are not interpreted here).
    int32_t TextWidth(const FontSpec& font, std::string_view gbkLine);
    // Draws one GBK line with its top-left corner at (x, y), clipped to the target. Antialiased:
    // each glyph's coverage is blended over the destination, so fully covered pixels take exactly
    // `colour` (0x00BBGGRR). Characters without a GBK or glyph form are left out; the rest is
    // drawn. Returns the width advanced.
    int32_t DrawTextLine(const FontSpec& font, std::string_view gbkLine, const PixelTarget& target,
                         int32_t x, int32_t y, uint32_t colour);

private:
    std::unique_ptr<FontBackend> backend_;
};

}  // namespace kelvora
