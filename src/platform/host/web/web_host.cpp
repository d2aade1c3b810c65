// The browser host: windows, presenting, input, time, sound and the clipboard, each a short call to
// the page's half (KelvoraPage in page/kelvora_page.js). The page queues DOM events and this side
// takes them in WaitEvent: nothing of the game ever runs inside a DOM callback, where a pause of
// the game would wake it in the middle of the browser's own work.
#include "platform/host/web/web_host.h"

#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/system/clock.h"
#include "base/system/codepage.h"
#include "base/system/folders.h"

namespace kelvora {
namespace {

// One queued event as the page writes it; the numbers are HostEventKind's, the key its DOM name.
struct PageEvent {
    int32_t kind;
    int32_t window;
    int32_t x, y;              // in the window's client area, game pixels
    int32_t screenX, screenY;  // on the page's desktop, game pixels
    int32_t button;            // 0 left, 1 middle, 2 right, as the DOM counts them
    int32_t modifiers;         // KeyModifier flags
    int32_t repeat;
    int32_t cursor;            // the composition's cursor, in characters
    char text[1024];           // UTF-8: typed text, a composition, or a key press's DOM key and code on two lines
};

EM_JS(int32_t, KelvoraOpenWindow, (const char* title, int32_t width, int32_t height, int32_t x, int32_t y,
                                   int32_t parent), {
    return KelvoraPage.openWindow(UTF8ToString(title), width, height, x, y, parent);
});
EM_JS(void, KelvoraShowWindow, (int32_t window), { KelvoraPage.showWindow(window); });
EM_JS(void, KelvoraCloseWindow, (int32_t window), { KelvoraPage.closeWindow(window); });
EM_JS(void, KelvoraMoveWindow, (int32_t window, int32_t x, int32_t y), { KelvoraPage.moveWindow(window, x, y); });
EM_JS(void, KelvoraResizeWindow, (int32_t window, int32_t width, int32_t height), {
    KelvoraPage.resizeWindow(window, width, height);
});
EM_JS(void, KelvoraWindowPosition, (int32_t window, int32_t* x, int32_t* y), {
    var corner = KelvoraPage.windowPosition(window);
    HEAP32[x >> 2] = corner[0];
    HEAP32[y >> 2] = corner[1];
});
EM_JS(void, KelvoraFrame, (int32_t* sides), {
    var frame = KelvoraPage.frame;
    HEAP32[sides >> 2] = frame.left;
    HEAP32[(sides >> 2) + 1] = frame.top;
    HEAP32[(sides >> 2) + 2] = frame.right;
    HEAP32[(sides >> 2) + 3] = frame.bottom;
});
EM_JS(void, KelvoraScreenSize, (int32_t* width, int32_t* height), {
    var size = KelvoraPage.screenSize();
    HEAP32[width >> 2] = size[0];
    HEAP32[height >> 2] = size[1];
});
EM_JS(void, KelvoraPointer, (int32_t* x, int32_t* y), {
    HEAP32[x >> 2] = KelvoraPage.pointer[0];
    HEAP32[y >> 2] = KelvoraPage.pointer[1];
});
// The area's pixels are RGBA, row after row, as the canvas takes them.
EM_JS(void, KelvoraPresent, (int32_t window, const uint32_t* rgba, int32_t left, int32_t top, int32_t width,
                             int32_t height), {
    KelvoraPage.present(window, new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), left, top, width, height);
});
EM_JS(int32_t, KelvoraTakeEvent, (PageEvent* event), {
    var e = KelvoraPage.takeEvent();
    if (!e) return 0;
    var at = event >> 2;
    HEAP32[at] = e.kind;
    HEAP32[at + 1] = e.window;
    HEAP32[at + 2] = e.x | 0;
    HEAP32[at + 3] = e.y | 0;
    HEAP32[at + 4] = e.screenX | 0;
    HEAP32[at + 5] = e.screenY | 0;
    HEAP32[at + 6] = e.button | 0;
    HEAP32[at + 7] = e.modifiers | 0;
    HEAP32[at + 8] = e.repeat ? 1 : 0;
    HEAP32[at + 9] = e.cursor | 0;
    stringToUTF8(e.text ? e.text : "", event + 40, 1024);
    return 1;
});
// Resolves when an event is queued or the time is up; a negative time waits for an event only.
EM_ASYNC_JS(void, KelvoraWaitForEvent, (int32_t timeoutMs), { await KelvoraPage.waitForEvent(timeoutMs); });
EM_JS(void, KelvoraStartTextInput, (int32_t window, int32_t left, int32_t top, int32_t width, int32_t height), {
    KelvoraPage.startTextInput(window, left, top, width, height);
});
EM_JS(void, KelvoraStopTextInput, (), { KelvoraPage.stopTextInput(); });
EM_JS(void, KelvoraPlayClip, (const uint8_t* samples, int32_t bytes, int32_t channels, int32_t bits, int32_t rate,
                              uint32_t hash), {
    KelvoraPage.playClip(HEAPU8.subarray(samples, samples + bytes), channels, bits, rate, hash);
});
EM_JS(void, KelvoraCopyText, (const char* text), { KelvoraPage.copyText(UTF8ToString(text)); });
EM_JS(void, KelvoraSetIcon, (const uint32_t* pixels, int32_t width, int32_t height, uint32_t transparent), {
    KelvoraPage.setIcon(HEAPU32.subarray(pixels >> 2, (pixels >> 2) + width * height), width, height, transparent);
});

// The page's own message, just before the Ctrl+V it comes with: the text the player pasted.
constexpr int32_t kPastedText = -1;

static_assert(offsetof(PageEvent, text) == 40, "the page writes the text 40 bytes into an event");

Key KeyOf(const std::string& key, const std::string& code) {
    static const struct {
        const char* name;
        Key key;
    } kKeys[] = {
        {"Escape", Key::Escape}, {"Enter", Key::Enter},     {"Tab", Key::Tab},         {"Backspace", Key::Backspace},
        {"Delete", Key::Delete}, {"ArrowLeft", Key::Left},  {"ArrowRight", Key::Right}, {"ArrowUp", Key::Up},
        {"ArrowDown", Key::Down}, {"Home", Key::Home},      {"End", Key::End},         {" ", Key::Space},
        {"F2", Key::F2},
    };
    for (const auto& known : kKeys) {
        if (key == known.name) return known.key;
    }
    // Letters by their place on the keyboard, so that Ctrl+C copies on every layout.
    if (code == "KeyA") return Key::A;
    if (code == "KeyC") return Key::C;
    if (code == "KeyV") return Key::V;
    if (code == "KeyX") return Key::X;
    return Key::Other;
}

class WebHost final : public Host {
public:
    HostWindowId OpenWindow(const HostWindowSpec& request) override {
        const Conversion title = GbkToUtf8(request.title);
        return static_cast<HostWindowId>(KelvoraOpenWindow(
            title.ok ? title.text.c_str() : "Kelvora", std::max(request.client.width, 1),
            std::max(request.client.height, 1), request.outerTopLeft.x, request.outerTopLeft.y,
            static_cast<int32_t>(request.parent)));
    }
    void ShowWindow(HostWindowId window) override { KelvoraShowWindow(static_cast<int32_t>(window)); }
    void CloseWindow(HostWindowId window) override { KelvoraCloseWindow(static_cast<int32_t>(window)); }
    void MoveWindow(HostWindowId window, Point outerTopLeft) override {
        KelvoraMoveWindow(static_cast<int32_t>(window), outerTopLeft.x, outerTopLeft.y);
    }
    void ResizeWindow(HostWindowId window, Size client) override {
        KelvoraResizeWindow(static_cast<int32_t>(window), std::max(client.width, 1), std::max(client.height, 1));
    }
    Point WindowPosition(HostWindowId window) override {
        Point corner;
        KelvoraWindowPosition(static_cast<int32_t>(window), &corner.x, &corner.y);
        return corner;
    }
    // Every window's frame is the page's, and the same.
    FrameSizes FrameOf(HostWindowId) override { return TypicalFrame(); }
    FrameSizes TypicalFrame() override {
        int32_t sides[4] = {};
        KelvoraFrame(sides);
        return FrameSizes{sides[0], sides[1], sides[2], sides[3]};
    }
    Size ScreenSize() override {
        Size size;
        KelvoraScreenSize(&size.width, &size.height);
        return size;
    }
    void SetWindowIcon(const std::vector<uint32_t>& pixels, Size size, uint32_t transparent) override {
        if (size.width <= 0 || size.height <= 0 || pixels.size() < static_cast<size_t>(size.width) * size.height) return;
        KelvoraSetIcon(pixels.data(), size.width, size.height, transparent);
    }

