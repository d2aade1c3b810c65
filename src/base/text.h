// Text operations on GBK byte strings: lengths and 1-based positions count bytes, and a
// double-byte character is never split by the splitter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

// A text of the game: GBK bytes. UTF-8 exists only at the edges (glyphs, file names, typing).
using Text = std::string;
// A text in UTF-8, as the system speaks it at those edges: typed text, the clipboard, the system's
// paths. Said by name wherever the two meet, so that neither is taken for the other.
using Utf8Text = std::string;
using ByteArray = std::vector<uint8_t>;

// True for a byte that starts a GBK double-byte character.
constexpr bool IsGbkLeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }
// True for a byte that may end a GBK double-byte character.
constexpr bool IsGbkTrailByte(uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

int32_t TextLength(std::string_view t);
Text LeftText(std::string_view t, int32_t n);
Text MidText(std::string_view t, int32_t start, int32_t n);
Text ReplaceText(std::string_view t, int32_t start, int32_t n,
                 std::optional<std::string_view> replacement = std::nullopt);
// maxCount <= 0 means no limit.
std::vector<Text> SplitText(std::string_view t, std::string_view delimiter, int32_t maxCount);
Text RepeatText(int32_t count, std::string_view t);
Text ToText(int32_t value);
Text ToText(double value);
double ToNumber(std::string_view t);
ByteArray TextToBytes(std::string_view t);
Text BytesToText(const ByteArray& bytes);
Text BytesToText(const uint8_t* data, size_t size);

}  // namespace kelvora
