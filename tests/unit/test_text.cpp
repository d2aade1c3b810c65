// Text operations on GBK bytes and the GBK <-> UTF-8 edge.
#include <gtest/gtest.h>

#include <cmath>

#include "base/system/codepage.h"
#include "base/text.h"

namespace kelvora {
namespace {

TEST(Text, LeftMidAndReplaceClipAtTheEnds) {
    EXPECT_EQ(LeftText("abcde", 7), "abcde");
    EXPECT_EQ(LeftText("abcde", 0), "");
    EXPECT_EQ(LeftText("abcde", -3), "");
    EXPECT_EQ(MidText("abcde", 2, 3), "bcd");
    EXPECT_EQ(MidText("abcde", 4, 99), "de");
    EXPECT_EQ(MidText("abcde", 0, 2), "");
    EXPECT_EQ(MidText("abcde", 6, 1), "");
    EXPECT_EQ(MidText("abcde", 2, 0), "");
    // Dropping the padded score of an honour entry.
    EXPECT_EQ(ReplaceText("0000870Tovenhal", 1, 7), "Tovenhal");
    EXPECT_EQ(ReplaceText("00870", 1, 7), "");
    EXPECT_EQ(ReplaceText("abcdef", -4, 2, std::string_view("XY")), "XYcdef");
    EXPECT_EQ(ReplaceText("abc", 9, 2, std::string_view("!")), "abc!");
}

TEST(Text, SplitKeepsEmptyPiecesAndDropsAnEmptyTail) {
    const auto parts = SplitText("a\r\n\r\nb\r\n", "\r\n", 10);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "a");
    EXPECT_EQ(parts[1], "");
    EXPECT_EQ(parts[2], "b");
    EXPECT_TRUE(SplitText("", "\r\n", 10).empty());
    EXPECT_EQ(SplitText("tail", "\r\n", 10), std::vector<Text>{"tail"});
}

TEST(Text, SplitStopsAtTheCountAndDropsTheRest) {
    Text twelve;
    for (int i = 1; i <= 12; ++i) twelve += "line" + std::to_string(i) + "\r\n";
    const auto parts = SplitText(twelve, "\r\n", 10);
    ASSERT_EQ(parts.size(), 10u);
    EXPECT_EQ(parts.front(), "line1");
    EXPECT_EQ(parts.back(), "line10");
    EXPECT_EQ(SplitText("a,b,c", ",", 0).size(), 3u);  // no limit
}

TEST(Text, SplitNeverCutsADoubleByteCharacter) {
    // The second byte of this character and the first of the next look like the delimiter "\xB1\xA1"
    // when read across the boundary; inside whole characters there is no delimiter at all.
    const Text t = "\xA1\xB1\xA1\xB2";
    EXPECT_EQ(SplitText(t, "\xB1\xA1", 10), std::vector<Text>{t});
    // A lone lead byte at the end is stepped over safely.
    const Text loose = "ab\r\ncd\x81";
    const auto parts = SplitText(loose, "\r\n", 10);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1], "cd\x81");
}

TEST(Text, RepeatAndConversions) {
    EXPECT_EQ(RepeatText(3, "0"), "000");
    EXPECT_EQ(RepeatText(-1, "0"), "");
    EXPECT_EQ(ToText(-5), "-5");
    EXPECT_EQ(ToText(0), "0");
    EXPECT_EQ(ToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(ToText(1e20), "1e+20");
    EXPECT_EQ(ToText(870.0), "870");
}

TEST(Text, ToNumberReadsTheLeadingNumber) {
    EXPECT_EQ(ToNumber("0000870"), 870);
    EXPECT_EQ(ToNumber("0000870Tovenhal"), 870);
    EXPECT_EQ(ToNumber(""), 0);
    EXPECT_EQ(ToNumber("Tovenhal"), 0);
    EXPECT_EQ(ToNumber("   -12.5abc"), -12.5);
    EXPECT_EQ(ToNumber("+7"), 7);
    EXPECT_EQ(ToNumber("3e2x"), 300);
    EXPECT_EQ(ToNumber("12e"), 12);
    EXPECT_EQ(ToNumber(".5"), 0.5);
    EXPECT_EQ(ToNumber("-"), 0);
    EXPECT_EQ(ToNumber("0x10"), 0);
    EXPECT_TRUE(std::isinf(ToNumber("1e999")));
    EXPECT_EQ(ToNumber("1e-999"), 0);
}

TEST(Text, ToNumberReadsFullWidthDigitsAndSigns) {
    // Full-width "－１２３" and an ideographic space in front.
    EXPECT_EQ(ToNumber("\xA1\xA1\xA3\xAD\xA3\xB1\xA3\xB2\xA3\xB3"), -123);
    // A Chinese character stops the number.
    EXPECT_EQ(ToNumber("42分"), 42);
}

TEST(Text, BytesStopAtTheFirstZero) {
    const ByteArray bytes{'a', 'b', 0, 'c'};
    EXPECT_EQ(BytesToText(bytes), "ab");
    EXPECT_EQ(TextToBytes("ab"), (ByteArray{'a', 'b'}));
    EXPECT_EQ(BytesToText(nullptr, 4), "");
}

TEST(Gbk, RoundTripsChineseText) {
    const std::string utf8 = "\xE8\x8D\xA3\xE8\xAA\x89\xE6\xA6\x9C";  // 荣誉榜 in UTF-8
    const Conversion gbk = Utf8ToGbk(utf8);
    ASSERT_TRUE(gbk.ok);
    EXPECT_EQ(gbk.text, "荣誉榜");  // the literal is GBK in this program
    EXPECT_EQ(gbk.text.size(), 6u);
    const Conversion back = GbkToUtf8(gbk.text);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.text, utf8);
}

TEST(Gbk, RefusesWhatHasNoForm) {
    const Conversion emoji = Utf8ToGbk("ok \xF0\x9F\x98\x80");
    EXPECT_FALSE(emoji.ok);
    EXPECT_EQ(emoji.errorOffset, 3u);
    EXPECT_FALSE(Utf8ToGbk("\xFF\xFE").ok);       // not UTF-8
    EXPECT_FALSE(GbkToUtf8("ab\x81").ok);         // a lead byte with no trail
    EXPECT_TRUE(GbkToUtf8("").ok);
}

}  // namespace
}  // namespace kelvora
