// The real host: SDL2 windows with our pixels on their surfaces, SDL input and clips mixed on
// SDL's audio device. It has no message box of its own: SDL's, drawn with the X server's core
// fonts, shows no Chinese. The SDL types stay inside sdl_host.cpp.
#pragma once

#include <memory>
#include <string>

#include "platform/host/host.h"

namespace kelvora {

// Null when there is no display to open windows on; `error` then says why.
std::unique_ptr<Host> CreateSdlHost(std::string* error = nullptr);

}  // namespace kelvora
