// Editing a GBK field: whole characters only, and the cleaning of typed and pasted text.
#include <gtest/gtest.h>

#include "platform/edit_text.h"
#include "support/headless_runtime.h"

namespace kelvora {
namespace {

using testing::Utf8;

TEST(EditText, StepsOverDoubleByteCharactersAsUnits) {
    EditText edit("a荣誉b");  // a, two double-byte characters, b: 6 bytes
    ASSERT_EQ(edit.Value().size(), 6u);
    edit.MoveEnd(false);
    edit.MoveLeft(false);
    EXPECT_EQ(edit.Caret(), 5u);
    edit.MoveLeft(false);
    EXPECT_EQ(edit.Caret(), 3u);
    edit.Backspace();
    EXPECT_EQ(edit.Value(), "a誉b");
    EXPECT_EQ(edit.Caret(), 1u);
    edit.Delete();
    EXPECT_EQ(edit.Value(), "ab");
    // A caret asked to sit inside a pair lands before it.
    EditText middle("荣誉");
    middle.SetCaret(1, false);
    EXPECT_EQ(middle.Caret(), 0u);
    middle.SetCaret(3, false);
    EXPECT_EQ(middle.Caret(), 2u);
}

TEST(EditText, SelectionReplaceAndCut) {
    EditText edit("Tovenhal");
    edit.SelectAll();
    edit.Insert("张三");
    EXPECT_EQ(edit.Value(), "张三");
    edit.MoveHome(false);
    edit.MoveRight(true);
    EXPECT_EQ(edit.SelectedText(), "张");
    EXPECT_EQ(edit.CutSelection(), "张");
    EXPECT_EQ(edit.Value(), "三");
    edit.MoveEnd(true);
    edit.Backspace();
    EXPECT_EQ(edit.Value(), "");
    edit.Backspace();  // nothing left: nothing happens
    edit.Delete();
    EXPECT_EQ(edit.Value(), "");
}

TEST(EditText, TypedAndPastedTextIsCleaned) {
    EXPECT_EQ(TypedTextToGbk(Utf8(u8"王")), std::optional<Text>("王"));
    EXPECT_FALSE(TypedTextToGbk(std::string("\xF0\x9F\x98\x80")));      // no GBK form
    EXPECT_FALSE(TypedTextToGbk("a\tb"));
    EXPECT_FALSE(TypedTextToGbk("\r"));
    // A pasted line break ends the text there; a tab is left out.
    EXPECT_EQ(PastedTextToGbk(Utf8(u8"李\t四\r\n0000870Evil")), std::optional<Text>("李四"));
    EXPECT_FALSE(PastedTextToGbk(std::string("ok\xF0\x9F\x98\x80")));
    EXPECT_EQ(PastedTextToGbk("\nrest"), std::optional<Text>(""));
}

TEST(EditText, BoundariesOfBrokenBytesStayInside) {
    const std::string loneLead("ab\x81", 3);  // a lead byte with nothing after it
    EXPECT_EQ(NextCharBoundary(loneLead, 2), 3u);
    EXPECT_EQ(NextCharBoundary(loneLead, 3), 3u);
    EXPECT_EQ(PreviousCharBoundary(loneLead, 3), 2u);
    EXPECT_EQ(CharBoundaryAtOrBefore(loneLead, 99), 3u);
}

}  // namespace
}  // namespace kelvora
