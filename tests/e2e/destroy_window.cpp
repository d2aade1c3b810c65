// Destroys a window of another program, as a desktop's tools or a crashing window manager can:
// the game must take it as the window's end, not go on drawing into nothing.
// Usage: destroy_window WINDOW-ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    XDestroyWindow(display, static_cast<Window>(std::strtoul(argv[1], nullptr, 0)));
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
