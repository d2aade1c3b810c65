// Windows only: the game's texts to and from the UTF-16 the system's wide calls take. Code page 936
// is always named: the process's ANSI code page follows the player's locale and must never decide
// what the game's texts mean.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {

enum class CodePage : unsigned { Gbk = 936, Utf8 = 65001 };

// The UTF-16 form of a text. Strictly, bytes that are no character of the code page make it empty;
// otherwise they become the system's replacement character, so that a text is still shown.
std::wstring WideOf(CodePage from, std::string_view text, bool strict);
// The text in the code page; nullopt when a character has no GBK form (where the system would put
// a question mark), or, strictly, for a lone UTF-16 half on its way to UTF-8.
std::optional<std::string> NarrowOf(CodePage to, std::wstring_view wide, bool strict);

}  // namespace kelvora
