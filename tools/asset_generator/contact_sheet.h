// A magnified sheet of all ball sprites on both cell backgrounds, for people to look at.
#pragma once

#include "file_images.h"

namespace kelvora::tools {

// sprites in storage order (8 per group). Rows are groups, columns colour codes; every sprite
// appears twice side by side, over the dark grey cell and over the black cell.
Image ContactSheet(const Buffer<Image>& sprites, int32_t magnification);

}  // namespace kelvora::tools
