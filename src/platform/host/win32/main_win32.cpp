// Kelvora's entry point on Windows: the program's folder becomes the current directory, then the
// game runs in native windows until its main window is closed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/system/folders.h"
#include "platform/host/win32/win32_host.h"
#include "windows/application.h"

namespace {

// A measurement aid, not a setting: the start-up measurement names a file in KELVORA_READY_FILE
// and reads from it when the first frame was on the screen. Opened before the program folder
// becomes the current directory, so a relative name means what the caller meant.
std::FILE* OpenReadyFile() {
    const wchar_t* path = _wgetenv(L"KELVORA_READY_FILE");
    return path != nullptr && *path != L'\0' ? _wfopen(path, L"w") : nullptr;
}

// Milliseconds since the machine started (with a fraction), then the CPU time of the process so
// far in milliseconds.
void WriteReadyTime(std::FILE* ready) {
    LARGE_INTEGER counter{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const double cpuMs = static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
    std::fprintf(ready, "%.3f %.3f\n", static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart),
                 cpuMs);
    std::fclose(ready);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::FILE* ready = OpenReadyFile();
    kelvora::EnterProgramDirectory();
    std::string error;
    std::unique_ptr<kelvora::Host> host = kelvora::CreateWin32Host(&error);
    if (!host) {
        MessageBoxW(nullptr, L"Kelvora cannot open its window.", L"Kelvora", MB_OK | MB_ICONERROR);
        return 1;
    }
    if (ready == nullptr) return kelvora::RunKelvora(std::move(host));
    return kelvora::RunKelvora(std::move(host), [ready] { WriteReadyTime(ready); });
}
