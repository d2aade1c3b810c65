// Ends a window of another program the two ways a desktop can: destroys it, as a desktop's tools
// or a crashing window manager can (the game must take it as the window's end, not go on drawing
// into nothing), or, with --close, asks it to close, as a window manager's close box does.
// Usage: destroy_window [--close] WINDOW-ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool close = argc == 3 && std::strcmp(argv[1], "--close") == 0;
    if (argc != 2 && !close) return 2;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    const Window window = static_cast<Window>(std::strtoul(argv[argc - 1], nullptr, 0));
    if (close) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    } else {
        XDestroyWindow(display, window);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
