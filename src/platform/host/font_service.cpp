// The font service's front end: every line is measured and drawn character by character from the
// backend's glyphs, the same way on every system.
#include "platform/host/font_backend.h"

namespace kelvora {

bool FontService::HasFonts() { return FindFace(*backend_, DefaultGuiFont()) != nullptr; }

int32_t FontService::LineHeight(const FontSpec& font) {
    OpenFace* face = FindFace(*backend_, font);
    return face != nullptr ? LineHeightOf(*face) : 0;
}

int32_t FontService::TextWidth(const FontSpec& font, std::string_view gbkLine) {
    OpenFace* face = FindFace(*backend_, font);
    if (face == nullptr) return 0;
    return GbkLineWidth(gbkLine, [&](uint32_t code) -> const Glyph& { return GlyphOf(*backend_, *face, font, code); });
}

int32_t FontService::DrawTextLine(const FontSpec& font, std::string_view gbkLine, const PixelTarget& target,
                                  int32_t x, int32_t y, uint32_t colour) {
    OpenFace* face = FindFace(*backend_, font);
    if (face == nullptr) return 0;
    return DrawGbkLine(target, gbkLine, x, y, colour,
                       [&](uint32_t code) -> const Glyph& { return GlyphOf(*backend_, *face, font, code); });
}

}  // namespace kelvora
