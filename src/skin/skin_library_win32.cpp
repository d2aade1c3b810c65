// The skin library as a Windows DLL, written out beside the game and loaded at start. The game
// hands it the built-in skin once through SkinH_AttachRes; the library checks the skin and keeps
// it for as long as it is loaded. The game's client areas are drawn by the game itself, whatever
// the skin says.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "skin/skin_format.h"

namespace {

SRWLOCK attachedLock = SRWLOCK_INIT;
uint8_t* attachedBytes = nullptr;  // the accepted skin, owned here; null when none was accepted
int32_t attachedSize = 0;

}  // namespace

// The skin goes with the library when the game unloads it.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        AcquireSRWLockExclusive(&attachedLock);
        std::free(attachedBytes);
        attachedBytes = nullptr;
        attachedSize = 0;
        ReleaseSRWLockExclusive(&attachedLock);
    }
    return TRUE;
}

extern "C" {

// Checks and keeps a skin. `password` and the three integers are accepted for the call's shape and
// not used (the built-in skin is not encrypted). Returns 1 when the skin was accepted, 0 otherwise;
// a rejected skin leaves the one attached before in place.
__declspec(dllexport) int SkinH_AttachRes(const uint8_t* data, int32_t size, const char* password, int32_t, int32_t,
                                          int32_t) {
    (void)password;
    if (data == nullptr || size <= 0) return 0;
    if (!kelvora::skin::CheckSkin(data, static_cast<size_t>(size))) return 0;
    auto* copy = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
    if (copy == nullptr) return 0;
    std::memcpy(copy, data, static_cast<size_t>(size));
    AcquireSRWLockExclusive(&attachedLock);
    std::free(attachedBytes);
    attachedBytes = copy;
    attachedSize = size;
    ReleaseSRWLockExclusive(&attachedLock);
    return 1;
}

// The size of the attached skin, 0 when none was accepted: lets the game and its tests see that
// the call reached the library.
__declspec(dllexport) int32_t SkinH_AttachedSize() {
    AcquireSRWLockShared(&attachedLock);
    const int32_t size = attachedSize;
    ReleaseSRWLockShared(&attachedLock);
    return size;
}

}  // extern "C"
