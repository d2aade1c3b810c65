// The real host: SDL2 windows with our pixels on their surfaces, SDL input, clips mixed on SDL's
// audio device and SDL message boxes. The SDL types stay inside sdl_host.cpp.
#pragma once

#include <memory>
#include <string>

#include "platform/host/host.h"

namespace kelvora {

// Null when there is no display to open windows on; `error` then says why.
std::unique_ptr<Host> CreateSdlHost(std::string* error = nullptr);

}  // namespace kelvora
