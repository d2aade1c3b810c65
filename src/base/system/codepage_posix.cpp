// GBK <-> UTF-8 through glibc's iconv.
#include "base/system/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace kelvora {
namespace {

Conversion Convert(const char* to, const char* from, std::string_view input) {
    Conversion result;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return result;
    std::string out;
    out.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    size_t written = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        size_t outLeft = out.size() - written;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        written = out.size() - outLeft;
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false;  // EILSEQ (no form in the target) or EINVAL (cut-off character at the end)
        break;
    }
    if (ok) {
        // Let a stateful converter write its closing sequence.
        char* outPtr = out.data() + written;
        size_t outLeft = out.size() - written;
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        written = out.size() - outLeft;
    }
    iconv_close(cd);
    result.errorOffset = input.size() - inLeft;
    if (ok) {
        out.resize(written);
        result.ok = true;
        result.text = std::move(out);
    }
    return result;
}

}  // namespace

Conversion GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", "GBK", gbk); }
Conversion Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8); }

}  // namespace kelvora
