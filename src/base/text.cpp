// Text operations on GBK byte strings.
#include "base/text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelvora {
namespace {

// Reads a decimal number already known to be well formed; false when it is out of a double's
// range. The C++ runtime of the browser build (LLVM 14's) has no floating-point from_chars, so
// there the C library reads it; its strtod knows only the "C" locale, as from_chars does.
bool ParseDecimal(const char* first, const char* last, double& value) {
#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 170000
    const std::string number(first, last);
    errno = 0;
    value = std::strtod(number.c_str(), nullptr);
    return errno != ERANGE || (value != 0.0 && !std::isinf(value));
#else
    return std::from_chars(first, last, value, std::chars_format::general).ec != std::errc::result_out_of_range;
#endif
}

}  // namespace

int32_t TextLength(std::string_view t) { return static_cast<int32_t>(t.size()); }

Text LeftText(std::string_view t, int32_t n) {
    if (n <= 0) return {};
    return Text(t.substr(0, static_cast<size_t>(n)));
}

Text MidText(std::string_view t, int32_t start, int32_t n) {
    if (n <= 0 || start < 1 || static_cast<size_t>(start) > t.size()) return {};
    return Text(t.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(n)));
}

Text ReplaceText(std::string_view t, int32_t start, int32_t n, std::optional<std::string_view> replacement) {
    size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (from > t.size()) from = t.size();
    size_t count = n < 0 ? 0 : static_cast<size_t>(n);
    if (count > t.size() - from) count = t.size() - from;
    Text result(t.substr(0, from));
    if (replacement) result.append(*replacement);
    result.append(t.substr(from + count));
    return result;
}

std::vector<Text> SplitText(std::string_view t, std::string_view delimiter, int32_t maxCount) {
    std::vector<Text> parts;
    if (t.empty()) return parts;
    const size_t limit = maxCount <= 0 ? SIZE_MAX : static_cast<size_t>(maxCount);
    if (delimiter.empty()) {
        parts.emplace_back(t);
        return parts;
    }
    size_t pieceStart = 0;
    size_t i = 0;
    while (i < t.size()) {
        if (t.compare(i, delimiter.size(), delimiter) == 0) {
            parts.emplace_back(t.substr(pieceStart, i - pieceStart));
            if (parts.size() >= limit) return parts;
            i += delimiter.size();
            pieceStart = i;
            continue;
        }
        // A double-byte character is one unit, so a delimiter is never found across its two bytes.
        const bool pair = IsGbkLeadByte(static_cast<uint8_t>(t[i])) && i + 1 < t.size();
        i += pair ? 2 : 1;
    }
    if (pieceStart < t.size()) parts.emplace_back(t.substr(pieceStart));
    return parts;
}

Text RepeatText(int32_t count, std::string_view t) {
    Text result;
    if (count <= 0 || t.empty()) return result;
    result.reserve(t.size() * static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) result.append(t);
    return result;
}

Text ToText(int32_t value) { return std::to_string(value); }

Text ToText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

namespace {

// Full-width forms in GBK (row 0xA3 for ASCII signs and digits, 0xA1A1 for the ideographic
// space) become their single-byte forms, so that a number typed in full width reads the same.
Text NarrowFullWidth(std::string_view t) {
    Text out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size();) {
        const auto lead = static_cast<uint8_t>(t[i]);
        if (IsGbkLeadByte(lead) && i + 1 < t.size()) {
            const auto trail = static_cast<uint8_t>(t[i + 1]);
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
                out.push_back(static_cast<char>(trail - 0x80));
            } else if (lead == 0xA1 && trail == 0xA1) {
                out.push_back(' ');
            } else {
                out.append(t.substr(i, 2));
            }
            i += 2;
        } else {
            out.push_back(t[i]);
            ++i;
        }
    }
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double ToNumber(std::string_view input) {
    const Text t = NarrowFullWidth(input);
    size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    const size_t numberStart = i;
    size_t digits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        size_t j = i + 1;
        size_t fraction = 0;
        while (j < t.size() && IsDigit(t[j])) ++j, ++fraction;
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) return 0.0;
    // An exponent counts only when digits follow it; "12e" is the number 12.
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && IsDigit(t[j])) {
            while (j < t.size() && IsDigit(t[j])) ++j;
            i = j;
        }
    }
    const char* first = t.data() + numberStart;
    const char* last = t.data() + i;
    double value = 0.0;
    if (!ParseDecimal(first, last, value)) {
        // Too large or too small for a double: the sign of the exponent decides which.
        const char* e = std::find_if(first, last, [](char c) { return c == 'e' || c == 'E'; });
        const bool tiny = e != last && e + 1 != last && e[1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

ByteArray TextToBytes(std::string_view t) { return ByteArray(t.begin(), t.end()); }

Text BytesToText(const uint8_t* data, size_t size) {
    if (data == nullptr) return {};
    const void* zero = std::memchr(data, 0, size);
    const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
    return Text(reinterpret_cast<const char*>(data), length);
}

Text BytesToText(const ByteArray& bytes) { return BytesToText(bytes.data(), bytes.size()); }

}  // namespace kelvora
