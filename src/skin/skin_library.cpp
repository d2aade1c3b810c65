// The skin library: a shared library of its own, written out beside the game and loaded at start.
// The game hands it the built-in skin once through SkinH_AttachRes; the library checks the skin
// and keeps it for as long as it is loaded.
//
// On this platform the window frames and title bars belong to the window manager, so a skin has
// nothing of the frame to repaint: the library keeps the checked settings and that is all it can
// do. The game's client areas are drawn by the game itself, whatever the skin says.
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "skin/skin_format.h"

namespace {

struct AttachedSkin {
    std::mutex lock;
    std::vector<uint8_t> bytes;
    kelvora::skin::SkinSettings settings;
};

AttachedSkin& Attached() {
    static AttachedSkin skin;
    return skin;
}

}  // namespace

extern "C" {

// Checks and keeps a skin. `password` and the three integers are accepted for the call's shape and
// not used (the built-in skin is not encrypted). Returns 1 when the skin was accepted, 0 otherwise;
// a rejected skin leaves the one attached before in place.
__attribute__((visibility("default"))) int SkinH_AttachRes(const uint8_t* data, int32_t size, const char* password,
                                                           int32_t, int32_t, int32_t) {
    (void)password;
    if (data == nullptr || size <= 0) return 0;
    kelvora::skin::SkinSettings settings;
    if (!kelvora::skin::ParseSkin(data, static_cast<size_t>(size), settings)) return 0;
    AttachedSkin& skin = Attached();
    std::lock_guard<std::mutex> guard(skin.lock);
    skin.bytes.assign(data, data + size);
    skin.settings = std::move(settings);
    return 1;
}

// The size of the attached skin, 0 when none was accepted: lets the game and its tests see that
// the call reached the library.
__attribute__((visibility("default"))) int32_t SkinH_AttachedSize() {
    AttachedSkin& skin = Attached();
    std::lock_guard<std::mutex> guard(skin.lock);
    return static_cast<int32_t>(skin.bytes.size());
}

}  // extern "C"
