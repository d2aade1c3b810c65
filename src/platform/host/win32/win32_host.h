// The native Windows host: Win32 windows with our pixels in a DIB section, Win32 input with input
// methods, waveOut sound and the system's message box. The Win32 types stay inside win32_host.cpp.
#pragma once

#include <memory>
#include <string>

#include "platform/host/host.h"

namespace kelvora {

// Null when the window class cannot be registered; `error` then says why.
std::unique_ptr<Host> CreateWin32Host(std::string* error = nullptr);

}  // namespace kelvora
