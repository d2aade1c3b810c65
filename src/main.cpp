// Kelvora's entry point: the program directory becomes the current directory, then the game runs
// on the real display until its main window is closed.
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/host/sdl_host.h"
#include "windows/application.h"

int main() {
    kelvora::EnterProgramDirectory();
    std::string error;
    std::unique_ptr<kelvora::Host> host = kelvora::CreateSdlHost(&error);
    if (!host) {
        std::fprintf(stderr, "Kelvora cannot open its window: %s\n", error.c_str());
        return 1;
    }
    return kelvora::RunKelvora(std::move(host));
}
