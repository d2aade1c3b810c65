// The Win32 host: each window keeps a DIB section at its shown size, which Present fills from the
// game's framebuffer (scaled by whole numbers on a high-DPI monitor) and copies to the screen at
// once; WM_PAINT repaints from it. Messages become the host's events in a queue. Above this file
// everything is in game pixels: positions, frames and the screen's size are divided by the scale.
#include "platform/host/win32/win32_host.h"

#include <windows.h>
#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "base/system/clock.h"
#include "base/system/codepage_win32.h"
#include "base/system/folders.h"
#include "platform/host/win32/dib.h"
#include "platform/host/win32/win32_audio.h"

namespace kelvora {
namespace {

constexpr wchar_t kWindowClass[] = L"KelvoraWindow";
constexpr int kBaseDpi = 96;
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, whose declaration older headers keep from us.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));

// Typed text and the clipboard reach the game as UTF-8, whatever the system put in them.
std::string Utf8OfWide(const wchar_t* wide, size_t length) {
    return NarrowOf(CodePage::Utf8, std::wstring_view(wide, length), false).value_or(std::string());
}

// The DPI functions of Windows 10, looked up so that the game still starts where they are missing
// (it is then shown at 96 DPI and the system scales it).
struct DpiFunctions {
    using SetAwareness = BOOL(WINAPI*)(HANDLE);
    using ForWindow = UINT(WINAPI*)(HWND);
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    SetAwareness setAwareness = nullptr;
    ForWindow forWindow = nullptr;
    AdjustForDpi adjust = nullptr;

    template <typename F>
    static F Find(HMODULE user32, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
    }

    DpiFunctions() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr) return;
        setAwareness = Find<SetAwareness>(user32, "SetProcessDpiAwarenessContext");
        forWindow = Find<ForWindow>(user32, "GetDpiForWindow");
        adjust = Find<AdjustForDpi>(user32, "AdjustWindowRectExForDpi");
    }
};

const DpiFunctions& Dpi() {
    static const DpiFunctions functions;
    return functions;
}

// The same whole-number scale as on other systems: 1 up to 191 DPI, 2 from 192, and so on.
int32_t ScaleForDpi(UINT dpi) { return std::max<int32_t>(1, static_cast<int32_t>(dpi) / kBaseDpi); }

DWORD StyleFor(bool minimizeBox) {
    // A fixed frame: caption, system menu and close box; the minimise box only where asked.
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (minimizeBox ? WS_MINIMIZEBOX : 0);
}

RECT OuterFor(Size client, int32_t scale, DWORD style, UINT dpi) {
    RECT r{0, 0, std::max(client.width, 1) * scale, std::max(client.height, 1) * scale};
    if (Dpi().adjust != nullptr) Dpi().adjust(&r, style, FALSE, 0, dpi);
    else AdjustWindowRectEx(&r, style, FALSE, 0);
    return r;
}

Key KeyOf(WPARAM vk) {
    switch (vk) {
        case VK_ESCAPE: return Key::Escape;
        case VK_RETURN: return Key::Enter;
        case VK_TAB: return Key::Tab;
        case VK_BACK: return Key::Backspace;
        case VK_DELETE: return Key::Delete;
        case VK_LEFT: return Key::Left;
        case VK_RIGHT: return Key::Right;
        case VK_UP: return Key::Up;
        case VK_DOWN: return Key::Down;
        case VK_HOME: return Key::Home;
        case VK_END: return Key::End;
        case VK_SPACE: return Key::Space;
        case VK_F2: return Key::F2;
        case 'A': return Key::A;
        case 'C': return Key::C;
        case 'V': return Key::V;
        case 'X': return Key::X;
        default: return Key::Other;
    }
}

uint32_t CurrentModifiers() {
    uint32_t flags = 0;
    if (GetKeyState(VK_CONTROL) < 0) flags |= kModifierCtrl;
    if (GetKeyState(VK_SHIFT) < 0) flags |= kModifierShift;
    if (GetKeyState(VK_MENU) < 0) flags |= kModifierAlt;
    return flags;
}

// Division that rounds toward minus infinity, for pointer positions left of or above a captured window.
int32_t FloorDiv(int32_t value, int32_t by) { return value >= 0 ? value / by : -((-value + by - 1) / by); }

class Win32Host final : public Host {
public:
    explicit Win32Host(HINSTANCE instance) : instance_(instance) {}

