// The instructions text: nine GBK lines, each indented by two spaces, an empty line between
// each two, no line break at the end.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "assets/instructions_text.h"
#include "base/system/codepage.h"

namespace kelvora {
namespace {

TEST(InstructionsText, IsTheNineLinesInGbk) {
    ASSERT_EQ(kInstructionsText.size(), 188u);
    // "  游戏说明" in GBK.
    const std::string_view title("\x20\x20\xD3\xCE\xCF\xB7\xCB\xB5\xC3\xF7\r\n\r\n", 14);
    EXPECT_EQ(kInstructionsText.substr(0, 14), title);
    // "多5分" closes the text, with no line break after it.
    EXPECT_EQ(kInstructionsText.substr(kInstructionsText.size() - 5), std::string_view("\xB6\xE0" "5\xB7\xD6"));

    const Conversion utf8 = GbkToUtf8(kInstructionsText);
    ASSERT_TRUE(utf8.ok);
    const char8_t expected[] =
        u8"  游戏说明\r\n\r\n  只要将五颗以上\r\n\r\n  颜色相同的球\r\n\r\n  排成一直线或者斜线\r\n\r\n"
        u8"  即可将这些球消除\r\n\r\n  其中白色发光的魔法球\r\n\r\n  能代替任一颜色的球\r\n\r\n"
        u8"  一次消去5颗球有10分\r\n\r\n  多消一颗多5分";
    EXPECT_EQ(utf8.text, std::string(reinterpret_cast<const char*>(expected), sizeof expected - 1));
}

}  // namespace
}  // namespace kelvora
