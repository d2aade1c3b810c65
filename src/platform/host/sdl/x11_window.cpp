// Our windows as the X window manager sees them, through the display library SDL has loaded
// (looked up, never linked: on another video driver none of this runs).
#include "platform/host/sdl/x11_window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace kelvora {
namespace {

// The display-library functions used here, found by name in the copy SDL loaded.
struct Xlib {
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XChangeProperty) changeProperty = nullptr;
    decltype(&XDeleteProperty) deleteProperty = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XSync) sync = nullptr;
    decltype(&XFlush) flush = nullptr;
    decltype(&XSendEvent) sendEvent = nullptr;
    decltype(&XMoveWindow) moveWindow = nullptr;
    decltype(&XTranslateCoordinates) translateCoordinates = nullptr;
    decltype(&XSetTransientForHint) setTransientForHint = nullptr;
    decltype(&Xutf8TextListToTextProperty) utf8TextListToTextProperty = nullptr;
    decltype(&XSetWMName) setWMName = nullptr;
    decltype(&XResourceManagerString) resourceManagerString = nullptr;
    decltype(&XSetErrorHandler) setErrorHandler = nullptr;
};

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// Until SDL has loaded the library there is nothing to find, and the next call looks again; once
// found, the functions are kept.
const Xlib* LoadXlib() {
    static Xlib x;
    static bool complete = false;
    if (complete) return &x;
    void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) return nullptr;
    complete =
        Find(library, "XInternAtom", x.internAtom) && Find(library, "XChangeProperty", x.changeProperty) &&
        Find(library, "XDeleteProperty", x.deleteProperty) &&
        Find(library, "XGetWindowProperty", x.getWindowProperty) && Find(library, "XFree", x.free) &&
        Find(library, "XSync", x.sync) && Find(library, "XFlush", x.flush) &&
        Find(library, "XSendEvent", x.sendEvent) && Find(library, "XMoveWindow", x.moveWindow) &&
        Find(library, "XTranslateCoordinates", x.translateCoordinates) &&
        Find(library, "XSetTransientForHint", x.setTransientForHint) &&
        Find(library, "Xutf8TextListToTextProperty", x.utf8TextListToTextProperty) &&
        Find(library, "XSetWMName", x.setWMName) &&
        Find(library, "XResourceManagerString", x.resourceManagerString) &&
        Find(library, "XSetErrorHandler", x.setErrorHandler);
    // SDL keeps the library loaded for as long as the process runs.
    dlclose(library);
    return complete ? &x : nullptr;
}

// SDL wakes its own event wait by sending a message, over a second connection, to the newest
// window; when the player closes that window at the same moment (Esc on the honour roll), the
// server may see the message after the window is gone and answer BadWindow. The display library's
// default handler would then end the game with status 1.
int OnX11Error(Display*, XErrorEvent* error) {
    // A request naming a window that has already closed has nothing left to do.
    if (error->error_code == BadWindow) return 0;
    std::fprintf(stderr, "Kelvora: the X server refused a request (error %d, request %d.%d); carrying on\n",
                 error->error_code, error->request_code, error->minor_code);
    return 0;
}

// The Motif window-manager hints, which every manager reads for the title-bar buttons.
constexpr unsigned long kMotifFunctions = 1;
constexpr unsigned long kMotifDecorations = 2;
constexpr unsigned long kMotifFunctionMove = 4;
constexpr unsigned long kMotifFunctionMinimize = 8;
constexpr unsigned long kMotifFunctionClose = 32;
constexpr unsigned long kMotifDecorBorder = 2;
constexpr unsigned long kMotifDecorTitle = 8;
constexpr unsigned long kMotifDecorMenu = 16;
constexpr unsigned long kMotifDecorMinimize = 32;

// How long a window manager gets to say what frame it gives a window. Openbox answers within a
// few milliseconds; one that never answers costs this once per window.
constexpr Uint32 kFrameWaitMs = 250;

class X11WindowsImpl final : public X11Windows {
public:
    X11WindowsImpl(const Xlib& x, Display* display) : x_(x), display_(display) {}

