// What a font backend gives the shared font service: the faces the layouts name, opened once at
// each size and weight, and each character's glyph rasterised once. One backend is built into
// each program: fontconfig with FreeType on POSIX systems, GDI on Windows.
#pragma once

#include <cstdint>

#include "platform/host/font_service.h"
#include "platform/host/glyph_drawing.h"

namespace kelvora {

struct OpenFace;  // a face the backend has opened, at one size and weight; the backend owns it

// The face for the font, opened at first use, or another face standing in for it; null only when
// no font at all can be had.
OpenFace* FindFace(FontBackend& fonts, const FontSpec& font);
// The step between lines, which is also the height of "W".
int32_t LineHeightOf(const OpenFace& face);
// The glyph of one character (a GBK code: lead * 256 + trail, or a single byte), rasterised at
// first use; a character the face cannot show has an empty glyph.
const Glyph& GlyphOf(FontBackend& fonts, OpenFace& face, const FontSpec& font, uint32_t gbkCode);

}  // namespace kelvora
