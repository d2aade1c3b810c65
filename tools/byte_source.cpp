// Writing C++ source that holds binary data as constant byte arrays.
#include "byte_source.h"

#include <cstdio>

namespace kelvora::tools {

namespace {

constexpr size_t kBytesPerLine = 40;

}  // namespace

void AppendByteArray(std::string& source, std::string_view arrayName, std::span<const uint8_t> bytes) {
    // A string literal of hex escapes compiles many times faster than a list of numbers. Escapes
    // keep their values whatever execution character set the compiler is told to use, and every
    // escape is followed by a backslash or a quote, so no escape swallows the next character.
    static constexpr char kHex[] = "0123456789abcdef";
    source += "alignas(16) const uint8_t ";
    source += arrayName;
    source += "[";
    source += std::to_string(bytes.size() + 1);
    source += "] =";
    if (bytes.empty()) source += " \"\"";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerLine == 0) source += "\n    \"";
        source += "\\x";
        source += kHex[bytes[i] >> 4];
        source += kHex[bytes[i] & 15];
        if (i % kBytesPerLine == kBytesPerLine - 1 || i + 1 == bytes.size()) source += '"';
    }
    source += ";\n";
}

bool WriteBinaryFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot open %s for writing\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool WriteTextFile(const std::string& path, std::string_view text) {
    return WriteBinaryFile(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

}  // namespace kelvora::tools