    void Describe(SDL_Window* window, SDL_Window* owner, bool minimizeBox, const std::string& utf8Title) override {
        const ::Window xid = Xid(window);
        if (xid == 0) return;
        const bool dialog = owner != nullptr;
        unsigned long motif[5] = {kMotifFunctions | kMotifDecorations,
                                  kMotifFunctionMove | kMotifFunctionClose | (minimizeBox ? kMotifFunctionMinimize : 0),
                                  kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu |
                                      (minimizeBox ? kMotifDecorMinimize : 0),
                                  0, 0};
        const Atom motifAtom = Intern("_MOTIF_WM_HINTS");
        x_.changeProperty(display_, xid, motifAtom, motifAtom, 32, PropModeReplace,
                          reinterpret_cast<unsigned char*>(motif), 5);
        const Atom type = Intern(dialog ? "_NET_WM_WINDOW_TYPE_DIALOG" : "_NET_WM_WINDOW_TYPE_NORMAL");
        x_.changeProperty(display_, xid, Intern("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(&type), 1);
        if (dialog) {
            // Set before the window is mapped, the state is the manager's to keep from then on.
            const Atom modal = Intern("_NET_WM_STATE_MODAL");
            x_.changeProperty(display_, xid, Intern("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                              reinterpret_cast<const unsigned char*>(&modal), 1);
            x_.setTransientForHint(display_, xid, Xid(owner));
        } else {
            x_.deleteProperty(display_, xid, XA_WM_TRANSIENT_FOR);
        }
        SetWmName(xid, utf8Title);
        x_.flush(display_);
    }

    FrameSizes Frame(SDL_Window* window, bool shown) override {
        const ::Window xid = Xid(window);
        bool canAsk = false;
        if (xid == 0 || !ManagerKnowsFrames(canAsk)) return FrameSizes{};
        FrameSizes frame;
        if (ReadFrame(xid, frame)) return frame;
        if (!canAsk && !shown) return lastFrame_;
        // Waited for once per window: a manager that did not answer then will not answer later.
        Pending& pending = pending_[xid];
        if (pending.asked) return pending.fallback;
        pending.asked = true;
        if (canAsk) {
            XEvent request{};
            request.xclient.type = ClientMessage;
            request.xclient.window = xid;
            request.xclient.message_type = Intern("_NET_REQUEST_FRAME_EXTENTS");
            request.xclient.format = 32;
            const ::Window root = DefaultRootWindow(display_);
            x_.sendEvent(display_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
        }
        const Uint32 start = SDL_GetTicks();
        while (SDL_GetTicks() - start < kFrameWaitMs) {
            x_.sync(display_, False);
            if (ReadFrame(xid, frame)) return frame;
            SDL_Delay(2);
        }
        pending.fallback = lastFrame_;
        return lastFrame_;
    }

    void MoveOuter(SDL_Window* window, Point outerTopLeft) override {
        const ::Window xid = Xid(window);
        if (xid == 0) return;
        x_.moveWindow(display_, xid, outerTopLeft.x, outerTopLeft.y);
        x_.flush(display_);
    }

    Point ClientTopLeft(SDL_Window* window) override {
        const ::Window xid = Xid(window);
        int x = 0;
        int y = 0;
        ::Window child = 0;
        if (xid != 0) x_.translateCoordinates(display_, xid, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        return Point{x, y};
    }

    bool PointerOnScreen(const SDL_SysWMmsg& message, Point& screen) override {
        if (message.subsystem != SDL_SYSWM_X11) return false;
        const XEvent& e = message.msg.x11.event;
        if (e.type == MotionNotify) {
            screen = Point{e.xmotion.x_root, e.xmotion.y_root};
            return true;
        }
        if (e.type == ButtonPress || e.type == ButtonRelease) {
            screen = Point{e.xbutton.x_root, e.xbutton.y_root};
            return true;
        }
        return false;
    }

    bool Motion(const SDL_SysWMmsg& message, unsigned long& xid, Point& position, Point& screen) override {
        if (message.subsystem != SDL_SYSWM_X11) return false;
        const XEvent& e = message.msg.x11.event;
        if (e.type != MotionNotify) return false;
        xid = e.xmotion.window;
        position = Point{e.xmotion.x, e.xmotion.y};
        screen = Point{e.xmotion.x_root, e.xmotion.y_root};
        return true;
    }

    unsigned long DestroyedWindow(const SDL_SysWMmsg& message) override {
        if (message.subsystem != SDL_SYSWM_X11) return 0;
        const XEvent& e = message.msg.x11.event;
        if (e.type == DestroyNotify) pending_.erase(e.xdestroywindow.window);
        return e.type == DestroyNotify ? e.xdestroywindow.window : 0;
    }

    bool KeyRepeated(const SDL_SysWMmsg& message) override {
        if (message.subsystem != SDL_SYSWM_X11) return false;
        const XEvent& e = message.msg.x11.event;
        if (e.type == KeymapNotify) {
            for (auto& [code, key] : keys_) {
                if ((e.xkeymap.key_vector[code / 8] & (1 << (code % 8))) == 0) key.held = false;
            }
            return false;
        }
        if (e.type != KeyPress && e.type != KeyRelease) return false;
        KeyState& key = keys_[e.xkey.keycode];
        const Time at = e.xkey.time;
        if (e.type == KeyRelease) {
            key.releasedAt = at;
            key.held = false;
            return false;
        }
        // Repeats follow each other within a fraction of a second; a release the server sends
        // with the very time of the next press belongs to the repeat, not to the player's hand.
        const bool repeated = key.seen && at - key.pressedAt < kRepeatGapMs && (key.held || key.releasedAt == at);
        key.seen = true;
        key.held = true;
        key.pressedAt = at;
        return repeated;
    }

    bool ManagerRuns() override {
        std::vector<unsigned long> check;
        return ReadCardinals(DefaultRootWindow(display_), Intern("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW, check) &&
               !check.empty();
    }

    unsigned long XidOf(SDL_Window* window) override { return Xid(window); }

    int32_t DesktopDpi() override {
        const char* resources = x_.resourceManagerString(display_);
        if (resources == nullptr) return 0;
        for (const char* line = resources; line && *line; line = std::strchr(line, '\n')) {
            if (*line == '\n') ++line;
            if (std::strncmp(line, "Xft.dpi:", 8) == 0) return static_cast<int32_t>(std::strtod(line + 8, nullptr) + 0.5);
        }
        return 0;
    }

private:
    struct Pending {
        bool asked = false;
        FrameSizes fallback;
    };

    Atom Intern(const char* name) {
        auto it = atoms_.find(name);
        if (it != atoms_.end()) return it->second;
        const Atom atom = x_.internAtom(display_, name, False);
        atoms_[name] = atom;
        return atom;
    }

    ::Window Xid(SDL_Window* window) {
        if (window == nullptr) return 0;
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
        return info.info.x11.window;
    }

    // A list of 32-bit items of the given type; false when the property is missing or of another form.
    bool ReadCardinals(::Window xid, Atom property, Atom type, std::vector<unsigned long>& items) {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (x_.getWindowProperty(display_, xid, property, 0, 1024, False, type, &actualType, &format, &count, &after,
                                 &data) != Success) {
            return false;
        }
        const bool ok = data != nullptr && actualType == type && format == 32;
        if (ok) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items.assign(values, values + count);
        }
        if (data) x_.free(data);
        return ok;
    }

    // A window manager runs and keeps frame extents on the windows it frames; `canAsk` says
    // whether it also answers for a window it has not framed yet.
    bool ManagerKnowsFrames(bool& canAsk) {
        const ::Window root = DefaultRootWindow(display_);
        std::vector<unsigned long> check;
        if (!ReadCardinals(root, Intern("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW, check) || check.empty()) return false;
        std::vector<unsigned long> supported;
        if (!ReadCardinals(root, Intern("_NET_SUPPORTED"), XA_ATOM, supported)) return false;
        const Atom extents = Intern("_NET_FRAME_EXTENTS");
        const Atom request = Intern("_NET_REQUEST_FRAME_EXTENTS");
        bool known = false;
        for (unsigned long atom : supported) {
            known = known || atom == extents;
            canAsk = canAsk || atom == request;
        }
        return known;
    }

    bool ReadFrame(::Window xid, FrameSizes& frame) {
        std::vector<unsigned long> extents;
        if (!ReadCardinals(xid, Intern("_NET_FRAME_EXTENTS"), XA_CARDINAL, extents) || extents.size() < 4) return false;
        frame = FrameSizes{static_cast<int32_t>(extents[0]), static_cast<int32_t>(extents[2]),
                           static_cast<int32_t>(extents[1]), static_cast<int32_t>(extents[3])};
        lastFrame_ = frame;
        return true;
    }

    // SDL types WM_NAME as Latin-1 text while filling it with UTF-8 bytes. The compound text
    // form, or the plain one where the title is Latin-1, is what every tool can read.
    void SetWmName(::Window xid, const std::string& utf8Title) {
        char* list[1] = {const_cast<char*>(utf8Title.c_str())};
        XTextProperty property{};
        if (x_.utf8TextListToTextProperty(display_, list, 1, XStdICCTextStyle, &property) >= Success) {
            x_.setWMName(display_, xid, &property);
            if (property.value) x_.free(property.value);
            return;
        }
        // The display library could not convert it: UTF-8 said as such is still readable by most.
        x_.changeProperty(display_, xid, XA_WM_NAME, Intern("UTF8_STRING"), 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(utf8Title.data()),
                          static_cast<int>(utf8Title.size()));
    }

    const Xlib& x_;
    Display* display_;
    std::map<std::string, Atom> atoms_;
    std::map<::Window, Pending> pending_;
    FrameSizes lastFrame_;
    // The longest pause between two presses of a held key: X servers repeat 25 times a second
    // after a first pause of some 660 ms.
    static constexpr Time kRepeatGapMs = 1000;
    struct KeyState {
        bool seen = false;
        bool held = false;
        Time pressedAt = 0;
        Time releasedAt = 0;
    };
    std::map<unsigned int, KeyState> keys_;  // by key code
};

}  // namespace

std::unique_ptr<X11Windows> X11Windows::Connect(SDL_Window* any) {
    const Xlib* x = LoadXlib();
    if (x == nullptr || any == nullptr) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(any, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return std::make_unique<X11WindowsImpl>(*x, info.info.x11.display);
}

bool SurviveX11Errors() {
    const Xlib* x = LoadXlib();
    if (x == nullptr) return false;
    x->setErrorHandler(&OnX11Error);
    return true;
}

}  // namespace kelvora
