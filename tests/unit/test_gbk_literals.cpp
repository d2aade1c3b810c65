// The game's Chinese texts are GBK bytes in every build, whichever compiler made them: the GCC
// builds through the compiler's execution character set, the browser build through GBK escapes
// written into its copy of the sources. The honour file and the layouts agree only if these hold.
#include <gtest/gtest.h>

#include "base/font_face.h"
#include "platform/layouts.h"
#include "windows/honour_roll.h"

namespace kelvora {
namespace {

TEST(GbkLiterals, TheHonourFileNameIsItsGbkBytes) {
    EXPECT_EQ(HonourFileName(), "Kelvora\xC8\xD9\xD3\xFE\xB0\xF1.ini");
}

TEST(GbkLiterals, CaptionsAndFaceNamesOfTheLayoutsAreTheirGbkBytes) {
    EXPECT_EQ(MainWindowLayout().caption,
              "Kelvora 1.1 - \xD7\xF7\xD5\xDF\xA3\xBATovenhal - \xB8\xD0\xD0\xBB\xCA\xB9\xD3\xC3");
    EXPECT_EQ(DefaultGuiFont().face, "\xCB\xCE\xCC\xE5");
    bool bestHeading = false;
    for (const ControlLayout& control : MainWindowLayout().controls) {
        bestHeading |= control.caption == "\xC4\xBF\xC7\xB0\xD7\xEE\xBC\xD1\xBC\xCD\xC2\xBC";
    }
    EXPECT_TRUE(bestHeading);
}

TEST(GbkLiterals, ACharacterWhoseSecondByteIsABackslashStaysOneCharacter) {
    // 誠 is 0xD5 0x5C in GBK: its second byte must not start an escape sequence.
    EXPECT_EQ(std::string("誠") + "x", "\xD5\x5Cx");
}

}  // namespace
}  // namespace kelvora
