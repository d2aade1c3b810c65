// Presenting windows.
#include "platform/presenting.h"

#include <algorithm>

#include "platform/controls.h"

namespace kelvora {

void MarkStale(Window& window, Rect area) {
    AddArea(window.stale, Intersect(area, Rect{0, 0, window.client.width, window.client.height}));
}

void RefreshControl(Window& window, int32_t control, FontService& fonts) {
    Control& c = window.controls[static_cast<size_t>(control)];
    RenderControl(c, fonts);
    if (c.visible) MarkStale(window, c.rect);
}

void FlushWindow(Window& window, Host& host, bool heldBack) {
    for (Control& c : window.controls) {
        if (!c.panel) continue;
        const Rect changed = c.panel->TakeDirtyRect();
        if (changed.Empty() || !c.visible) continue;
        MarkStale(window, Rect{c.rect.left + changed.left, c.rect.top + changed.top, changed.width, changed.height});
    }
    for (const Rect& area : window.stale) {
        ComposeArea(window, area);
        AddArea(window.unshown, area);
    }
    window.stale.clear();
    if (window.unshown.empty() || !window.shown || heldBack) return;
    host.Present(window.host, window.framebuffer.data(), window.client.width, window.client, window.unshown);
    window.unshown.clear();
}

void ResizeClient(Window& window, Size client, Host& host) {
    client = Size{std::max(client.width, 1), std::max(client.height, 1)};
    if (client == window.client) return;
    window.client = client;
    host.ResizeWindow(window.host, client);
    ResetFramebuffer(window);
    window.unshown.clear();
}

}  // namespace kelvora
