// The SDL host: windows, input, time, sound, message boxes, clipboard and folders through SDL2
// (sound through SDL2_mixer, in sdl_audio.cpp).
#include "platform/host/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "base/gbk.h"
#include "platform/host/sdl_audio.h"
#include "platform/host/user_folder.h"
#include "platform/host/x11_errors.h"

namespace kelvora {
namespace {

std::string ToUtf8(const Text& gbk) {
    const Conversion utf8 = GbkToUtf8(gbk);
    return utf8.ok ? utf8.text : std::string("Kelvora");
}

std::string TakeSdlString(char* text) {
    if (!text) return {};
    std::string value(text);
    SDL_free(text);
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    return value;
}

Key KeyOf(SDL_Keycode sym) {
    switch (sym) {
        case SDLK_ESCAPE: return Key::Escape;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return Key::Enter;
        case SDLK_TAB: return Key::Tab;
        case SDLK_BACKSPACE: return Key::Backspace;
        case SDLK_DELETE: return Key::Delete;
        case SDLK_LEFT: return Key::Left;
        case SDLK_RIGHT: return Key::Right;
        case SDLK_UP: return Key::Up;
        case SDLK_DOWN: return Key::Down;
        case SDLK_HOME: return Key::Home;
        case SDLK_END: return Key::End;
        case SDLK_a: return Key::A;
        case SDLK_c: return Key::C;
        case SDLK_v: return Key::V;
        case SDLK_x: return Key::X;
        default: return Key::Other;
    }
}

uint32_t ModifiersOf(Uint16 mod) {
    uint32_t flags = 0;
    if (mod & KMOD_CTRL) flags |= kModifierCtrl;
    if (mod & KMOD_SHIFT) flags |= kModifierShift;
    if (mod & KMOD_ALT) flags |= kModifierAlt;
    return flags;
}

class SdlHost final : public Host {
public:
    SdlHost() {
        previousBox_ = SetFatalMessageBox([this](const std::string& text) { ShowErrorBox("Kelvora", text); });
    }

    ~SdlHost() override {
        SetFatalMessageBox(previousBox_);
        for (auto& [id, window] : windows_) SDL_DestroyWindow(window.sdl);
        windows_.clear();
        audio_.reset();
        SDL_Quit();
    }

    HostWindowId OpenWindow(const HostWindowSpec& request) override {
        const FrameSizes frame = knownFrame_;
        SDL_Window* sdl = SDL_CreateWindow(ToUtf8(request.title).c_str(), request.outerTopLeft.x + frame.left,
                                           request.outerTopLeft.y + frame.top, std::max(request.client.width, 1),
                                           std::max(request.client.height, 1), SDL_WINDOW_HIDDEN);
        if (!sdl) FatalError(Text("SDL: ") + SDL_GetError());
        const HostWindowId id = nextId_++;
        windows_[id] = WindowData{sdl, request.parent};
        bySdlId_[SDL_GetWindowID(sdl)] = id;
        return id;
    }

    void ShowWindow(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return;
        SDL_ShowWindow(w->sdl);
        // Only a hint on X11; the runtime keeps the parent from taking input itself.
        if (WindowData* parent = Find(w->parent)) SDL_SetWindowModalFor(w->sdl, parent->sdl);
        SDL_RaiseWindow(w->sdl);
        LearnFrame(w->sdl);
    }

    void CloseWindow(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return;
        bySdlId_.erase(SDL_GetWindowID(w->sdl));
        SDL_DestroyWindow(w->sdl);
        windows_.erase(window);
    }

    void MoveWindow(HostWindowId window, Point outerTopLeft) override {
        WindowData* w = Find(window);
        if (!w) return;
        const FrameSizes frame = FrameOf(window);
        SDL_SetWindowPosition(w->sdl, outerTopLeft.x + frame.left, outerTopLeft.y + frame.top);
    }

    void ResizeWindow(HostWindowId window, Size client) override {
        if (WindowData* w = Find(window)) SDL_SetWindowSize(w->sdl, std::max(client.width, 1), std::max(client.height, 1));
    }

    Point WindowPosition(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return Point{};
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        const FrameSizes frame = FrameOf(window);
        return Point{x - frame.left, y - frame.top};
    }

    FrameSizes FrameOf(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return FrameSizes{};
        LearnFrame(w->sdl);
        return knownFrame_;
    }

    FrameSizes TypicalFrame() override { return knownFrame_; }