    ~Win32Host() override {
        audio_.reset();
        while (!windows_.empty()) CloseWindow(windows_.begin()->first);
        if (icon_ != nullptr) DestroyIcon(icon_);
    }

    void SetWindowIcon(const std::vector<uint32_t>& pixels, Size size, uint32_t transparent) override {
        if (size.width <= 0 || size.height <= 0 || pixels.size() < static_cast<size_t>(size.width) * size.height) return;
        uint32_t* out = nullptr;
        HBITMAP colour = CreateTopDownDib(nullptr, size.width, size.height, &out);
        if (colour == nullptr) return;
        // Ours are 0x00BBGGRR; an icon wants 0xAARRGGBB, see-through where the sprite's key colour is.
        for (size_t i = 0; i < static_cast<size_t>(size.width) * size.height; ++i) {
            const uint32_t p = pixels[i];
            out[i] = p == transparent ? 0u
                                      : 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
        }
        // With colours that carry their own transparency the mask is not looked at, but it must exist.
        const std::vector<uint8_t> clear(static_cast<size_t>((size.width + 15) / 16 * 2) * size.height, 0);
        HBITMAP mask = CreateBitmap(size.width, size.height, 1, 1, clear.data());
        ICONINFO parts{TRUE, 0, 0, mask, colour};
        HICON icon = mask != nullptr ? CreateIconIndirect(&parts) : nullptr;
        if (mask != nullptr) DeleteObject(mask);
        DeleteObject(colour);
        if (icon == nullptr) return;
        for (auto& [id, w] : windows_) ApplyIcon(w.hwnd, icon);
        if (icon_ != nullptr) DestroyIcon(icon_);
        icon_ = icon;
    }

    HostWindowId OpenWindow(const HostWindowSpec& request) override {
        const HostWindowId id = nextId_++;
        WindowData& w = windows_[id];
        w.parent = request.parent;
        w.client = request.client;
        w.style = StyleFor(request.minimizeBox);
        const WindowData* parent = Find(request.parent);
        const UINT dpi = SystemDpi();
        w.scale = ScaleForDpi(dpi);
        const RECT outer = OuterFor(w.client, w.scale, w.style, dpi);
        creating_ = id;
        // An owned window stays above its owner and goes with it.
        HWND hwnd = CreateWindowExW(0, kWindowClass, WideOf(CodePage::Gbk, request.title, false).c_str(), w.style,
                                    request.outerTopLeft.x * w.scale, request.outerTopLeft.y * w.scale,
                                    outer.right - outer.left, outer.bottom - outer.top,
                                    parent ? parent->hwnd : nullptr, nullptr, instance_, this);
        creating_ = 0;
        if (hwnd == nullptr) {
            windows_.erase(id);
            FatalError("CreateWindowExW", static_cast<int>(GetLastError()));
        }
        w.hwnd = hwnd;
        byHwnd_[hwnd] = id;
        // The monitor it landed on decides its scale.
        AdoptDpi(w, WindowDpi(hwnd));
        // The input method is switched on only while a text field has the focus.
        ImmAssociateContextEx(hwnd, nullptr, 0);
        if (icon_ != nullptr) ApplyIcon(hwnd, icon_);
        return id;
    }

    void ShowWindow(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return;
        ::ShowWindow(w->hwnd, SW_SHOW);
        SetForegroundWindow(w->hwnd);
        UpdateWindow(w->hwnd);
    }

    void CloseWindow(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return;
        HWND hwnd = w->hwnd;
        const WindowData* owner = Find(w->parent);
        HWND ownerHwnd = owner ? owner->hwnd : nullptr;
        if (GetCapture() == hwnd) ReleaseCapture();
        byHwnd_.erase(hwnd);
        ReleaseBacking(*w);
        windows_.erase(window);
        // Hiding a window first, as DestroyWindow does with a visible one, costs two seconds under
        // Wine without a window manager: Wine waits for a manager to acknowledge the window's
        // mapping before it unmaps it. The window would stay on the screen, the game frozen, and
        // the player's Esc look lost. Destroyed as it is, it goes at once; the keyboard goes back
        // to the owner, as it would after a hide.
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
        if (ownerHwnd != nullptr && GetForegroundWindow() == hwnd) SetForegroundWindow(ownerHwnd);
        DestroyWindow(hwnd);
    }

