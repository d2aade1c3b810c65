// The honour-roll window: the ten places with their names and scores.
#pragma once

#include "platform/runtime.h"

namespace kelvora {

struct Application;

// The honour-roll window's creation handler.
void FillHonourWindow(Application& app, WindowRef window);

}  // namespace kelvora