    Size ScreenSize() override {
        SDL_Rect bounds{0, 0, 1024, 768};
        SDL_GetDisplayBounds(0, &bounds);
        return Size{bounds.w, bounds.h};
    }

    void Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                 const std::vector<Rect>& areas) override {
        WindowData* w = Find(window);
        if (!w || !pixels || areas.empty()) return;
        SDL_Surface* surface = SDL_GetWindowSurface(w->sdl);
        if (!surface) return;
        const Rect bounds = Intersect(Rect{0, 0, size.width, size.height}, Rect{0, 0, surface->w, surface->h});
        std::vector<SDL_Rect> rects;
        if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
        for (const Rect& area : areas) {
            const Rect r = Intersect(area, bounds);
            if (r.Empty()) continue;
            // Our pixels are 0x00BBGGRR, which SDL calls XBGR8888; the display's format is converted here, once.
            const uint32_t* from = pixels + static_cast<ptrdiff_t>(r.top) * stride + r.left;
            uint8_t* to = static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(r.top) * surface->pitch +
                          static_cast<ptrdiff_t>(r.left) * surface->format->BytesPerPixel;
            SDL_ConvertPixels(r.width, r.height, SDL_PIXELFORMAT_XBGR8888, from, stride * 4, surface->format->format, to,
                              surface->pitch);
            rects.push_back(SDL_Rect{r.left, r.top, r.width, r.height});
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        if (!rects.empty()) SDL_UpdateWindowSurfaceRects(w->sdl, rects.data(), static_cast<int>(rects.size()));
    }

    bool WaitEvent(HostEvent& event, int32_t timeoutMs) override {
        const Uint64 deadline = timeoutMs < 0 ? 0 : SDL_GetTicks64() + static_cast<Uint64>(timeoutMs);
        for (;;) {
            SDL_Event e;
            int got = 0;
            if (timeoutMs < 0) {
                got = SDL_WaitEvent(&e);
            } else {
                const Uint64 now = SDL_GetTicks64();
                // The caller's timeout is whole milliseconds already rounded up; what is left of it
                // is waited for in full, and 0 only polls.
                const int remaining = now >= deadline ? 0 : static_cast<int>(deadline - now);
                got = remaining == 0 ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, remaining);
            }
            if (!got) {
                if (timeoutMs < 0) continue;
                return false;
            }
            if (Translate(e, event)) return true;
            if (timeoutMs >= 0 && SDL_GetTicks64() >= deadline) return false;
        }
    }

    Point GlobalMousePosition() override {
        int x = 0;
        int y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        return Point{x, y};
    }

    void StartTextInput(HostWindowId window, Rect caretArea) override {
        if (!Find(window)) return;
        SDL_Rect rect{caretArea.left, caretArea.top, std::max(caretArea.width, 1), std::max(caretArea.height, 1)};
        SDL_SetTextInputRect(&rect);
        if (!SDL_IsTextInputActive()) SDL_StartTextInput();
    }

    void StopTextInput() override {
        if (SDL_IsTextInputActive()) SDL_StopTextInput();
    }

    uint32_t TickMs() override { return SDL_GetTicks(); }

    void SleepMs(int32_t ms) override {
        if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
    }

    void PlayClip(PcmClip clip) override {
        if (!audio_) audio_ = std::make_unique<SdlAudio>();
        audio_->Play(clip);
    }

    void ShowErrorBox(const Text& title, const Text& message) override {
        const Conversion utf8 = GbkToUtf8(message);
        const std::string text = utf8.ok ? utf8.text : message;
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, ToUtf8(title).c_str(), text.c_str(), nullptr) != 0) {
            // No display for a box: the message still reaches the player's terminal.
            std::fprintf(stderr, "%s\n", text.c_str());
        }
    }

    std::string ClipboardText() override {
        char* text = SDL_GetClipboardText();
        std::string value = text ? text : "";
        SDL_free(text);
        return value;
    }

    void SetClipboardText(const std::string& utf8) override { SDL_SetClipboardText(utf8.c_str()); }

    std::string ProgramDirectoryPath() override { return TakeSdlString(SDL_GetBasePath()); }

    std::string UserDataDirectoryPath() override { return PerUserDataFolder("Tovenhal", "Kelvora"); }

