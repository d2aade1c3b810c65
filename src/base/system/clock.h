// The one clock of the program: milliseconds since the machine started, for the game's tick
// count and seeding, and for every deadline the program waits against.
#pragma once

#include <cstdint>

namespace kelvora {

// Never goes back. On Linux it counts the time the machine was suspended too, so that the first
// game of a run is seeded by a value no start-up sequence repeats.
int64_t BootClockMs();

// The game's tick count: the same clock, wrapping after about 49.7 days like every 32-bit
// millisecond tick count.
inline uint32_t BootTickMs() { return static_cast<uint32_t>(BootClockMs()); }

}  // namespace kelvora
