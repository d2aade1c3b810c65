// Routing a window's input to its controls: presses on drawing panels, buttons held and
// clicked, the edit box with its caret, selection, clipboard and input method, dragging a window
// by its background, Esc, and the keyboard's focus: Tab among the controls, Space and access keys
// on buttons, and a drawing panel's cursor steered by the arrow keys and pressed by Enter or
// Space. What needs the game's handlers or ends the window comes back as a reaction for the
// runtime to carry out, since a handler may close the very window.
#pragma once

#include <cstdint>

#include "platform/host/host.h"
#include "platform/layouts.h"
#include "platform/window.h"

namespace kelvora {

class FontService;

struct WindowReaction {
    enum class Kind { None, Fire, Close };
    Kind kind = Kind::None;
    EventKind event = EventKind::Click;
    int32_t control = -1;  // -1 for the window itself
    int32_t x = 0;
    int32_t y = 0;
    uint32_t flags = 0;

    static WindowReaction Fire(EventKind event, int32_t control, int32_t x = 0, int32_t y = 0, uint32_t flags = 0) {
        return WindowReaction{Kind::Fire, event, control, x, y, flags};
    }
    static WindowReaction Close() { return WindowReaction{Kind::Close}; }
};

// What routing input needs of the system.
struct InputServices {
    Host& host;
    FontService& fonts;
};

WindowReaction RouteMouseDown(Window& window, const HostEvent& event, InputServices in);
WindowReaction RouteMouseMove(Window& window, const HostEvent& event, InputServices in);
WindowReaction RouteMouseUp(Window& window, const HostEvent& event, InputServices in);
WindowReaction RouteKey(Window& window, const HostEvent& event, InputServices in);
// Typed text and input-method compositions, into the focused edit box.
void RouteText(Window& window, const HostEvent& event, InputServices in);
// Moves the keyboard to a control (-1 for none), ending the old field's composition and hiding
// the old panel's cursor.
void FocusControl(Window& window, int32_t control, InputServices in);
// The control the keyboard goes to when the window opens: the first Tab visits, -1 for none.
int32_t FirstTabStop(const Window& window);
// Puts a panel's cursor on the cell that holds the panel pixel `at`, if it shows.
void PlaceCursor(Window& window, int32_t panel, Point at);
// After an edit box changed: its caret kept in sight, drawn again, and the input method told
// where the caret now is.
void EditChanged(Window& window, int32_t control, InputServices in);

}  // namespace kelvora
