// The game's memory requests: one that cannot be met ends the game through its fatal report,
// naming the size asked for, instead of an uncaught exception that the player never sees.
// Linked into the game only; sanitizer builds keep their own allocator.
#include <cstdlib>
#include <new>

#include "base/system/memory.h"
#include "base/fatal.h"

namespace {

void* Allocate(std::size_t bytes) {
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) return memory;
    kelvora::FatalError(kelvora::OutOfMemoryMessage(static_cast<long long>(bytes)));
}

void* AllocateAligned(std::size_t bytes, std::align_val_t alignment) {
    if (void* memory = kelvora::AllocateAlignedMemory(bytes, static_cast<std::size_t>(alignment))) return memory;
    kelvora::FatalError(kelvora::OutOfMemoryMessage(static_cast<long long>(bytes)));
}

}  // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void* operator new(std::size_t bytes, std::align_val_t alignment) { return AllocateAligned(bytes, alignment); }
void* operator new[](std::size_t bytes, std::align_val_t alignment) { return AllocateAligned(bytes, alignment); }

// Who asks without exceptions checks the result himself.
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes == 0 ? 1 : bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes == 0 ? 1 : bytes); }

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { kelvora::ReleaseAlignedMemory(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { kelvora::ReleaseAlignedMemory(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { kelvora::ReleaseAlignedMemory(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { kelvora::ReleaseAlignedMemory(memory); }
