// Bitmap decoding, the numbered picture store and drawing pictures on panels.
#include "platform/picture.h"

namespace kelvora {
}  // namespace kelvora
