// The browser's virtual file system keeps no extended attributes (Emscripten declares the calls
// but has none of them): every file reads as having none, and setting them fails, as on any file
// system without them. The game then treats every file as an ordinary one.
#include "base/system/file_attributes.h"

namespace kelvora {

std::optional<std::string> ReadAttributeText(const std::string&) { return std::nullopt; }

bool WriteAttributeText(const std::string&, const std::string&) { return false; }

void CopyAttributeText(const std::string&, int) {}

}  // namespace kelvora
