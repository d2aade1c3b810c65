// GBK <-> UTF-8 in the browser build. Emscripten's C library converts no GBK, but every browser
// (and Node) decodes it with TextDecoder: the two-byte table is read from there once, on the first
// conversion, and both directions use it. Single bytes are ASCII only, as in glibc's GBK.
#include "base/system/codepage.h"

#include <emscripten.h>

#include <cstdint>
#include <vector>

// Fills table[(lead - 0x81) * 191 + (trail - 0x40)] with the UTF-16 unit of each two-byte GBK
// character, 0 where the pair is none. Returns 0 where there is no GBK decoder.
// Every pair is decoded in one call, each followed by a line feed: a line feed is never taken as a
// pair's second byte (a pair it would end is an error, and the line feed is read again as itself),
// so the lines of the text are the pairs' characters, one each, or U+FFFD and the like where a
// pair is none. A call a pair took a hundred times longer.
EM_JS(int, kelvora_read_gbk_pairs, (uint16_t* table), {
    var decoder;
    try {
        decoder = new TextDecoder("gbk");
    } catch (e) {
        return 0;
    }
    var count = (0xFE - 0x81 + 1) * 191;
    var bytes = new Uint8Array(count * 3);
    for (var i = 0; i < count; i++) {
        bytes[i * 3] = 0x81 + Math.floor(i / 191);
        bytes[i * 3 + 1] = 0x40 + i % 191;
        bytes[i * 3 + 2] = 0x0A;
    }
    var lines = decoder.decode(bytes).split("\n");
    if (lines.length != count + 1) return 0;
    for (var i = 0; i < count; i++) {
        var text = lines[i];
        if (text.length == 1 && text != "\uFFFD") HEAPU16[(table >> 1) + i] = text.charCodeAt(0);
    }
    return 1;
});

namespace kelvora {
namespace {

constexpr int kTrails = 191;  // 0x40..0xFE

struct GbkTables {
    std::vector<uint16_t> pairs = std::vector<uint16_t>(126 * kTrails, 0);  // pair -> UTF-16 unit
    std::vector<uint16_t> units = std::vector<uint16_t>(0x10000, 0);        // UTF-16 unit -> pair
    bool ok = false;
};

const GbkTables& Tables() {
    static const GbkTables tables = [] {
        GbkTables t;
        t.ok = kelvora_read_gbk_pairs(t.pairs.data()) != 0;
        for (size_t i = 0; i < t.pairs.size(); ++i) {
            const uint16_t unit = t.pairs[i];
            // The first pair of a character is its form, should the table give it twice.
            if (unit != 0 && t.units[unit] == 0) {
                t.units[unit] = static_cast<uint16_t>(((0x81 + i / kTrails) << 8) | (0x40 + i % kTrails));
            }
        }
        return t;
    }();
    return tables;
}

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point starting at input[at] and its length; length 0 for bytes that are not UTF-8
// (overlong forms, surrogates and values beyond U+10FFFF included).
uint32_t NextUtf8(std::string_view input, size_t at, size_t& length) {
    length = 0;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(input[i]); };
    const uint8_t first = byte(at);
    size_t count;
    uint32_t c;
    if (first < 0x80) {
        length = 1;
        return first;
    } else if (first >= 0xC2 && first <= 0xDF) {
        count = 2;
        c = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        count = 3;
        c = first & 0x0F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        count = 4;
        c = first & 0x07;
    } else {
        return 0;
    }
    if (input.size() - at < count) return 0;
    for (size_t i = 1; i < count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if ((count == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (count == 4 && (c < 0x10000 || c > 0x10FFFF))) {
        return 0;
    }
    length = count;
    return c;
}

Conversion Failed(size_t offset) {
    Conversion result;
    result.errorOffset = offset;
    return result;
}

}  // namespace

Conversion GbkToUtf8(std::string_view gbk) {
    const GbkTables& tables = Tables();
    Conversion result;
    for (size_t i = 0; i < gbk.size();) {
        const uint8_t lead = static_cast<uint8_t>(gbk[i]);
        if (lead < 0x80) {
            result.text += static_cast<char>(lead);
            ++i;
            continue;
        }
        if (!tables.ok || lead == 0x80 || lead == 0xFF || i + 1 >= gbk.size()) return Failed(i);
        const uint8_t trail = static_cast<uint8_t>(gbk[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return Failed(i);
        const uint16_t unit = tables.pairs[static_cast<size_t>(lead - 0x81) * kTrails + (trail - 0x40)];
        if (unit == 0) return Failed(i);
        AppendUtf8(result.text, unit);
        i += 2;
    }
    result.ok = true;
    result.errorOffset = gbk.size();
    return result;
}

Conversion Utf8ToGbk(std::string_view utf8) {
    const GbkTables& tables = Tables();
    Conversion result;
    for (size_t i = 0; i < utf8.size();) {
        size_t length = 0;
        const uint32_t c = NextUtf8(utf8, i, length);
        if (length == 0) return Failed(i);
        if (c < 0x80) {
            result.text += static_cast<char>(c);
        } else {
            const uint16_t pair = c < 0x10000 ? tables.units[c] : 0;
            if (pair == 0) return Failed(i);
            result.text += static_cast<char>(pair >> 8);
            result.text += static_cast<char>(pair & 0xFF);
        }
        i += length;
    }
    result.ok = true;
    result.errorOffset = utf8.size();
    return result;
}

}  // namespace kelvora
