// What the window benchmarks take from the system they run on: its real desktop host (SDL on
// Linux, Win32 on Windows), the CPU time the process has used, and a wall clock.
#pragma once

#include <memory>

#include "platform/host/host.h"

namespace kelvora::bench {

// The host's name as the benchmarks that open real windows carry it: "Sdl" or "Win32".
extern const char* const kDesktopHostName;

// False where no window can be shown (no X display for SDL, or for Wine).
bool HasDesktop();

// Null when the host cannot open windows here.
std::unique_ptr<Host> CreateDesktopHost();

// User and system time of every thread of the process so far.
double ProcessCpuSeconds();

// A clock that never jumps, for timing one step by hand. (Not <chrono>: its unit names have no
// GBK form, which the game's literals are compiled to.)
double WallSeconds();

}  // namespace kelvora::bench
