// The runtime: the one object that holds the host, the fonts, the pictures, the random generator
// and the open windows with their controls and timers, and runs the event loop that calls the
// game's handlers by name.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "base/fatal.h"
#include "platform/draw_panel.h"
#include "platform/host/font_service.h"
#include "platform/host/host.h"
#include "platform/layouts.h"
#include "platform/picture.h"
#include "base/random.h"
#include "base/text.h"
#include "platform/window.h"

namespace kelvora {

class Runtime;

// Refers to an open window; goes stale (and every operation on it does nothing) once it closes.
struct WindowRef {
    WindowId id = 0;
    explicit operator bool() const { return id != 0; }
    bool operator==(const WindowRef&) const = default;
};

struct ControlRef {
    WindowId window = 0;
    int32_t index = -1;
    explicit operator bool() const { return window != 0 && index >= 0; }
    bool operator==(const ControlRef&) const = default;
};

struct EventArgs {
    Runtime& runtime;
    EventKind event;
    WindowRef window;
    ControlRef control;        // none for window events
    int32_t x = 0;             // a press on a panel: panel pixels
    int32_t y = 0;
    uint32_t flags = 0;        // Ctrl 1, Shift 2, Alt 4
};

using EventHandler = std::function<void(const EventArgs&)>;

enum class Property {
    Left,
    Top,
    Width,
    Height,
    Visible,
    Caption,
    Text,
    Interval,
    AutoRedraw,
    PenWidth,
    PenColour,
    BrushType,
    BrushColour,
    TextColour,
};

class Runtime {
public:
    explicit Runtime(std::unique_ptr<Host> host);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    Host& GetHost() { return *host_; }
    FontService& Fonts() { return fonts_; }
    PictureStore& Pictures() { return pictures_; }
    RandomGenerator& Random() { return random_; }

    // The game's routines, by the names the layouts bind. A name is registered once: a second
    // registration is refused (false), and stops a debug build, since one of the two routines
    // would silently never run. The runtime registers CentreOnMainWindow itself.
    bool RegisterHandler(std::string_view name, EventHandler handler);
    // The names the layout's window and controls bind that no routine is registered under, each
    // once, in layout order.
    std::vector<Text> UnboundHandlers(const WindowLayout& layout) const;

    // Builds the window from its layout, centred on the screen, runs its created event, shows it.
    // Modal: runs a nested event loop in which the parent takes no input, and returns once the
    // window is gone. The first window loaded is the main window.
    // Every name the layout binds is to be registered by then. A debug build stops here when one
    // is not, rather than at a click that would quietly do nothing; a release build loads the
    // window and that event does nothing, so a player never loses a game to it.
    WindowRef LoadWindow(const WindowLayout& layout, WindowRef parent = {}, bool modal = false);
    // Takes effect when the running handler has returned to the event loop. Closing the main
    // window ends the event loop.
    void CloseWindow(WindowRef window);
    bool IsOpen(WindowRef window) const;
    WindowRef MainWindow() const { return WindowRef{mainWindow_}; }
    // The most recently opened window still open.
    WindowRef TopWindow() const;

    // Runs until the main window has closed.
    void RunEventLoop();
    // For tests and tools: runs the loop for ms of the host's time, or until done() holds.
    void RunFor(int32_t ms);
    bool RunUntil(const std::function<bool()>& done, int32_t maxMs);
    bool Ended() const { return ended_; }
    // Called when the main window closes while handlers are still running (say, from inside a
    // modal window): the program is to end at once. The real program exits here; without a hook
    // every loop unwinds and later loads and pauses return at once.
    void SetEndHook(std::function<void()> hook) { endHook_ = std::move(hook); }

    // Shows what was drawn, then pauses; no event is handled meanwhile.
    void SleepMs(int32_t ms);
    uint32_t TickMs();
    int32_t PlaySound(std::span<const uint8_t> clip);

    void LockRedraw(WindowRef window);
    void UnlockRedraw();
    // Presents the changed parts of every window now.
    void Present();

    ControlRef ControlByName(WindowRef window, std::string_view name) const;
    // The first control in layout order whose tag reads as n; none is the fatal report.
    ControlRef ControlByTag(WindowRef window, int32_t n);
    WindowRef WindowOf(ControlRef control) const { return IsOpen(WindowRef{control.window}) ? WindowRef{control.window} : WindowRef{}; }
    // The drawing panel of a DrawPanel control; null for anything else.
    DrawPanel* Panel(ControlRef control);
    // Puts a panel's keyboard cursor, while it shows, on the cell that holds the panel pixel `at`:
    // for the handler of the cursor's appearance.
    void PlaceCursor(ControlRef panel, Point at);

    int32_t GetProperty(ControlRef control, Property property) const;
    Text GetTextProperty(ControlRef control, Property property) const;
    void SetProperty(ControlRef control, Property property, int32_t value);
    void SetProperty(ControlRef control, Property property, std::string_view value);
    // Windows: left, top, width and height of the outer rectangle; visible.
    int32_t GetProperty(WindowRef window, Property property);
    void SetProperty(WindowRef window, Property property, int32_t value);

    int32_t ClientWidth(WindowRef window) const;
    int32_t ClientHeight(WindowRef window) const;
    // The colour key of a layered window; false when the window is not one (the result is not used).
    bool SetColourKey(WindowRef window, uint32_t colour);
    // Places the window over the centre of the main window.
    void CentreOnMainWindow(WindowRef window);

    // For tests: the host's window behind one of ours, and a control's state.
    HostWindowId HostWindowOf(WindowRef window) const;
    const Control* ControlState(ControlRef control) const;
    const Window* WindowState(WindowRef window) const;

private:
    Window* Find(WindowId id);
    const Window* Find(WindowId id) const;
    Control* FindControl(ControlRef ref);
    const Control* FindControl(ControlRef ref) const;
    Window* FindByHost(HostWindowId host);
    int64_t Now();
    void Call(const Text& handler, const EventArgs& args);
    void Fire(WindowId window, int32_t control, EventKind event, int32_t x = 0, int32_t y = 0, uint32_t flags = 0);

    void RunLoop(const std::function<bool()>& stop, int64_t deadlineMs);
    bool DeliverDueTimers();
    int64_t NextTimerDue() const;
    void HandleEvent(const HostEvent& event);

    void Destroy(WindowId id);
    void ProcessPendingCloses();
    void MainWindowGone();
    // Presents the window's changes unless its presentation is held back.
    void Flush(Window& window);
    // The fatal report of this run: the system's own box where the host has one every player can
    // read, otherwise the game's drawing of it; standard error where neither can be shown.
    void ShowFatalReport(const Text& text);

    std::unique_ptr<Host> host_;
    FontService fonts_;
    PictureStore pictures_;
    RandomGenerator random_;
    std::map<Text, EventHandler, std::less<>> handlers_;
    std::map<WindowId, std::unique_ptr<Window>> windows_;
    std::vector<WindowId> openOrder_;
    WindowId nextWindowId_ = 1;
    WindowId mainWindow_ = 0;
    WindowId lockedWindow_ = 0;
    int32_t handlerDepth_ = 0;
    int32_t loopDepth_ = 0;
    bool ended_ = false;
    std::function<void()> endHook_;
    uint32_t lastTick_ = 0;
    int64_t nowMs_ = 0;
    FatalMessageBox previousFatalBox_;
};

}  // namespace kelvora
