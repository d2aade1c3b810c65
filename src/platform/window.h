// An open window: its controls, its client framebuffer and the parts of it that changed since
// they were last shown.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/controls.h"
#include "platform/host/host.h"
#include "platform/layouts.h"

namespace kelvora {

using WindowId = uint32_t;

struct Window {
    WindowId id = 0;
    const WindowLayout* layout = nullptr;
    HostWindowId host = 0;
    WindowId parent = 0;
    Size client;
    std::vector<uint32_t> framebuffer;   // the composed client area, 0x00BBGGRR
    std::vector<Control> controls;       // layout order
    std::vector<Rect> stale;             // to compose again from the controls
    std::vector<Rect> unshown;           // composed but not yet presented
    bool shown = false;
    bool closePending = false;
    int32_t disabled = 0;                // modal windows above it
    int32_t focus = -1;                  // the control the keyboard goes to
    bool keyboardCues = false;           // the focus is shown: the keyboard was used since the mouse
    int32_t capture = -1;                // the button held down
    bool selecting = false;              // a mouse selection in the focused edit box
    bool dragging = false;
    Point dragPointerStart;
    Point dragWindowStart;
};

// Adds a rectangle to a change list, merging it with those it touches; a long list becomes one.
void AddArea(std::vector<Rect>& areas, Rect area);

// The order controls are painted in, bottom first: labels, then buttons and edit boxes, then
// drawing panels, each group in layout order. So the board covers the credits line it overlaps.
std::vector<int32_t> PaintOrder(const Window& window);

// Paints the background and every visible control over the area of the framebuffer.
void ComposeArea(Window& window, Rect area);

// Lets go of the framebuffer's pixels and marks everything stale; the next composition takes them
// again at the client size.
void ResetFramebuffer(Window& window);

// The topmost visible control under a client point, -1 for the bare background.
int32_t ControlAt(const Window& window, Point point);

}  // namespace kelvora