    void MoveWindow(HostWindowId window, Point outerTopLeft) override {
        if (WindowData* w = Find(window)) {
            SetWindowPos(w->hwnd, nullptr, outerTopLeft.x * w->scale, outerTopLeft.y * w->scale, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    void ResizeWindow(HostWindowId window, Size client) override {
        WindowData* w = Find(window);
        if (!w) return;
        w->client = client;
        const RECT outer = OuterFor(client, w->scale, w->style, WindowDpi(w->hwnd));
        SetWindowPos(w->hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        MakeBacking(*w);
    }

    Point WindowPosition(HostWindowId window) override {
        WindowData* w = Find(window);
        RECT r{};
        if (!w || !GetWindowRect(w->hwnd, &r)) return Point{};
        return Point{FloorDiv(r.left, w->scale), FloorDiv(r.top, w->scale)};
    }

    FrameSizes FrameOf(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return FrameSizes{};
        RECT outer{};
        RECT client{};
        GetWindowRect(w->hwnd, &outer);
        GetClientRect(w->hwnd, &client);
        POINT corner{0, 0};
        ClientToScreen(w->hwnd, &corner);
        const int32_t s = w->scale;
        return FrameSizes{(corner.x - outer.left) / s, (corner.y - outer.top) / s,
                          (outer.right - (corner.x + client.right)) / s, (outer.bottom - (corner.y + client.bottom)) / s};
    }

    FrameSizes TypicalFrame() override {
        const UINT dpi = SystemDpi();
        const int32_t s = ScaleForDpi(dpi);
        const RECT r = OuterFor(Size{1, 1}, 1, StyleFor(false), dpi);
        return FrameSizes{-r.left / s, -r.top / s, (r.right - 1) / s, (r.bottom - 1) / s};
    }

    Size ScreenSize() override {
        const int32_t s = ScaleForDpi(SystemDpi());
        return Size{GetSystemMetrics(SM_CXSCREEN) / s, GetSystemMetrics(SM_CYSCREEN) / s};
    }

    void Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                 const std::vector<Rect>& areas) override {
        WindowData* w = Find(window);
        if (!w || !pixels || areas.empty() || w->bits == nullptr) return;
        const Rect bounds = Intersect(Rect{0, 0, size.width, size.height}, Rect{0, 0, w->client.width, w->client.height});
        const int32_t s = w->scale;
        const int32_t backingStride = w->client.width * s;
        HDC dc = GetDC(w->hwnd);
        for (const Rect& area : areas) {
            const Rect r = Intersect(area, bounds);
            if (r.Empty()) continue;
            // Ours are 0x00BBGGRR, a DIB's 0x00RRGGBB: red and blue change places, once, here.
            for (int32_t y = r.top; y < r.top + r.height; ++y) {
                const uint32_t* from = pixels + static_cast<ptrdiff_t>(y) * stride;
                for (int32_t dy = 0; dy < s; ++dy) {
                    uint32_t* to = w->bits + static_cast<ptrdiff_t>(y * s + dy) * backingStride;
                    for (int32_t x = r.left; x < r.left + r.width; ++x) {
                        const uint32_t p = from[x];
                        const uint32_t shown = ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
                        for (int32_t dx = 0; dx < s; ++dx) to[x * s + dx] = shown;
                    }
                }
            }
            if (dc != nullptr) {
                BitBlt(dc, r.left * s, r.top * s, r.width * s, r.height * s, w->memoryDc, r.left * s, r.top * s,
                       SRCCOPY);
            }
        }
        if (dc != nullptr) ReleaseDC(w->hwnd, dc);
        GdiFlush();
    }

    bool WaitEvent(HostEvent& event, int32_t timeoutMs) override {
        const int64_t deadline = timeoutMs < 0 ? 0 : BootClockMs() + timeoutMs;
        for (;;) {
            if (!queue_.empty()) {
                event = std::move(queue_.front());
                queue_.pop_front();
                return true;
            }
            MSG msg;
            while (queue_.empty() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    HostEvent quit;
                    quit.kind = HostEventKind::Quit;
                    queue_.push_back(quit);
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (!queue_.empty()) continue;
            DWORD wait = INFINITE;
            if (timeoutMs >= 0) {
                const int64_t now = BootClockMs();
                if (now >= deadline) return false;
                wait = static_cast<DWORD>(deadline - now);
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }

    Point GlobalMousePosition() override { return CursorInGamePixels(ScaleForDpi(SystemDpi())); }

    void StartTextInput(HostWindowId window, Rect caretArea) override {
        WindowData* w = Find(window);
        if (!w) return;
        if (textWindow_ != w->hwnd) {
            StopTextInput();
            ImmAssociateContextEx(w->hwnd, nullptr, IACE_DEFAULT);
            textWindow_ = w->hwnd;
        }
        // The input method's windows go beside the caret.
        if (HIMC context = ImmGetContext(w->hwnd)) {
            const int32_t s = w->scale;
            COMPOSITIONFORM composition{};
            composition.dwStyle = CFS_POINT;
            composition.ptCurrentPos = POINT{caretArea.left * s, caretArea.top * s};
            ImmSetCompositionWindow(context, &composition);
            CANDIDATEFORM candidates{};
            candidates.dwStyle = CFS_EXCLUDE;
            candidates.ptCurrentPos = POINT{caretArea.left * s, (caretArea.top + caretArea.height) * s};
            candidates.rcArea = RECT{caretArea.left * s, caretArea.top * s, (caretArea.left + caretArea.width) * s,
                                     (caretArea.top + caretArea.height) * s};
            ImmSetCandidateWindow(context, &candidates);
            ImmReleaseContext(w->hwnd, context);
        }
    }

    void StopTextInput() override {
        if (textWindow_ == nullptr) return;
        if (byHwnd_.count(textWindow_)) ImmAssociateContextEx(textWindow_, nullptr, 0);
        textWindow_ = nullptr;
    }

    uint32_t TickMs() override { return BootTickMs(); }

    void SleepMs(int32_t ms) override {
        if (ms > 0) Sleep(static_cast<DWORD>(ms));
    }

    void PlayClip(PcmClip clip) override {
        if (!audio_) audio_ = std::make_unique<Win32Audio>();
        audio_->Play(std::move(clip));
    }

    // Windows' own box shows every GBK text through its wide form.
    bool ShowSystemErrorBox(const Text& title, const Text& message) override {
        HWND owner = nullptr;
        if (!windows_.empty()) owner = windows_.begin()->second.hwnd;
        MessageBoxW(owner, WideOf(CodePage::Gbk, message, false).c_str(), WideOf(CodePage::Gbk, title, false).c_str(),
                    MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
        return true;
    }

    bool SetColourKey(HostWindowId window, uint32_t colour) override {
        WindowData* w = Find(window);
        // Our colours and COLORREF share their layout, red in the low byte.
        return w != nullptr && SetLayeredWindowAttributes(w->hwnd, colour & 0x00FFFFFFu, 0, LWA_COLORKEY);
    }

    Utf8Text ClipboardText() override {
        std::string text;
        if (!OpenClipboard(AnyWindow())) return text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
                const size_t limit = GlobalSize(data) / sizeof(wchar_t);
                const size_t length = std::find(wide, wide + limit, L'\0') - wide;
                text = Utf8OfWide(wide, length);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }

    void SetClipboardText(const Utf8Text& utf8) override {
        const std::wstring wide = WideOf(CodePage::Utf8, utf8, false);
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
        if (data == nullptr) return;
        if (auto* to = static_cast<wchar_t*>(GlobalLock(data))) {
            std::copy(wide.begin(), wide.end(), to);
            to[wide.size()] = L'\0';
            GlobalUnlock(data);
        }
        if (!OpenClipboard(AnyWindow())) {
            GlobalFree(data);
            return;
        }
        EmptyClipboard();
        if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) GlobalFree(data);  // the system owns it otherwise
        CloseClipboard();
    }

    Utf8Text ProgramDirectoryPath() override {
        const std::wstring folder = ExecutableFolder();
        return Utf8OfWide(folder.data(), folder.size());
    }

    Utf8Text UserDataDirectoryPath() override { return PerUserDataFolder("Tovenhal", "Kelvora"); }

    // Called by the window procedure for every message of our windows.
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        const HostWindowId id = IdOf(hwnd);
        WindowData* w = Find(id);
        if (w == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
        HostEvent event;
        event.window = id;
        switch (message) {
            case WM_CLOSE:
                event.kind = HostEventKind::CloseRequest;
                queue_.push_back(event);
                return 0;
            case WM_ENDSESSION:
                if (wParam) {
                    event.kind = HostEventKind::Quit;
                    queue_.push_back(event);
                }
                return 0;
            case WM_ERASEBKGND:
                return 1;  // everything is painted from the backing pixels
            case WM_PAINT: {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(hwnd, &paint);
                if (dc != nullptr && w->memoryDc != nullptr) {
                    const RECT& r = paint.rcPaint;
                    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w->memoryDc, r.left, r.top, SRCCOPY);
                }
                EndPaint(hwnd, &paint);
                return 0;
            }
            case WM_DPICHANGED: {
                const auto* suggested = reinterpret_cast<const RECT*>(lParam);
                const int32_t before = w->scale;
                AdoptDpi(*w, HIWORD(wParam), suggested);
                if (w->scale != before) {
                    event.kind = HostEventKind::Exposed;
                    queue_.push_back(event);
                }
                return 0;
            }
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP: {
                const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
                event.kind = down ? HostEventKind::MouseDown : HostEventKind::MouseUp;
                event.button = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP   ? MouseButton::Left
                               : message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? MouseButton::Right
                                                                                      : MouseButton::Middle;
                // A drag by the window's background goes on outside the window.
                if (down) SetCapture(hwnd);
                else if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd) ReleaseCapture();
                FillPointer(*w, event, lParam);
                queue_.push_back(event);
                return 0;
            }
            case WM_MOUSEMOVE:
                event.kind = HostEventKind::MouseMove;
                FillPointer(*w, event, lParam);
                queue_.push_back(event);
                return 0;
            case WM_KEYDOWN:
                // The keypad's arrows come as the arrow keys while Num Lock is off.
                event.kind = HostEventKind::KeyDown;
                event.key = KeyOf(wParam);
                // Bit 30: the key was down before this message, which the system repeats.
                event.repeat = (lParam & (1L << 30)) != 0;
                event.modifiers = CurrentModifiers();
                queue_.push_back(event);
                return 0;
            case WM_CHAR:
                TypedUnit(*w, event, static_cast<wchar_t>(wParam));
                return 0;
            case WM_IME_STARTCOMPOSITION:
                return 0;  // the field shows the composition itself; no system window for it
            case WM_IME_COMPOSITION:
                Composition(hwnd, event, lParam);
                return 0;
            case WM_IME_ENDCOMPOSITION:
                if (textWindow_ == hwnd) {
                    event.kind = HostEventKind::TextEditing;
                    queue_.push_back(event);
                }
                return 0;
            default:
                return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    HostWindowId creating_ = 0;  // the window CreateWindowExW is making, before its handle is known

    void Bind(HWND hwnd) {
        if (creating_ != 0) byHwnd_[hwnd] = creating_;
    }

private:
    struct WindowData {
        HWND hwnd = nullptr;
        HostWindowId parent = 0;
        DWORD style = 0;
        Size client;
        int32_t scale = 1;
        HDC memoryDc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ previousBitmap = nullptr;
        uint32_t* bits = nullptr;  // client.width * scale by client.height * scale, top row first
    };

    WindowData* Find(HostWindowId window) {
        auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : &it->second;
    }

    HostWindowId IdOf(HWND hwnd) const {
        auto it = byHwnd_.find(hwnd);
        return it == byHwnd_.end() ? 0 : it->second;
    }

    static void ApplyIcon(HWND hwnd, HICON icon) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }

    HWND AnyWindow() const { return windows_.empty() ? nullptr : windows_.begin()->second.hwnd; }

    static UINT SystemDpi() {
        HDC screen = GetDC(nullptr);
        const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
    }

    static UINT WindowDpi(HWND hwnd) {
        if (Dpi().forWindow != nullptr) {
            const UINT dpi = Dpi().forWindow(hwnd);
            if (dpi > 0) return dpi;
        }
        return SystemDpi();
    }

    // Takes the scale of `dpi` and gives the window its client area at that scale, at the place the
    // system suggests when it moved to another monitor.
    void AdoptDpi(WindowData& w, UINT dpi, const RECT* suggested = nullptr) {
        w.scale = ScaleForDpi(dpi);
        const RECT outer = OuterFor(w.client, w.scale, w.style, dpi);
        RECT now{};
        GetWindowRect(w.hwnd, &now);
        const int x = suggested ? suggested->left : now.left;
        const int y = suggested ? suggested->top : now.top;
        SetWindowPos(w.hwnd, nullptr, x, y, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        MakeBacking(w);
    }

    void ReleaseBacking(WindowData& w) {
        if (w.memoryDc != nullptr) {
            SelectObject(w.memoryDc, w.previousBitmap);
            DeleteDC(w.memoryDc);
        }
        if (w.bitmap != nullptr) DeleteObject(w.bitmap);
        w.memoryDc = nullptr;
        w.bitmap = nullptr;
        w.bits = nullptr;
    }

    // A black DIB section of the window's shown size; the game presents its pixels into it.
    void MakeBacking(WindowData& w) {
        ReleaseBacking(w);
        w.bitmap = CreateTopDownDib(nullptr, std::max(w.client.width, 1) * w.scale,
                                    std::max(w.client.height, 1) * w.scale, &w.bits);
        if (w.bitmap == nullptr) return;
        w.memoryDc = CreateCompatibleDC(nullptr);
        w.previousBitmap = SelectObject(w.memoryDc, w.bitmap);
    }

    static Point CursorInGamePixels(int32_t scale) {
        POINT p{};
        GetCursorPos(&p);
        return Point{FloorDiv(p.x, scale), FloorDiv(p.y, scale)};
    }

    void FillPointer(const WindowData& w, HostEvent& event, LPARAM lParam) {
        event.position = Point{FloorDiv(GET_X_LPARAM(lParam), w.scale), FloorDiv(GET_Y_LPARAM(lParam), w.scale)};
        event.screen = CursorInGamePixels(w.scale);
        event.modifiers = CurrentModifiers();
    }

    // One UTF-16 unit of typed text; a character beyond the basic plane comes in two.
    void TypedUnit(const WindowData& w, HostEvent& event, wchar_t unit) {
        if (textWindow_ != w.hwnd) return;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            pendingHighSurrogate_ = unit;
            return;
        }
        std::wstring typed;
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (pendingHighSurrogate_ == 0) return;
            typed = {pendingHighSurrogate_, unit};
        } else if (unit >= 0x20 && unit != 0x7F) {  // control characters come as keys
            typed = unit;
        }
        pendingHighSurrogate_ = 0;
        if (typed.empty()) return;
        event.kind = HostEventKind::TextInput;
        event.text = Utf8OfWide(typed.data(), typed.size());
        queue_.push_back(event);
    }

    static std::wstring CompositionString(HIMC context, DWORD which) {
        const LONG bytes = ImmGetCompositionStringW(context, which, nullptr, 0);
        if (bytes <= 0) return {};
        std::wstring text(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
        ImmGetCompositionStringW(context, which, text.data(), static_cast<DWORD>(bytes));
        return text;
    }

    // An input method's result is typed text; its unfinished composition is shown by the field.
    void Composition(HWND hwnd, HostEvent event, LPARAM lParam) {
        if (textWindow_ != hwnd) return;
        HIMC context = ImmGetContext(hwnd);
        if (context == nullptr) return;
        if (lParam & GCS_RESULTSTR) {
            const std::wstring result = CompositionString(context, GCS_RESULTSTR);
            if (!result.empty()) {
                event.kind = HostEventKind::TextInput;
                event.text = Utf8OfWide(result.data(), result.size());
                queue_.push_back(event);
            }
        }
        if (lParam & GCS_COMPSTR) {
            const std::wstring composing = CompositionString(context, GCS_COMPSTR);
            const LONG cursor = ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0);
            event.kind = HostEventKind::TextEditing;
            event.text = Utf8OfWide(composing.data(), composing.size());
            // The cursor in characters of the composition, as the field counts them.
            const std::wstring before = composing.substr(0, static_cast<size_t>(std::clamp<LONG>(cursor, 0, static_cast<LONG>(composing.size()))));
            event.compositionCursor = static_cast<int32_t>(
                std::count_if(before.begin(), before.end(), [](wchar_t u) { return u < 0xDC00 || u > 0xDFFF; }));
            queue_.push_back(event);
        }
        ImmReleaseContext(hwnd, context);
    }

    HINSTANCE instance_;
    std::map<HostWindowId, WindowData> windows_;
    std::map<HWND, HostWindowId> byHwnd_;
    std::deque<HostEvent> queue_;
    HostWindowId nextId_ = 1;
    HWND textWindow_ = nullptr;  // the window whose text field takes typing, if any
    wchar_t pendingHighSurrogate_ = 0;
    std::unique_ptr<Win32Audio> audio_;
    HICON icon_ = nullptr;  // the game's own, on every window it opens
};

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* host = static_cast<Win32Host*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
        host->Bind(hwnd);
    }
    auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return host != nullptr ? host->Handle(hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<Host> CreateWin32Host(std::string* error) {
    // Our own pixels at whole-number scales: the system must not stretch the windows itself.
    if (Dpi().setAwareness != nullptr) Dpi().setAwareness(kPerMonitorAwareV2);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        if (error) *error = "RegisterClassExW failed with error " + std::to_string(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32Host>(instance);
}

}  // namespace kelvora
