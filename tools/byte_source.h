// Writing C++ source that holds binary data as constant byte arrays, for the build's embed steps.
// Plain stdio on purpose: these tools are compiled in every clean build, and the standard
// string and container headers would cost more to compile than the tools cost to run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kelvora::tools {

// Writes the definition of a constant array holding the bytes, as an object named arrayName.
// The array is one byte longer than the data (a string literal carries its NUL), so code must
// take its length from the data, never from sizeof.
void WriteByteArray(std::FILE* out, const char* arrayName, const uint8_t* bytes, size_t size);

// An output file that reports, once closed, whether everything reached the disk. A file that
// failed is removed, so a half-written source never looks up to date to the build.
class OutputFile {
public:
    explicit OutputFile(const char* path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::FILE* Stream() const { return file_; }
    // Closes the file; false (with a message on stderr) when it could not be written in full.
    bool Close();

private:
    const char* path_;
    std::FILE* file_;
};

bool WriteBinaryFile(const char* path, const uint8_t* bytes, size_t size);

}  // namespace kelvora::tools
