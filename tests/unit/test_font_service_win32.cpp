// GDI text: the widths the game lays its captions out by are the widths GDI itself gives them,
// though small Chinese characters are measured from their bitmaps.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/host/font_service.h"

namespace kelvora {
namespace {

int GdiWidth(const wchar_t* face, int32_t size, int32_t weight, const std::wstring& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(size, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return extent.cx;
}

TEST(GdiText, CaptionsMeasureAsGdiLaysThemOut) {
    FontService fonts;
    if (!fonts.HasFonts()) GTEST_SKIP() << "no font installed";
    // GBK, as the layouts hold their captions, and the same words in UTF-16 for GDI.
    const std::string caption = "Kelvora 1.1 - 作者：Tovenhal - 感谢使用，您的得分";
    const std::wstring wide = L"Kelvora 1.1 - 作者：Tovenhal - 感谢使用，您的得分";
    for (const auto& [size, weight] : {std::pair{12, 400}, {14, 700}, {16, 700}}) {
        EXPECT_EQ(fonts.TextWidth(FontSpec{"宋体", size, weight}, caption), GdiWidth(L"宋体", size, weight, wide))
            << size << " px, weight " << weight;
    }
}

}  // namespace
}  // namespace kelvora
