// The attributes in the user.DOSATTRIB extended attribute, where Wine and Samba keep them.
#include "base/system/file_attributes.h"

#include <sys/types.h>
#include <sys/xattr.h>

namespace kelvora {
namespace {

constexpr const char* kAttributeName = "user.DOSATTRIB";

}  // namespace

std::optional<std::string> ReadAttributeText(const std::string& systemPath) {
    char value[256];
    const ssize_t n = ::getxattr(systemPath.c_str(), kAttributeName, value, sizeof value);
    if (n <= 0) return std::nullopt;
    return std::string(value, static_cast<size_t>(n));
}

bool WriteAttributeText(const std::string& systemPath, const std::string& value) {
    return ::setxattr(systemPath.c_str(), kAttributeName, value.data(), value.size(), 0) == 0;
}

void CopyAttributeText(const std::string& systemPath, int fd) {
    if (const auto value = ReadAttributeText(systemPath)) {
        ::fsetxattr(fd, kAttributeName, value->data(), value->size(), 0);
    }
}

}  // namespace kelvora
