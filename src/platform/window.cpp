// Composing a window's framebuffer from its controls.
#include "platform/window.h"

#include <algorithm>

namespace kelvora {
namespace {

int32_t Layer(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return 0;
        case ControlKind::Button:
        case ControlKind::EditBox:
            return 1;
        case ControlKind::DrawPanel:
            return 2;
        case ControlKind::Timer:
            return -1;
    }
    return -1;
}

bool Touch(const Rect& a, const Rect& b) {
    return a.left <= b.Right() && b.left <= a.Right() && a.top <= b.Bottom() && b.top <= a.Bottom();
}

}  // namespace

void AddArea(std::vector<Rect>& areas, Rect area) {
    if (area.Empty()) return;
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = areas.begin(); it != areas.end(); ++it) {
            if (Touch(*it, area)) {
                area = Union(*it, area);
                areas.erase(it);
                merged = true;
                break;
            }
        }
    }
    areas.push_back(area);
    if (areas.size() > 8) {
        Rect all;
        for (const Rect& r : areas) all = Union(all, r);
        areas.assign(1, all);
    }
}

std::vector<int32_t> PaintOrder(const Window& window) {
    std::vector<int32_t> order;
    for (int32_t layer = 0; layer <= 2; ++layer) {
        for (size_t i = 0; i < window.controls.size(); ++i) {
            if (Layer(window.controls[i].layout.kind) == layer) order.push_back(static_cast<int32_t>(i));
        }
    }
    return order;
}

void ComposeArea(Window& window, Rect area) {
    const int32_t stride = window.client.width;
    area = Intersect(area, Rect{0, 0, window.client.width, window.client.height});
    if (area.Empty()) return;
    window.framebuffer.resize(static_cast<size_t>(window.client.width) * static_cast<size_t>(window.client.height));
    const uint32_t back = window.layout->backColour == kDefaultColour ? kButtonFaceColour : window.layout->backColour;
    for (int32_t y = area.top; y < area.Bottom(); ++y) {
        std::fill_n(window.framebuffer.begin() + static_cast<ptrdiff_t>(y) * stride + area.left, area.width, back);
    }
    for (int32_t index : PaintOrder(window)) {
        const Control& c = window.controls[static_cast<size_t>(index)];
        if (!c.visible) continue;
        const Rect r = Intersect(area, c.rect);
        if (r.Empty()) continue;
        const uint32_t* source = nullptr;
        int32_t sourceStride = 0;
        if (c.panel) {
            source = c.panel->Pixels();
            sourceStride = c.panel->Stride();
            // A panel resized out of step with its rectangle shows only what it has.
            if (c.panel->Width() < c.rect.width || c.panel->Height() < c.rect.height) continue;
        } else if (!c.pixels.empty()) {
            source = c.pixels.data();
            sourceStride = c.rect.width;
        }
        if (!source) continue;
        for (int32_t y = r.top; y < r.Bottom(); ++y) {
            const uint32_t* from = source + static_cast<ptrdiff_t>(y - c.rect.top) * sourceStride + (r.left - c.rect.left);
            std::transform(from, from + r.width, window.framebuffer.begin() + static_cast<ptrdiff_t>(y) * stride + r.left,
                           [](uint32_t p) { return p & 0x00FFFFFFu; });
        }
    }
    // Over the panels as shown, never into their pictures: what the game drew stays as it drew it.
    for (const Control& c : window.controls) DrawCursor(c, area, window.framebuffer.data(), stride);
}

void ResetFramebuffer(Window& window) {
    // The pixels come back when the window is next composed, at its size then: the main window
    // takes its client size only once its controls are made, and a window made smaller keeps
    // only what it shows.
    std::vector<uint32_t>().swap(window.framebuffer);
    window.stale.clear();
    window.stale.push_back(Rect{0, 0, window.client.width, window.client.height});
}

int32_t ControlAt(const Window& window, Point point) {
    const std::vector<int32_t> order = PaintOrder(window);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const Control& c = window.controls[static_cast<size_t>(*it)];
        if (c.visible && c.rect.Contains(point.x, point.y)) return *it;
    }
    return -1;
}

}  // namespace kelvora
