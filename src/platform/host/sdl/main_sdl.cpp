// Kelvora's entry point: the program directory becomes the current directory, then the game runs
// on the real display until its main window is closed.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "base/system/end_requests.h"
#include "base/system/folders.h"
#include "platform/host/font_service.h"
#include "platform/host/sdl/sdl_host.h"
#include "windows/application.h"

namespace {

// A measurement aid, not a setting: bench/measure_performance.sh names a file in
// KELVORA_READY_FILE and reads from it when the first frame was on the screen. The file is opened
// before the program directory becomes the current directory, so a relative name means what the
// caller meant.
std::FILE* OpenReadyFile() {
    const char* path = std::getenv("KELVORA_READY_FILE");
    return path != nullptr && *path != '\0' ? std::fopen(path, "w") : nullptr;
}

// Wall-clock seconds with microseconds, the form of bash's EPOCHREALTIME, then the CPU time of all
// the program's threads so far in milliseconds (those that have ended included).
void WriteReadyTime(std::FILE* ready) {
    timespec now{};
    timespec cpu{};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(ready, "%lld.%06ld %.3f\n", static_cast<long long>(now.tv_sec), now.tv_nsec / 1000,
                 static_cast<double>(cpu.tv_sec) * 1000.0 + static_cast<double>(cpu.tv_nsec) / 1e6);
    std::fclose(ready);
}

}  // namespace

int main() {
    // Before anything that can wait: a logout or Ctrl+C ends the game wherever it is.
    kelvora::EndAtOnceOnRequest();
    std::FILE* ready = OpenReadyFile();
    // The C library would give each thread that allocates a heap of its own, and keep the pages
    // the font configuration's reader used long after it ended: one heap for the few threads of a
    // game that draws on one.
    mallopt(M_ARENA_MAX, 1);
    // Fontconfig reads its files while SDL connects to the display.
    kelvora::StartReadingFontConfiguration();
    kelvora::EnterProgramDirectory();
    std::string error;
    std::unique_ptr<kelvora::Host> host = kelvora::CreateSdlHost(&error);
    if (!host) {
        std::fprintf(stderr, "Kelvora cannot open its window: %s\n", error.c_str());
        return 1;
    }
    if (ready == nullptr) return kelvora::RunKelvora(std::move(host));
    return kelvora::RunKelvora(std::move(host), [ready] { WriteReadyTime(ready); });
}
