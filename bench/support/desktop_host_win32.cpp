// The window benchmarks on Windows: the native Win32 host.
#include "support/desktop_host.h"

#include <windows.h>

#include "platform/host/win32/win32_host.h"

namespace kelvora::bench {

const char* const kDesktopHostName = "Win32";

// Windows always has a desktop, but Wine started without an X display has none, and the game
// would end at its first window: try a hidden one first.
bool HasDesktop() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
}

std::unique_ptr<Host> CreateDesktopHost() { return CreateWin32Host(); }

double ProcessCpuSeconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    // FILETIME counts 100 ns steps.
    const auto steps = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(steps(kernel) + steps(user)) / 1e7;
}

double WallSeconds() {
    LARGE_INTEGER counter{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace kelvora::bench
