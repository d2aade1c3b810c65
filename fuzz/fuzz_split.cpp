// Fuzzes the text splitter: any bytes, any delimiter, any count.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // First byte: the count; second: the delimiter's length; then the delimiter and the text.
    const int32_t maxCount = static_cast<int8_t>(data[0]);
    const size_t delimiterLength = data[1] % 4;
    if (size < 2 + delimiterLength) return 0;
    const std::string_view delimiter(reinterpret_cast<const char*>(data + 2), delimiterLength);
    const std::string_view text(reinterpret_cast<const char*>(data + 2 + delimiterLength), size - 2 - delimiterLength);
    const auto parts = kelvora::SplitText(text, delimiter, maxCount);
    size_t total = 0;
    for (const auto& part : parts) total += part.size();
    if (total > text.size()) std::abort();
    if (maxCount > 0 && parts.size() > static_cast<size_t>(maxCount)) std::abort();
    kelvora::SplitText(text, "\r\n", 10);
    return 0;
}
