// The instructions that scroll in the main window: GBK bytes, nine lines with an empty line
// between each two, every line indented by two spaces, no line break at the end.
#pragma once

#include <string_view>

namespace kelvora {

extern const std::string_view kInstructionsText;

}  // namespace kelvora
