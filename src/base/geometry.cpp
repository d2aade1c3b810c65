// Rectangle arithmetic shared by the hosts, the drawing panels and the windows above them.
#include "base/geometry.h"

#include <algorithm>

namespace kelvora {

Rect Intersect(const Rect& a, const Rect& b) {
    const int32_t left = std::max(a.left, b.left);
    const int32_t top = std::max(a.top, b.top);
    const int32_t right = std::min(a.Right(), b.Right());
    const int32_t bottom = std::min(a.Bottom(), b.Bottom());
    if (right <= left || bottom <= top) return Rect{};
    return Rect{left, top, right - left, bottom - top};
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.Empty()) return b.Empty() ? Rect{} : b;
    if (b.Empty()) return a;
    const int32_t left = std::min(a.left, b.left);
    const int32_t top = std::min(a.top, b.top);
    return Rect{left, top, std::max(a.Right(), b.Right()) - left, std::max(a.Bottom(), b.Bottom()) - top};
}

}  // namespace kelvora
