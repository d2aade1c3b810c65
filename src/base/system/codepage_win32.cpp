// GBK, UTF-8 and the system's UTF-16, through code page 936 named explicitly: the process's ANSI
// code page follows the player's locale and must never decide what the game's texts mean.
#include "base/system/codepage.h"
#include "base/system/codepage_win32.h"

#include <windows.h>

#include <algorithm>

namespace kelvora {
namespace {

constexpr UINT kGbkCodePage = 936;

bool ConvertsWhole(UINT from, UINT to, std::string_view input, std::string& out) {
    out.clear();
    if (input.empty()) return true;
    const std::wstring wide = WideOf(static_cast<CodePage>(from), input, true);
    if (wide.empty()) return false;
    std::optional<std::string> narrow = NarrowOf(static_cast<CodePage>(to), wide, true);
    if (!narrow) return false;
    out = std::move(*narrow);
    return true;
}

// Byte length of the character that starts at `at`, as the source encoding counts characters.
size_t CharacterLength(UINT from, std::string_view input, size_t at) {
    const auto lead = static_cast<unsigned char>(input[at]);
    size_t length = 1;
    if (from == kGbkCodePage) {
        length = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
    } else if (lead >= 0xF0) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = 3;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return std::min(length, input.size() - at);
}

Conversion Convert(UINT from, UINT to, std::string_view input) {
    Conversion result;
    if (ConvertsWhole(from, to, input, result.text)) {
        result.ok = true;
        return result;
    }
    result.text.clear();
    // Find the first character that does not convert, for the caller's report.
    std::string ignored;
    size_t at = 0;
    while (at < input.size()) {
        const size_t length = CharacterLength(from, input, at);
        if (!ConvertsWhole(from, to, input.substr(at, length), ignored)) break;
        at += length;
    }
    result.errorOffset = at;
    return result;
}

}  // namespace

std::wstring WideOf(CodePage from, std::string_view text, bool strict) {
    if (text.empty()) return {};
    const UINT codePage = static_cast<UINT>(from);
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed) != needed) return {};
    return wide;
}

std::optional<std::string> NarrowOf(CodePage to, std::wstring_view wide, bool strict) {
    if (wide.empty()) return std::string();
    const UINT codePage = static_cast<UINT>(to);
    const bool utf8 = to == CodePage::Utf8;
    const DWORD flags = utf8 ? (strict ? WC_ERR_INVALID_CHARS : 0) : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), length, out.data(), needed, nullptr, usedDefaultOut) != needed ||
        usedDefault) {
        return std::nullopt;
    }
    return out;
}

Conversion GbkToUtf8(std::string_view gbk) { return Convert(kGbkCodePage, CP_UTF8, gbk); }
Conversion Utf8ToGbk(std::string_view utf8) { return Convert(CP_UTF8, kGbkCodePage, utf8); }

}  // namespace kelvora
