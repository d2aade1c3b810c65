// Reading and checking skins.
#include "skin/skin_format.h"

#include <array>
#include <cstdlib>

namespace kelvora::skin {
namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

bool ParseSkin(const uint8_t* data, size_t size, SkinSettings& settings) {
    settings = {};
    if (data == nullptr || size < kSkinMagic.size() || size > (1u << 20)) return false;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (text.substr(0, kSkinMagic.size()) != kSkinMagic) return false;

    // The checksum line is the last line; it covers every byte before it.
    std::string_view body = text;
    if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
    const size_t lastBreak = body.rfind('\n');
    if (lastBreak == std::string_view::npos) return false;
    const std::string_view checksumLine = body.substr(lastBreak + 1);
    if (checksumLine.size() != kChecksumKey.size() + 8 || checksumLine.substr(0, kChecksumKey.size()) != kChecksumKey)
        return false;
    const std::string_view digits = checksumLine.substr(kChecksumKey.size());
    for (char c : digits) {
        if (!IsHex(c)) return false;
    }
    const uint32_t stated = static_cast<uint32_t>(std::strtoul(std::string(digits).c_str(), nullptr, 16));
    if (stated != Crc32(data, lastBreak + 1)) return false;

    // First line: ".SHE <version>".
    const std::string_view content = text.substr(0, lastBreak);
    const size_t firstBreak = content.find('\n');
    const std::string_view header = content.substr(0, firstBreak);
    if (header.size() < kSkinMagic.size() + 2 || header[kSkinMagic.size()] != ' ') return false;
    const std::string version(header.substr(kSkinMagic.size() + 1));
    char* end = nullptr;
    const long parsed = std::strtol(version.c_str(), &end, 10);
    if (end == version.c_str() || *end != '\0' || parsed != 1) return false;
    settings.version = static_cast<int>(parsed);

    size_t at = firstBreak == std::string_view::npos ? content.size() : firstBreak + 1;
    while (at < content.size()) {
        size_t next = content.find('\n', at);
        if (next == std::string_view::npos) next = content.size();
        std::string_view line = content.substr(at, next - at);
        at = next + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) return false;
        settings.values.emplace_back(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
    }
    return true;
}

}  // namespace kelvora::skin
