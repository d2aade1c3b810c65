// What the tests must know of the system they run on, so that one test states one rule for
// every platform: who may write read-only files, how the fatal exit code reads, how a UTF-8
// file name reaches the standard library.
#pragma once

#include <filesystem>
#include <string>

namespace kelvora::testing {

// True when the tests run with the rights to write files their modes forbid (root on POSIX).
bool RunsAsSuperuser();

// The exit status a death test sees when the program ends with exit code -1.
int FatalExitCode();

// A UTF-8 file name as the standard library's path, whatever the system's narrow encoding.
inline std::filesystem::path Utf8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace kelvora::testing
