// The platform's tick count: milliseconds since the machine started, as the game's seeding and
// timing expect of it.
#pragma once

#include <cstdint>

namespace kelvora {

// Wraps after about 49.7 days, like every 32-bit millisecond tick count.
uint32_t BootTickMs();

}  // namespace kelvora
