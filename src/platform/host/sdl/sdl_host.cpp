// The SDL host: windows, input, time, sound, clipboard and folders through SDL2
// (the audio device and its mixing in sdl_audio.cpp).
#include "platform/host/sdl/sdl_host.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "base/system/codepage.h"
#include "base/system/clock.h"
#include "platform/host/sdl/sdl_audio.h"
#include "base/system/folders.h"
#include "platform/host/sdl/x11_window.h"

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

Key KeyOf(SDL_Keycode sym, Uint16 mod) {
    // The keypad's arrows are its digits while Num Lock is on.
    if ((mod & KMOD_NUM) == 0) {
        switch (sym) {
            case SDLK_KP_4: return Key::Left;
            case SDLK_KP_6: return Key::Right;
            case SDLK_KP_8: return Key::Up;
            case SDLK_KP_2: return Key::Down;
            default: break;
        }
    }
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
        case SDLK_SPACE: return Key::Space;
        case SDLK_F2: return Key::F2;
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

// The whole factor every window is shown at: the desktop's own scale where it sets one
// (GDK_SCALE), else its text resolution, 96 dots per inch being 1.
int32_t DesktopScale(X11Windows* x11) {
    if (const char* scale = std::getenv("GDK_SCALE"); scale != nullptr && *scale != '\0') {
        const long factor = std::strtol(scale, nullptr, 10);
        if (factor >= 1) return static_cast<int32_t>(std::min(factor, 8L));
    }
    const int32_t dpi = x11 != nullptr ? x11->DesktopDpi() : 0;
    return dpi >= 240 ? 3 : dpi >= 144 ? 2 : 1;
}

class SdlHost final : public Host {
public:
    SdlHost() {
        // A window that is never shown lets us ask the display about the desktop before the
        // first real window is sized, and learn what frame the window manager gives windows.
        if (SDL_Window* probe = SDL_CreateWindow("Kelvora", 0, 0, 1, 1, SDL_WINDOW_HIDDEN)) {
            x11_ = X11Windows::Connect(probe);
            if (x11_) {
                x11_->Describe(probe, nullptr, true, "Kelvora");
                typicalFrame_ = x11_->Frame(probe, false);
            }
            SDL_DestroyWindow(probe);
        }
        scale_ = DesktopScale(x11_.get());
        // The raw X events carry what SDL leaves out: a window destroyed by someone else, and
        // the pointer's screen position at the moment of each event.
        if (x11_) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }

    ~SdlHost() override {
        for (auto& [id, window] : windows_) {
            if (!window.gone) SDL_DestroyWindow(window.sdl);
        }
        windows_.clear();
        // The thread preparing the audio is waited for, and the device closed, before SDL goes.
        if (audioThread_) SDL_WaitThread(audioThread_, nullptr);
        audio_.reset();
        x11_.reset();
        // SDL would hide a window it still holds before destroying it, and wait for the server to
        // confirm that of a window that no longer exists, for ever. The process is ending anyway.
        if (!lostWindow_) SDL_Quit();
    }

    HostWindowId OpenWindow(const HostWindowSpec& request) override {
        const std::string title = ToUtf8(request.title);
        // SDL keeps the client position it was given until the server reports another; given the
        // likely one, SDL's own later moves (it makes one on every resize) land where we want.
        SDL_Window* sdl = SDL_CreateWindow(title.c_str(), request.outerTopLeft.x * scale_ + typicalFrame_.left,
                                           request.outerTopLeft.y * scale_ + typicalFrame_.top,
                                           std::max(request.client.width, 1) * scale_,
                                           std::max(request.client.height, 1) * scale_, SDL_WINDOW_HIDDEN);
        if (!sdl) FatalError(Text("SDL: ") + SDL_GetError());
        const HostWindowId id = nextId_++;
        WindowData& data = windows_[id];
        data.sdl = sdl;
        data.parent = request.parent;
        bySdlId_[SDL_GetWindowID(sdl)] = id;
        if (x11_) {
            WindowData* parent = Find(request.parent);
            x11_->Describe(sdl, parent ? parent->sdl : nullptr, request.minimizeBox, title);
            byXid_[x11_->XidOf(sdl)] = id;
            // Asked now, before the window is mapped, so that it is placed by its real frame.
            FrameOf(id);
        }
        MoveWindow(id, request.outerTopLeft);
        ApplyIcon(windows_[id]);
        return id;
    }

    void SetWindowIcon(const std::vector<uint32_t>& pixels, Size size, uint32_t transparent) override {
        if (size.width <= 0 || size.height <= 0 || pixels.size() < static_cast<size_t>(size.width) * size.height) return;
        icon_.assign(pixels.begin(), pixels.begin() + static_cast<ptrdiff_t>(size.width) * size.height);
        // SDL's ABGR8888 is 0xAABBGGRR: ours with an alpha byte on top.
        for (uint32_t& pixel : icon_) pixel = pixel == transparent ? 0 : (pixel | 0xFF000000u);
        iconSize_ = size;
        for (auto& [id, w] : windows_) ApplyIcon(w);
    }

    void ShowWindow(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return;
        SDL_ShowWindow(w->sdl);
        SDL_RaiseWindow(w->sdl);
        w->shown = true;
    }

    void CloseWindow(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w) return;
        const HostWindowId parent = w->parent;
        bySdlId_.erase(SDL_GetWindowID(w->sdl));
        if (x11_) byXid_.erase(x11_->XidOf(w->sdl));
        // Hiding a window that no longer exists would wait for ever for the server's word.
        if (!w->gone) SDL_DestroyWindow(w->sdl);
        windows_.erase(window);
        // The keyboard goes back to the owner, as it does on Windows. A window manager sees to
        // that itself; without one, SDL leaves the keyboard with no window at all, and even the
        // release of the key that closed the window would reach none of ours.
        WindowData* owner = Find(parent);
        if (owner && !owner->gone && owner->shown && x11_ && !x11_->ManagerRuns()) {
            SDL_SetWindowInputFocus(owner->sdl);
        }
    }

    void MoveWindow(HostWindowId window, Point outerTopLeft) override {
        WindowData* w = Find(window);
        if (!w) return;
        if (w->gone) return;
        const Point outer{outerTopLeft.x * scale_, outerTopLeft.y * scale_};
        w->outer = outer;
        if (x11_) {
            // The window manager puts the frame's corner where we ask, by the usual gravity,
            // whether or not it has framed the window yet.
            x11_->MoveOuter(w->sdl, outer);
            return;
        }
        const FrameSizes frame = PhysicalFrame(*w);
        SDL_SetWindowPosition(w->sdl, outer.x + frame.left, outer.y + frame.top);
    }

    void ResizeWindow(HostWindowId window, Size client) override {
        WindowData* w = Find(window);
        if (!w || w->gone) return;
        // SDL moves the window on a resize, to where it last knew it: the corner is put back.
        const Point corner = WindowPosition(window);
        SDL_SetWindowSize(w->sdl, std::max(client.width, 1) * scale_, std::max(client.height, 1) * scale_);
        MoveWindow(window, corner);
    }

    Point WindowPosition(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w || w->gone) return Point{};
        Point client;
        // Until the window manager has framed a window, the server only knows the corner we asked for.
        if (x11_ && !w->shown) return Point{w->outer.x / scale_, w->outer.y / scale_};
        if (x11_) {
            client = x11_->ClientTopLeft(w->sdl);
        } else {
            SDL_GetWindowPosition(w->sdl, &client.x, &client.y);
        }
        const FrameSizes frame = PhysicalFrame(*w);
        return Point{(client.x - frame.left) / scale_, (client.y - frame.top) / scale_};
    }

    // Frames stay in screen pixels, rounded down to whole game pixels: an outer corner put at a
    // game pixel then reads back as the same one.
    FrameSizes FrameOf(HostWindowId window) override {
        WindowData* w = Find(window);
        if (!w || w->gone) return FrameSizes{};
        return InGamePixels(PhysicalFrame(*w));
    }

    FrameSizes TypicalFrame() override { return InGamePixels(typicalFrame_); }

    Size ScreenSize() override {
        SDL_Rect bounds{0, 0, 1024, 768};
        SDL_GetDisplayBounds(0, &bounds);
        return Size{bounds.w / scale_, bounds.h / scale_};
    }

    void Present(HostWindowId window, const uint32_t* pixels, int32_t stride, Size size,
                 const std::vector<Rect>& areas) override {
        WindowData* w = Find(window);
        if (!w || w->gone || !pixels || areas.empty()) return;
        SDL_Surface* surface = SDL_GetWindowSurface(w->sdl);
        if (!surface) return;
        if (scale_ > 1) {
            PresentScaled(*w, surface, pixels, stride, size, areas);
            return;
        }
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
        // SDL's audio and its device can take tens of milliseconds to get ready (a sound server is
        // asked, its library loaded). They are made ready on a thread of their own once the game
        // first waits for the player, its first frame shown: neither the start nor the first
        // selection waits for them.
        // An SDL thread, not a plain one: SDL frees what it keeps for a thread of its own as it ends.
        if (!audio_) {
            audio_ = std::make_unique<SdlAudio>();
            audioThread_ = SDL_CreateThread(PrepareAudio, "KelvoraAudio", audio_.get());
            if (!audioThread_) audio_->Prepare();
        }
        const int64_t deadline = timeoutMs < 0 ? 0 : BootClockMs() + timeoutMs;
        for (;;) {
            SDL_Event e;
            int got = 0;
            if (timeoutMs < 0) {
                got = SDL_WaitEvent(&e);
            } else {
                const int64_t now = BootClockMs();
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
            if (timeoutMs >= 0 && BootClockMs() >= deadline) return false;
        }
    }

    Point GlobalMousePosition() override {
        int x = 0;
        int y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        return Point{x / scale_, y / scale_};
    }

    void StartTextInput(HostWindowId window, Rect caretArea) override {
        if (!Find(window)) return;
        SDL_Rect rect{caretArea.left * scale_, caretArea.top * scale_, std::max(caretArea.width, 1) * scale_,
                      std::max(caretArea.height, 1) * scale_};
        SDL_SetTextInputRect(&rect);
        if (!SDL_IsTextInputActive()) SDL_StartTextInput();
    }

    void StopTextInput() override {
        if (SDL_IsTextInputActive()) SDL_StopTextInput();
    }

    uint32_t TickMs() override { return BootTickMs(); }

    void SleepMs(int32_t ms) override {
        if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
    }

    void PlayClip(PcmClip clip) override {
        TakeAudio();
        if (audio_) audio_->Play(clip);
    }

    Utf8Text ClipboardText() override {
        char* text = SDL_GetClipboardText();
        std::string value = text ? text : "";
        SDL_free(text);
        return value;
    }

    void SetClipboardText(const Utf8Text& utf8) override { SDL_SetClipboardText(utf8.c_str()); }

    Utf8Text ProgramDirectoryPath() override { return TakeSdlString(SDL_GetBasePath()); }

    Utf8Text UserDataDirectoryPath() override { return PerUserDataFolder("Tovenhal", "Kelvora"); }

private:
    struct WindowData {
        SDL_Window* sdl = nullptr;
        HostWindowId parent = 0;
        bool gone = false;  // destroyed by someone else: nothing may be asked of it any more
        bool shown = false;
        Point outer;        // screen pixels, where it was last put
    };

    void ApplyIcon(WindowData& w) {
        if (icon_.empty() || w.gone) return;
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon_.data(), iconSize_.width, iconSize_.height, 32,
                                                                  iconSize_.width * 4, SDL_PIXELFORMAT_ABGR8888);
        if (!surface) return;
        SDL_SetWindowIcon(w.sdl, surface);
        SDL_FreeSurface(surface);
    }

    // The audio made ready at start-up, once it is; made here and now if the game plays a
    // sound before it ever waits for input.
    void TakeAudio() {
        if (audioThread_) {
            SDL_WaitThread(audioThread_, nullptr);
            audioThread_ = nullptr;
        } else if (!audio_) {
            audio_ = std::make_unique<SdlAudio>();
            audio_->Prepare();
        }
    }

    static int PrepareAudio(void* audio) {
        static_cast<SdlAudio*>(audio)->Prepare();
        return 0;
    }

    FrameSizes PhysicalFrame(WindowData& w) {
        FrameSizes frame;
        if (x11_) {
            frame = x11_->Frame(w.sdl, w.shown);
        } else if (SDL_GetWindowBordersSize(w.sdl, &frame.top, &frame.left, &frame.bottom, &frame.right) != 0) {
            frame = typicalFrame_;
        }
        typicalFrame_ = frame;
        return frame;
    }

    FrameSizes InGamePixels(FrameSizes frame) const {
        return FrameSizes{frame.left / scale_, frame.top / scale_, frame.right / scale_, frame.bottom / scale_};
    }

    // Every game pixel becomes a square of scale_ x scale_ screen pixels of the same colour, so
    // the pixel art stays sharp.
    void PresentScaled(WindowData& w, SDL_Surface* surface, const uint32_t* pixels, int32_t stride, Size size,
                       const std::vector<Rect>& areas) {
        const Rect bounds =
            Intersect(Rect{0, 0, size.width, size.height}, Rect{0, 0, surface->w / scale_, surface->h / scale_});
        const int bytes = surface->format->BytesPerPixel;
        std::vector<SDL_Rect> rects;
        if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
        for (const Rect& area : areas) {
            const Rect r = Intersect(area, bounds);
            if (r.Empty()) continue;
            // The display's format once per game pixel, then copied scale_ times across and down.
            row_.resize(static_cast<size_t>(r.width) * 4);
            for (int32_t y = r.top; y < r.Bottom(); ++y) {
                SDL_ConvertPixels(r.width, 1, SDL_PIXELFORMAT_XBGR8888, pixels + static_cast<ptrdiff_t>(y) * stride + r.left,
                                  r.width * 4, surface->format->format, row_.data(), r.width * 4);
                uint8_t* first = static_cast<uint8_t*>(surface->pixels) +
                                 static_cast<ptrdiff_t>(y) * scale_ * surface->pitch +
                                 static_cast<ptrdiff_t>(r.left) * scale_ * bytes;
                uint8_t* to = first;
                for (int32_t x = 0; x < r.width; ++x) {
                    const uint8_t* from = row_.data() + static_cast<ptrdiff_t>(x) * bytes;
                    for (int32_t k = 0; k < scale_; ++k, to += bytes) std::memcpy(to, from, static_cast<size_t>(bytes));
                }
                const size_t rowBytes = static_cast<size_t>(r.width) * scale_ * bytes;
                for (int32_t k = 1; k < scale_; ++k) std::memcpy(first + static_cast<ptrdiff_t>(k) * surface->pitch, first, rowBytes);
            }
            rects.push_back(SDL_Rect{r.left * scale_, r.top * scale_, r.width * scale_, r.height * scale_});
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        if (!rects.empty()) SDL_UpdateWindowSurfaceRects(w.sdl, rects.data(), static_cast<int>(rects.size()));
    }

    WindowData* Find(HostWindowId window) {
        auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : &it->second;
    }

    HostWindowId IdOf(Uint32 sdlId) const {
        auto it = bySdlId_.find(sdlId);
        return it == bySdlId_.end() ? 0 : it->second;
    }

    // The pointer as the event saw it; the screen position comes from the raw event just before,
    // not from the pointer's state now, which a drag has already moved on from.
    void FillPointer(HostEvent& event, int x, int y) {
        event.position = Point{x / scale_, y / scale_};
        event.screen = havePointer_ ? Point{pointer_.x / scale_, pointer_.y / scale_} : GlobalMousePosition();
        havePointer_ = false;
        event.modifiers = ModifiersOf(static_cast<Uint16>(SDL_GetModState()));
    }

    // A raw X event: a window of ours destroyed by someone else ends like a close of it (the main
    // window's ends the game); a motion is taken from it whole; a button event leaves its screen
    // position for the SDL event that follows.
    bool TranslateRaw(const SDL_SysWMmsg& message, HostEvent& event) {
        if (!x11_) return false;
        unsigned long moved = 0;
        Point position;
        if (x11_->Motion(message, moved, position, pointer_)) {
            auto it = byXid_.find(moved);
            if (it == byXid_.end()) return false;
            event.kind = HostEventKind::MouseMove;
            event.window = it->second;
            havePointer_ = true;
            FillPointer(event, position.x, position.y);
            return true;
        }
        if (x11_->PointerOnScreen(message, pointer_)) {
            havePointer_ = true;
            return false;
        }
        const int type = message.msg.x11.event.type;
        if (type == KeyPress || type == KeyRelease || type == KeymapNotify) {
            keyRepeated_ = x11_->KeyRepeated(message);
            return false;
        }
        const unsigned long destroyed = x11_->DestroyedWindow(message);
        auto it = destroyed != 0 ? byXid_.find(destroyed) : byXid_.end();
        if (it == byXid_.end()) return false;
        WindowData* w = Find(it->second);
        if (!w || w->gone) return false;
        w->gone = true;
        lostWindow_ = true;
        event.window = it->second;
        event.kind = w->parent == 0 ? HostEventKind::Quit : HostEventKind::CloseRequest;
        return true;
    }

    bool Translate(const SDL_Event& e, HostEvent& event) {
        event = HostEvent{};
        switch (e.type) {
            case SDL_SYSWMEVENT:
                return e.syswm.msg != nullptr && TranslateRaw(*e.syswm.msg, event);
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
                // Taken from the raw events instead, every one of them.
                if (x11_) return false;
                event.window = IdOf(e.motion.windowID);
                if (event.window == 0) return false;
                event.kind = HostEventKind::MouseMove;
                FillPointer(event, e.motion.x, e.motion.y);
                return true;
            case SDL_KEYDOWN:
                event.window = IdOf(e.key.windowID);
                if (event.window == 0) return false;
                event.kind = HostEventKind::KeyDown;
                event.key = KeyOf(e.key.keysym.sym, e.key.keysym.mod);
                // A held key presses once: its repeats say so, also those that reach a window
                // opened meanwhile (a held Esc closes one window, not every one that opens after).
                event.repeat = e.key.repeat != 0 || keyRepeated_;
                keyRepeated_ = false;
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
    std::map<unsigned long, HostWindowId> byXid_;
    HostWindowId nextId_ = 1;
    std::unique_ptr<X11Windows> x11_;
    int32_t scale_ = 1;
    FrameSizes typicalFrame_;  // screen pixels, of the window asked last
    Point pointer_;
    bool havePointer_ = false;
    bool keyRepeated_ = false;  // said of the raw key event just before SDL's own
    bool lostWindow_ = false;   // some window was destroyed by someone else
    std::vector<uint8_t> row_;
    std::vector<uint32_t> icon_;  // SDL's ABGR8888
    Size iconSize_;
    SDL_Thread* audioThread_ = nullptr;  // making audio_ ready; audio_ is its alone until it ends
    std::unique_ptr<SdlAudio> audio_;
};

}  // namespace

std::unique_ptr<Host> CreateSdlHost(std::string* error) {
    // Without this, X11 turns the window surface into an OpenGL texture: windows get recreated,
    // dialogs drop below their parent and start-up costs several times as much.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // SDL's own handlers would turn SIGINT and SIGTERM into a quit event that waits for the event
    // loop, and restart the call the signal interrupted: the game ends on them itself, at once.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
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
