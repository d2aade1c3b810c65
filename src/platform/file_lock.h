// An exclusive lock held on a lock file beside a file that several running games may rewrite
// (the honour file): whoever holds it may read, merge and replace that file undisturbed.
#pragma once

#include <cstdint>
#include <memory>

#include "base/text.h"

namespace kelvora {

class FileLock {
public:
    // Creates the lock file when missing and takes the lock, waiting up to waitMs for another
    // holder to let go. Null when the lock file cannot be opened or the wait ran out.
    static std::unique_ptr<FileLock> Acquire(const Text& lockPath, int32_t waitMs);
    // Lets go; the lock file stays, empty, for the next holder.
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(intptr_t handle) : handle_(handle) {}
    intptr_t handle_;
};

}  // namespace kelvora
