// Conversion between the game's GBK texts and UTF-8, used only at the edges of the program.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvora {

struct Conversion {
    bool ok = false;
    std::string text;       // the converted text when ok
    size_t errorOffset = 0; // byte offset in the input of the first character that has no form
};

// Fails on bytes that are not valid GBK.
Conversion GbkToUtf8(std::string_view gbk);
// Fails on invalid UTF-8 and on characters that GBK cannot write (emoji, most rare scripts).
Conversion Utf8ToGbk(std::string_view utf8);

}  // namespace kelvora
