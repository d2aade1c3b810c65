// What SDL does not tell the X window manager about our windows, and what it does not tell us
// about theirs: frame extents, title-bar buttons, dialog type and modality, titles every tool can
// read, the desktop's scale, and events SDL drops (a window destroyed by someone else); and the
// X11 errors that must not end the game.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host/host.h"

struct SDL_Window;
struct SDL_SysWMmsg;

namespace kelvora {

class X11Windows {
public:
    // Null unless SDL drives an X11 display.
    static std::unique_ptr<X11Windows> Connect(SDL_Window* any);
    virtual ~X11Windows() = default;

    // Before a window is first shown: its type, buttons, owner and modality, and its title as
    // WM_NAME in a type every tool reads. A window with an owner is a modal dialog.
    virtual void Describe(SDL_Window* window, SDL_Window* owner, bool minimizeBox, const std::string& utf8Title) = 0;
    // The frame the window manager gives, or will give, the window. For a window not yet framed the
    // manager is asked and waited for briefly (a manager that cannot be asked is waited for once the
    // window is shown); without a window manager it is no frame at all.
    virtual FrameSizes Frame(SDL_Window* window, bool shown) = 0;
    // Moves the outer rectangle's corner, whatever the frame, by the manager's own gravity rule.
    virtual void MoveOuter(SDL_Window* window, Point outerTopLeft) = 0;
    // The client area's corner on the screen, asked of the server.
    virtual Point ClientTopLeft(SDL_Window* window) = 0;
    // Facts carried by a raw X event: the pointer's own screen position in it, the motion it
    // reports (SDL drops a motion that leaves the pointer where it was in its window, as every
    // motion of a window dragged along with the pointer does), or the window it destroyed (0 when
    // it is none of these).
    virtual bool PointerOnScreen(const SDL_SysWMmsg& message, Point& screen) = 0;
    virtual bool Motion(const SDL_SysWMmsg& message, unsigned long& xid, Point& position, Point& screen) = 0;
    virtual unsigned long DestroyedWindow(const SDL_SysWMmsg& message) = 0;
    // A key press that the server repeats while the key is held, told from a raw key event or a
    // report of the keys held (which comes as a window gains the focus or the pointer). SDL's own
    // repeat flag is lost whenever the focus moves to another window, as it does when a window
    // opens; and a release that reached no window of ours (the focus gone with a closed window)
    // must not make the next press look like a repeat.
    virtual bool KeyRepeated(const SDL_SysWMmsg& message) = 0;
    // A window manager runs: it, not the program, gives the focus to a window.
    virtual bool ManagerRuns() = 0;
    virtual unsigned long XidOf(SDL_Window* window) = 0;

    // The desktop's text resolution (Xft.dpi), 0 when the desktop sets none.
    virtual int32_t DesktopDpi() = 0;
};

// Keeps X11 protocol errors from ending the game: the display library's own handler ends the
// process on any error, and some are harmless races a player must never pay for. Installs our
// handler when the X11 display library is loaded in this process (SDL loads it for its X11
// driver); says whether it did.
bool SurviveX11Errors();

}  // namespace kelvora