private:
    struct WindowData {
        SDL_Window* sdl = nullptr;
        HostWindowId parent = 0;
    };

    WindowData* Find(HostWindowId window) {
        auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : &it->second;
    }

    HostWindowId IdOf(Uint32 sdlId) const {
        auto it = bySdlId_.find(sdlId);
        return it == bySdlId_.end() ? 0 : it->second;
    }

    // Frame sizes are known only once a window manager has framed a shown window; until then the
    // last known ones (none at all without a window manager) stand in.
    void LearnFrame(SDL_Window* sdl) {
        int top = 0;
        int left = 0;
        int bottom = 0;
        int right = 0;
        if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) == 0) knownFrame_ = FrameSizes{left, top, right, bottom};
    }

    void FillPointer(HostEvent& event, int x, int y) {
        event.position = Point{x, y};
        event.screen = GlobalMousePosition();
        event.modifiers = ModifiersOf(static_cast<Uint16>(SDL_GetModState()));
    }

    bool Translate(const SDL_Event& e, HostEvent& event) {
        event = HostEvent{};
        switch (e.type) {
            case SDL_QUIT:
                event.kind = HostEventKind::Quit;
                return true;
            case SDL_WINDOWEVENT:
                event.window = IdOf(e.window.windowID);
                if (event.window == 0) return false;
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                    event.kind = HostEventKind::CloseRequest;
                    return true;
                }
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                    e.window.event == SDL_WINDOWEVENT_RESTORED) {
                    event.kind = HostEventKind::Exposed;
                    return true;
                }
                return false;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                event.window = IdOf(e.button.windowID);
                if (event.window == 0) return false;
                event.kind = e.type == SDL_MOUSEBUTTONDOWN ? HostEventKind::MouseDown : HostEventKind::MouseUp;
                event.button = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                               : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                                                                     : MouseButton::Middle;
                FillPointer(event, e.button.x, e.button.y);
                return true;
            case SDL_MOUSEMOTION:
                event.window = IdOf(e.motion.windowID);
                if (event.window == 0) return false;
                event.kind = HostEventKind::MouseMove;
                FillPointer(event, e.motion.x, e.motion.y);
                return true;
            case SDL_KEYDOWN:
                event.window = IdOf(e.key.windowID);
                if (event.window == 0) return false;
                event.kind = HostEventKind::KeyDown;
                event.key = KeyOf(e.key.keysym.sym);
                event.modifiers = ModifiersOf(e.key.keysym.mod);
                return true;
            case SDL_TEXTINPUT:
                event.window = IdOf(e.text.windowID);
                if (event.window == 0) return false;
                event.kind = HostEventKind::TextInput;
                event.text = e.text.text;
                return true;
            case SDL_TEXTEDITING:
                event.window = IdOf(e.edit.windowID);
                if (event.window == 0) return false;
                event.kind = HostEventKind::TextEditing;
                event.text = e.edit.text;
                event.compositionCursor = e.edit.start;
                return true;
            default:
                return false;
        }
    }

    std::map<HostWindowId, WindowData> windows_;
    std::map<Uint32, HostWindowId> bySdlId_;
    HostWindowId nextId_ = 1;
    FrameSizes knownFrame_;
    std::unique_ptr<SdlAudio> audio_;
    FatalMessageBox previousBox_;
};

}  // namespace

std::unique_ptr<Host> CreateSdlHost(std::string* error) {
    // Without this, X11 turns the window surface into an OpenGL texture: windows get recreated,
    // dialogs drop below their parent and start-up costs several times as much.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Installed before SDL starts, where the display library is linked in: SDL keeps the handler
    // it finds and puts it back when it shuts down, just before it closes its display connections,
    // and an error still on its way then would meet the library's default handler and its exit.
    const bool x11Guarded = SurviveX11Errors();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    // When no display answers, SDL quietly falls back to drivers that show nothing; the game would
    // then run unseen and unreachable. Those drivers only serve whoever asks for them by name.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if ((driver == "offscreen" || driver == "dummy") && (asked == nullptr || driver != asked)) {
        const char* display = SDL_getenv("DISPLAY");
        if (error) {
            *error = std::string("no display answered (DISPLAY is ") +
                     (display != nullptr && *display != '\0' ? "\"" + std::string(display) + "\"" : "not set") + ")";
        }
        SDL_Quit();
        return nullptr;
    }
    if (!x11Guarded && driver == "x11") SurviveX11Errors();
    // Typing is switched on only while a text field has the focus.
    SDL_StopTextInput();
    return std::make_unique<SdlHost>();
}

}  // namespace kelvora
