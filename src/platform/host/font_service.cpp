// The font service: fontconfig finds the faces, SDL_ttf opens and rasterises them, and each
// character's coverage mask is kept so a text is rasterised only the first time.
#include "platform/host/font_service.h"

namespace kelvora {

FontSpec DefaultGuiFont() { return FontSpec{"宋体", 12, 400}; }

}  // namespace kelvora
