// The skin library: a shared library of its own, written out beside the game and loaded at start.
// The game hands it the built-in skin once through SkinH_AttachRes; the library checks the skin
// and keeps it for as long as it is loaded.
//
// On this platform the window frames and title bars belong to the window manager, so a skin has
// nothing of the frame to repaint: the library keeps the checked skin and that is all it can do.
// The game's client areas are drawn by the game itself, whatever the skin says.
//
// Built without the C++ runtime (no exceptions, no standard containers): loading the library must
// not bring libstdc++ into a game that carries its own copy of the parts it uses.
#include <pthread.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "skin/skin_format.h"

namespace {

pthread_mutex_t attachedLock = PTHREAD_MUTEX_INITIALIZER;
uint8_t* attachedBytes = nullptr;  // the accepted skin, owned here; null when none was accepted
int32_t attachedSize = 0;

// The skin goes with the library when the game unloads it.
__attribute__((destructor)) void ReleaseAttachedSkin() {
    pthread_mutex_lock(&attachedLock);
    std::free(attachedBytes);
    attachedBytes = nullptr;
    attachedSize = 0;
    pthread_mutex_unlock(&attachedLock);
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
    if (!kelvora::skin::CheckSkin(data, static_cast<size_t>(size))) return 0;
    auto* copy = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
    if (copy == nullptr) return 0;
    std::memcpy(copy, data, static_cast<size_t>(size));
    pthread_mutex_lock(&attachedLock);
    std::free(attachedBytes);
    attachedBytes = copy;
    attachedSize = size;
    pthread_mutex_unlock(&attachedLock);
    return 1;
}

// The size of the attached skin, 0 when none was accepted: lets the game and its tests see that
// the call reached the library.
__attribute__((visibility("default"))) int32_t SkinH_AttachedSize() {
    pthread_mutex_lock(&attachedLock);
    const int32_t size = attachedSize;
    pthread_mutex_unlock(&attachedLock);
    return size;
}

}  // extern "C"
