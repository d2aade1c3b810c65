// What both systems' file layers share: a GBK path in the form the system's calls take.
#include "base/system/files.h"

#include "base/system/codepage.h"

namespace kelvora {

std::optional<std::string> SystemPath(const Text& path) {
    if (path.empty()) return std::nullopt;
    Conversion utf8 = GbkToUtf8(path);
    if (!utf8.ok || utf8.text.find('\0') != std::string::npos) return std::nullopt;
    return std::move(utf8.text);
}

}  // namespace kelvora
