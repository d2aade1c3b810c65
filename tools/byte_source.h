// Writing C++ source that holds binary data as constant byte arrays, for the build's embed steps.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kelvora::tools {

// Appends the definition of a constant array holding bytes, as an internal object named
// arrayName. The array is one byte longer than the data (a string literal carries its NUL), so
// code must take its length from the data, never from sizeof.
void AppendByteArray(std::string& source, std::string_view arrayName, std::span<const uint8_t> bytes);

// Writes text to path; false (with a message on stderr) when the file cannot be written in full.
bool WriteTextFile(const std::string& path, std::string_view text);
bool WriteBinaryFile(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace kelvora::tools