    void Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                 const std::vector<Rect>& areas) override {
        if (pixels == nullptr) return;
        const Rect bounds{0, 0, size.width, size.height};
        for (const Rect& area : areas) {
            const Rect r = Intersect(area, bounds);
            if (r.Empty()) continue;
            // Our 0x00BBGGRR is R, G, B and a fourth byte in memory: the canvas takes that byte as
            // alpha, which must be opaque. Converted here, where it is a tight loop; the page then
            // hands the rows to the canvas without touching a pixel.
            rgba_.resize(static_cast<size_t>(r.width) * r.height);
            uint32_t* to = rgba_.data();
            for (int32_t y = r.top; y < r.Bottom(); ++y) {
                const uint32_t* from = pixels + static_cast<ptrdiff_t>(y) * stride + r.left;
                for (int32_t x = 0; x < r.width; ++x) *to++ = from[x] | 0xFF000000u;
            }
            KelvoraPresent(static_cast<int32_t>(window), rgba_.data(), r.left, r.top, r.width, r.height);
        }
    }

    bool WaitEvent(HostEvent& event, int32_t timeoutMs) override {
        const int64_t deadline = BootClockMs() + std::max(timeoutMs, 0);
        for (;;) {
            PageEvent page{};
            if (KelvoraTakeEvent(&page)) {
                if (page.kind == kPastedText) {
                    clipboard_.assign(page.text, strnlen(page.text, sizeof page.text));
                    continue;
                }
                event = Translate(page);
                return true;
            }
            if (timeoutMs < 0) {
                KelvoraWaitForEvent(-1);
                continue;
            }
            const int64_t left = deadline - BootClockMs();
            if (left <= 0) return false;
            KelvoraWaitForEvent(static_cast<int32_t>(left));
        }
    }

