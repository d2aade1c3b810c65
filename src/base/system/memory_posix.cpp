// Aligned memory on POSIX systems: aligned_alloc, released by free.
#include <cstdlib>

#include "base/system/memory.h"

namespace kelvora {

void* AllocateAlignedMemory(std::size_t bytes, std::size_t alignment) {
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = bytes == 0 ? alignment : (bytes + alignment - 1) / alignment * alignment;
    return rounded >= bytes ? std::aligned_alloc(alignment, rounded) : nullptr;
}

void ReleaseAlignedMemory(void* memory) { std::free(memory); }

}  // namespace kelvora
