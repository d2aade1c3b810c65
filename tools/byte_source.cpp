// Writing C++ source that holds binary data as constant byte arrays.
#include "byte_source.h"

namespace kelvora::tools {

void WriteByteArray(std::FILE* out, const char* arrayName, const uint8_t* bytes, size_t size) {
    // A string literal of hex escapes compiles many times faster than a list of numbers. Escapes
    // keep their values whatever execution character set the compiler is told to use, and every
    // escape is followed by a backslash or a quote, so no escape swallows the next character.
    static constexpr char kHex[] = "0123456789abcdef";
    constexpr size_t kBytesPerLine = 40;
    std::fprintf(out, "alignas(16) const uint8_t %s[%zu] =", arrayName, size + 1);
    if (size == 0) std::fputs(" \"\"", out);
    char line[8 + kBytesPerLine * 4];
    for (size_t start = 0; start < size; start += kBytesPerLine) {
        size_t n = 0;
        line[n++] = '\n';
        for (int i = 0; i < 4; ++i) line[n++] = ' ';
        line[n++] = '"';
        for (size_t i = start; i < size && i < start + kBytesPerLine; ++i) {
            line[n++] = '\\';
            line[n++] = 'x';
            line[n++] = kHex[bytes[i] >> 4];
            line[n++] = kHex[bytes[i] & 15];
        }
        line[n++] = '"';
        std::fwrite(line, 1, n, out);
    }
    std::fputs(";\n", out);
}

OutputFile::OutputFile(const char* path) : path_(path), file_(std::fopen(path, "wb")) {}

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Close() {
    if (file_ == nullptr) {
        if (path_ != nullptr) std::fprintf(stderr, "cannot write %s\n", path_);
        path_ = nullptr;
        return false;
    }
    const bool ok = std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok || !closed) {
        std::fprintf(stderr, "cannot write %s\n", path_);
        std::remove(path_);
    }
    path_ = nullptr;
    return ok && closed;
}

bool WriteBinaryFile(const char* path, const uint8_t* bytes, size_t size) {
    OutputFile file(path);
    if (file.Stream() != nullptr) std::fwrite(bytes, 1, size, file.Stream());
    return file.Close();
}

}  // namespace kelvora::tools