    Point GlobalMousePosition() override {
        Point at;
        KelvoraPointer(&at.x, &at.y);
        return at;
    }
    void StartTextInput(HostWindowId window, Rect caretArea) override {
        KelvoraStartTextInput(static_cast<int32_t>(window), caretArea.left, caretArea.top, caretArea.width,
                              caretArea.height);
    }
    void StopTextInput() override { KelvoraStopTextInput(); }

    uint32_t TickMs() override { return BootTickMs(); }
    // The browser draws, plays and queues input while the game pauses.
    void SleepMs(int32_t ms) override { emscripten_sleep(static_cast<unsigned>(std::max(ms, 0))); }

    void PlayClip(PcmClip clip) override {
        if (clip.samples.empty()) return;
        // The page keeps each clip's samples in its own form, found again by this hash (FNV-1a).
        uint32_t hash = 2166136261u;
        for (const uint8_t byte : clip.samples) hash = (hash ^ byte) * 16777619u;
        KelvoraPlayClip(clip.samples.data(), static_cast<int32_t>(clip.samples.size()), clip.channels,
                        clip.bitsPerSample, clip.sampleRate, hash);
    }

    // The page reads the system clipboard only with the player's leave, asked in a prompt; the
    // game's own copy serves its pastes, and a copy also goes to the system's clipboard.
    Utf8Text ClipboardText() override { return clipboard_; }
    void SetClipboardText(const Utf8Text& text) override {
        clipboard_ = text;
        KelvoraCopyText(text.c_str());
    }

    Utf8Text ProgramDirectoryPath() override {
        char folder[1024] = {};
        return getcwd(folder, sizeof folder) != nullptr ? Utf8Text(folder) : Utf8Text("/");
    }
    Utf8Text UserDataDirectoryPath() override { return PerUserDataFolder("Tovenhal", "Kelvora"); }

private:
    static HostEvent Translate(const PageEvent& page) {
        HostEvent event;
        event.kind = static_cast<HostEventKind>(page.kind);
        event.window = static_cast<HostWindowId>(page.window);
        event.position = Point{page.x, page.y};
        event.screen = Point{page.screenX, page.screenY};
        event.button = page.button == 2 ? MouseButton::Right : page.button == 1 ? MouseButton::Middle : MouseButton::Left;
        event.modifiers = static_cast<uint32_t>(page.modifiers);
        event.repeat = page.repeat != 0;
        event.compositionCursor = page.cursor;
        const std::string text(page.text, strnlen(page.text, sizeof page.text));
        if (event.kind == HostEventKind::KeyDown) {
            const size_t split = text.find('\n');
            event.key = KeyOf(text.substr(0, split), split == std::string::npos ? "" : text.substr(split + 1));
        } else {
            event.text = text;
        }
        return event;
    }

    Utf8Text clipboard_;
    std::vector<uint32_t> rgba_;  // the area being presented, as the canvas takes it
};

}  // namespace

std::unique_ptr<Host> CreateWebHost() { return std::make_unique<WebHost>(); }

}  // namespace kelvora
