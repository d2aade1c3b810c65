// The lock file on a POSIX system: flock on a descriptor of its own.
#include "platform/file_lock.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/files.h"

namespace kelvora {

std::unique_ptr<FileLock> FileLock::Acquire(const Text& lockPath, int32_t waitMs) {
    const auto systemPath = SystemPath(lockPath);
    if (!systemPath) return nullptr;
    const int fd = ::open(systemPath->c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return nullptr;
    // flock cannot wait with a time limit: it is tried again every 10 ms until the time is up.
    for (int32_t waited = 0;; waited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return std::unique_ptr<FileLock>(new FileLock(fd));
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= waitMs) break;
        const timespec pause{0, 10 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    ::close(fd);
    return nullptr;
}

FileLock::~FileLock() { ::close(static_cast<int>(handle_)); }

}  // namespace kelvora
