// Presenting a window: the parts of its framebuffer that went stale, composed again from the
// controls, and the changed parts handed to the host.
#pragma once

#include <cstdint>

#include "platform/host/host.h"
#include "platform/window.h"

namespace kelvora {

class FontService;

// The area of the client is to be composed again.
void MarkStale(Window& window, Rect area);
// Renders one control again and marks it stale when it shows.
void RefreshControl(Window& window, int32_t control, FontService& fonts);
// Composes what went stale, with what the drawing panels changed, and presents it unless the
// window is not shown yet or its presentation is held back.
void FlushWindow(Window& window, Host& host, bool heldBack);
// A new client size: the host's window, a new framebuffer, everything stale.
void ResizeClient(Window& window, Size client, Host& host);

}  // namespace kelvora
