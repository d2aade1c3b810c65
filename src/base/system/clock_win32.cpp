// The clock on Windows: the system's own tick count, milliseconds since the machine started.
#include "base/system/clock.h"

#include <windows.h>

namespace kelvora {

int64_t BootClockMs() { return static_cast<int64_t>(GetTickCount64()); }

}  // namespace kelvora
