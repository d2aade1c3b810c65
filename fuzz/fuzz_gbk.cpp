// Fuzzes the GBK <-> UTF-8 converter in both directions; a GBK text that converts must come back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/system/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kelvora::Conversion utf8 = kelvora::GbkToUtf8(bytes);
    if (utf8.ok) {
        const kelvora::Conversion back = kelvora::Utf8ToGbk(utf8.text);
        if (!back.ok) std::abort();
    } else if (utf8.errorOffset > size) {
        std::abort();
    }
    const kelvora::Conversion gbk = kelvora::Utf8ToGbk(bytes);
    if (!gbk.ok && gbk.errorOffset > size) std::abort();
    return 0;
}
