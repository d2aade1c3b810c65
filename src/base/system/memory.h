// Memory at a stated alignment, for the game's own operator new: each system has its own pair of
// calls, and what one of them gives must go back through its partner.
#pragma once

#include <cstddef>

namespace kelvora {

// Null when the request cannot be met, or when its size rounded up to the alignment overflows.
void* AllocateAlignedMemory(std::size_t bytes, std::size_t alignment);
void ReleaseAlignedMemory(void* memory);

}  // namespace kelvora
