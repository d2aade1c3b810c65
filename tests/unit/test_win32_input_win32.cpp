// Typing on Windows: an input method's composition and its result reach the game as UTF-8, a
// character beyond the basic plane typed in two halves comes as one, a window that is not taking
// text hears nothing of either, and a key says whether the system repeats it.
#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>

#include <string>
#include <vector>

#include "platform/host/win32/win32_host.h"

namespace kelvora {
namespace {

struct Typing {
    std::unique_ptr<Host> host = CreateWin32Host();
    HostWindowId window = 0;
    HWND hwnd = nullptr;

    Typing() {
        if (!host) return;
        window = host->OpenWindow(HostWindowSpec{"名字输入", Size{200, 80}, Point{10, 10}});
        host->ShowWindow(window);
        hwnd = FindWindowW(nullptr, L"名字输入");
    }

    // Everything the host says within a moment.
    std::vector<HostEvent> Events() {
        std::vector<HostEvent> events;
        HostEvent event;
        while (host->WaitEvent(event, 100)) {
            if (event.kind == HostEventKind::TextInput || event.kind == HostEventKind::TextEditing) {
                events.push_back(event);
            }
        }
        return events;
    }

    void Compose(const wchar_t* text) {
        HIMC context = ImmGetContext(hwnd);
        ASSERT_NE(context, nullptr);
        ImmSetOpenStatus(context, TRUE);
        ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(text),
                                 static_cast<DWORD>(wcslen(text) * sizeof(wchar_t)), nullptr, 0);
        ImmReleaseContext(hwnd, context);
    }

    void Complete() {
        HIMC context = ImmGetContext(hwnd);
        ASSERT_NE(context, nullptr);
        ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
        ImmReleaseContext(hwnd, context);
    }
};

TEST(Win32Typing, AnInputMethodsCompositionAndResultComeAsUtf8) {
    Typing typing;
    ASSERT_TRUE(typing.host);
    if (typing.hwnd == nullptr) GTEST_SKIP() << "no display to open a window on";
    typing.host->StartTextInput(typing.window, Rect{4, 4, 100, 16});
    typing.Events();

    typing.Compose(L"张三");
    std::vector<HostEvent> events = typing.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, HostEventKind::TextEditing);
    EXPECT_EQ(events.back().text, "\xE5\xBC\xA0\xE4\xB8\x89");  // 张三 in UTF-8

    typing.Complete();
    events = typing.Events();
    std::string typed;
    bool compositionEnded = false;
    for (const HostEvent& e : events) {
        if (e.kind == HostEventKind::TextInput) typed += e.text;
        if (e.kind == HostEventKind::TextEditing && e.text.empty()) compositionEnded = true;
    }
    EXPECT_EQ(typed, "\xE5\xBC\xA0\xE4\xB8\x89");
    EXPECT_TRUE(compositionEnded);
}

TEST(Win32Typing, TwoHalvesOfOneCharacterComeAsOneAndOnlyATextWindowHearsThem) {
    Typing typing;
    ASSERT_TRUE(typing.host);
    if (typing.hwnd == nullptr) GTEST_SKIP() << "no display to open a window on";
    // Not taking text yet: typing is not reported.
    SendMessageW(typing.hwnd, WM_CHAR, L'a', 0);
    EXPECT_TRUE(typing.Events().empty());

    typing.host->StartTextInput(typing.window, Rect{4, 4, 100, 16});
    SendMessageW(typing.hwnd, WM_CHAR, 0xD83D, 0);  // U+1F600 in two UTF-16 halves
    SendMessageW(typing.hwnd, WM_CHAR, 0xDE00, 0);
    SendMessageW(typing.hwnd, WM_CHAR, L'b', 0);
    const std::vector<HostEvent> events = typing.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(events[1].text, "b");
}

// A held key's repeats come with the key's earlier state set (bit 30); the game presses nothing
// on them. Space and F2 are keys of the game's own.
TEST(Win32Typing, AKeySaysWhetherTheSystemRepeatsIt) {
    Typing typing;
    ASSERT_TRUE(typing.host);
    if (typing.hwnd == nullptr) GTEST_SKIP() << "no display to open a window on";
    typing.Events();
    SendMessageW(typing.hwnd, WM_KEYDOWN, VK_SPACE, 1);
    SendMessageW(typing.hwnd, WM_KEYDOWN, VK_SPACE, 1 | (1L << 30));
    SendMessageW(typing.hwnd, WM_KEYDOWN, VK_F2, 1);
    std::vector<HostEvent> keys;
    HostEvent event;
    while (typing.host->WaitEvent(event, 100)) {
        if (event.kind == HostEventKind::KeyDown) keys.push_back(event);
    }
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].key, Key::Space);
    EXPECT_FALSE(keys[0].repeat);
    EXPECT_EQ(keys[1].key, Key::Space);
    EXPECT_TRUE(keys[1].repeat);
    EXPECT_EQ(keys[2].key, Key::F2);
    EXPECT_FALSE(keys[2].repeat);
}

}  // namespace
}  // namespace kelvora
