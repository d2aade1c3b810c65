// A fresh folder for a test's files, removed when the test ends.
#pragma once

#include <string>

namespace kelvora::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path (UTF-8 on the system; ASCII, so the same bytes in GBK).
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// True when the game's file layer keeps attributes for files under path (the file system there
// keeps user extended attributes, and the build reads them).
bool SupportsExtendedAttributes(const std::string& path);

}  // namespace kelvora::testing
