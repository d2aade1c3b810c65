// The browser host: every game window a canvas in a frame the page draws, input the page queues,
// pauses that give the browser its turn (Asyncify), clips on Web Audio. The page's half is
// page/kelvora_page.js; only this file and main_web.cpp talk to it.
#pragma once

#include <memory>

#include "platform/host/host.h"

namespace kelvora {

std::unique_ptr<Host> CreateWebHost();

}  // namespace kelvora
