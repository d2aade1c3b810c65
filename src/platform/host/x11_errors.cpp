// The X11 error handler. SDL wakes its own event wait by sending a message, over a second
// connection, to the newest window; when the player closes that window at the same moment (Esc on
// the honour roll), the server may see the message after the window is gone and answer BadWindow.
// The display library's default handler would then end the game with status 1.
#include "platform/host/x11_errors.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>

namespace kelvora {
namespace {

int OnX11Error(Display*, XErrorEvent* error) {
    // A request naming a window that has already closed has nothing left to do.
    if (error->error_code == BadWindow) return 0;
    std::fprintf(stderr, "Kelvora: the X server refused a request (error %d, request %d.%d); carrying on\n",
                 error->error_code, error->request_code, error->minor_code);
    return 0;
}

}  // namespace

bool SurviveX11Errors() {
    // Only looked up, never loaded: without X11 there is nothing to guard.
    void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return false;
    using SetHandler = XErrorHandler (*)(XErrorHandler);
    const auto setHandler = reinterpret_cast<SetHandler>(dlsym(library, "XSetErrorHandler"));
    if (setHandler) setHandler(&OnX11Error);
    // The library stays loaded: SDL holds it too.
    dlclose(library);
    return setHandler != nullptr;
}

}  // namespace kelvora
