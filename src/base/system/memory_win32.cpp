// Aligned memory on Windows: the C runtime's _aligned_malloc, which free may not release.
#include <malloc.h>

#include "base/system/memory.h"

namespace kelvora {

void* AllocateAlignedMemory(std::size_t bytes, std::size_t alignment) {
    return _aligned_malloc(bytes == 0 ? 1 : bytes, alignment);
}

void ReleaseAlignedMemory(void* memory) { _aligned_free(memory); }

}  // namespace kelvora
