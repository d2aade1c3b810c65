// Reading and checking skins. Written with views and plain loops only (no allocation, nothing that
// throws), because the skin library is built from it without the C++ runtime.
#include "skin/skin_format.h"

#include <algorithm>
#include <array>

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

// The value of a hex digit, -1 for any other character.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The part of `text` from `from` on, at most `count` characters; empty past the end. The checked
// substr of the standard library would throw.
std::string_view Slice(std::string_view text, size_t from, size_t count = std::string_view::npos) {
    if (from >= text.size()) return std::string_view();
    return std::string_view(text.data() + from, std::min(count, text.size() - from));
}

// Calls `visit(key, value)` for each settings line (comments and empty lines skipped); false when one
// is not "key=value".
template <typename Visit>
bool ForEachSettingLine(std::string_view content, Visit visit) {
    while (!content.empty()) {
        size_t next = content.find('\n');
        if (next == std::string_view::npos) next = content.size();
        std::string_view line = Slice(content, 0, next);
        content = Slice(content, next + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) return false;
        visit(Slice(line, 0, equals), Slice(line, equals + 1));
    }
    return true;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

bool CheckSkin(const uint8_t* data, size_t size, SettingVisitor onSetting, void* context) {
    if (data == nullptr || size < kSkinMagic.size() || size > (1u << 20)) return false;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!text.starts_with(kSkinMagic)) return false;

    // The checksum line is the last line; it covers every byte before it.
    std::string_view body = text;
    if (body.back() == '\n') body.remove_suffix(1);
    const size_t lastBreak = body.rfind('\n');
    if (lastBreak == std::string_view::npos) return false;
    const std::string_view checksumLine = Slice(body, lastBreak + 1);
    if (checksumLine.size() != kChecksumKey.size() + 8 || !checksumLine.starts_with(kChecksumKey)) return false;
    uint32_t stated = 0;
    for (char c : Slice(checksumLine, kChecksumKey.size())) {
        const int digit = HexValue(c);
        if (digit < 0) return false;
        stated = (stated << 4) | static_cast<uint32_t>(digit);
    }
    if (stated != Crc32(data, lastBreak + 1)) return false;

    // First line: ".SHE 1", the only version there is.
    const std::string_view content = Slice(text, 0, lastBreak);
    const size_t firstBreak = content.find('\n');
    std::string_view header = Slice(content, 0, firstBreak);
    if (header.size() < kSkinMagic.size() + 2 || header[kSkinMagic.size()] != ' ') return false;
    std::string_view version = Slice(header, kSkinMagic.size() + 1);
    // Read as a number is read: blanks and a plus sign before it and leading zeros are allowed.
    while (!version.empty() && (version.front() == ' ' || version.front() == '\t')) version.remove_prefix(1);
    if (version.starts_with('+')) version.remove_prefix(1);
    while (version.size() > 1 && version.front() == '0') version.remove_prefix(1);
    if (version != "1") return false;

    const std::string_view settings = firstBreak == std::string_view::npos ? std::string_view() : Slice(content, firstBreak + 1);
    if (!ForEachSettingLine(settings, [](std::string_view, std::string_view) {})) return false;
    if (onSetting != nullptr) {
        ForEachSettingLine(settings, [&](std::string_view key, std::string_view value) { onSetting(context, key, value); });
    }
    return true;
}

bool ParseSkin(const uint8_t* data, size_t size, SkinSettings& settings) {
    settings = {};
    const bool valid = CheckSkin(
        data, size,
        [](void* context, std::string_view key, std::string_view value) {
            static_cast<SkinSettings*>(context)->values.emplace_back(std::string(key), std::string(value));
        },
        &settings);
    if (!valid) {
        settings = {};
        return false;
    }
    settings.version = 1;
    return true;
}

}  // namespace kelvora::skin
