// The tick count on Windows: the system's own, milliseconds since the machine started.
#include "platform/host/boot_clock.h"

#include <windows.h>

namespace kelvora {

uint32_t BootTickMs() { return static_cast<uint32_t>(GetTickCount64()); }

}  // namespace kelvora
