// The skin format read by the skin library: a text header ".SHE", a format version, lines of
// "key=value" settings for the window frame, and a checksum line over everything before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvora::skin {

constexpr std::string_view kSkinMagic = ".SHE";
constexpr std::string_view kChecksumKey = "checksum=";

// The standard CRC-32 (as in zip files) of the bytes.
uint32_t Crc32(const uint8_t* data, size_t size);

struct SkinSettings {
    int version = 0;
    std::vector<std::pair<std::string, std::string>> values;  // in file order
};

// Checks a skin: magic and version on the first line, well-formed settings, and a last line
// "checksum=XXXXXXXX" holding the CRC-32 of all bytes before that line. False for anything else.
// Each setting is handed to `onSetting` (when given) in file order, after the whole skin has been
// checked. Uses nothing of the C++ runtime, so that the skin library can be built without it.
using SettingVisitor = void (*)(void* context, std::string_view key, std::string_view value);
bool CheckSkin(const uint8_t* data, size_t size, SettingVisitor onSetting = nullptr, void* context = nullptr);

// CheckSkin, keeping the version and the settings.
bool ParseSkin(const uint8_t* data, size_t size, SkinSettings& settings);

}  // namespace kelvora::skin
