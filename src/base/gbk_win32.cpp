// GBK <-> UTF-8 through code page 936, named explicitly: the process's ANSI code page follows the
// player's locale and must never decide what the game's texts mean.
#include "base/gbk.h"

#include <windows.h>

#include <algorithm>

namespace kelvora {
namespace {

constexpr UINT kGbkCodePage = 936;

// UTF-16 of the input; false on bytes that are no character of the code page.
bool Widen(UINT codePage, std::string_view input, std::wstring& wide) {
    wide.clear();
    if (input.empty()) return true;
    const int length = static_cast<int>(input.size());
    const int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    wide.resize(static_cast<size_t>(needed));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(), length, wide.data(), needed) == needed;
}

// The bytes of the UTF-16 text in the code page; false when a character has no form there (for
// GBK the system would otherwise put a question mark in its place).
bool Narrow(UINT codePage, const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    const int length = static_cast<int>(wide.size());
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault) return false;
    out.resize(static_cast<size_t>(needed));
    return WideCharToMultiByte(codePage, flags, wide.data(), length, out.data(), needed, nullptr, usedDefaultOut) ==
               needed &&
           !usedDefault;
}

bool ConvertsWhole(UINT from, UINT to, std::string_view input, std::string& out) {
    std::wstring wide;
    return Widen(from, input, wide) && Narrow(to, wide, out);
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

Conversion GbkToUtf8(std::string_view gbk) { return Convert(kGbkCodePage, CP_UTF8, gbk); }
Conversion Utf8ToGbk(std::string_view utf8) { return Convert(CP_UTF8, kGbkCodePage, utf8); }

}  // namespace kelvora
