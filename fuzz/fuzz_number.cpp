// Fuzzes number parsing and the text operations that take positions.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = kelvora::ToNumber(text);
    kelvora::ToText(value);
    if (size >= 8) {
        int32_t start = 0;
        int32_t count = 0;
        std::memcpy(&start, data, 4);
        std::memcpy(&count, data + 4, 4);
        const std::string_view rest = text.substr(8);
        if (kelvora::MidText(rest, start, count).size() > rest.size()) std::abort();
        if (kelvora::LeftText(rest, count).size() > rest.size()) std::abort();
        kelvora::ReplaceText(rest, start, count, rest.substr(0, 3));
        kelvora::RepeatText(count % 64, rest.substr(0, 16));
    }
    kelvora::BytesToText(data, size);
    return 0;
}
