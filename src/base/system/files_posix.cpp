// Files for the game, on a POSIX system.
#include "base/system/files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/system/clock.h"
#include "base/system/end_requests.h"
#include "base/system/file_attributes.h"
#include "base/system/shared_store.h"

namespace kelvora {
namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::optional<uint32_t> ReadAttributes(const std::string& systemPath) {
    struct stat info {};
    if (::stat(systemPath.c_str(), &info) != 0) return std::nullopt;
    const auto text = ReadAttributeText(systemPath);
    // A value longer than any the attributes need is not theirs.
    if (!text || text->size() > 63) return 0u;
    // Wine and older Samba store the attributes as the text "0x..".
    const std::string value = text->substr(0, text->find('\0'));
    char* end = nullptr;
    const unsigned long bits = std::strtoul(value.c_str(), &end, 16);
    if (end == value.c_str()) return 0u;
    return static_cast<uint32_t>(bits) & 0x27u;
}

// A FIFO or a device would make open wait for a writer or a reader that never comes, or do
// something on opening; a folder holds no bytes. Only an ordinary file is ever opened, and then
// without waiting (O_NONBLOCK), so that one swapped in meanwhile cannot hang the game either.
// A path that leads to nothing passes: writing creates the file.
bool NothingOrOrdinaryFile(const std::string& systemPath) {
    struct stat info {};
    if (::stat(systemPath.c_str(), &info) != 0) return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

}  // namespace

bool FileExists(const Text& path) {
    const auto systemPath = SystemPath(path);
    struct stat info {};
    return systemPath && ::stat(systemPath->c_str(), &info) == 0;
}

std::optional<ByteArray> TryReadWholeFile(const Text& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath || !IsRegularFile(path)) return std::nullopt;
    const int fd = ::open(systemPath->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    ByteArray bytes;
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;  // a read error gives nothing rather than half a file
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

ByteArray ReadWholeFile(const Text& path) { return TryReadWholeFile(path).value_or(ByteArray()); }

bool WriteWholeFile(const Text& path, std::initializer_list<const ByteArray*> parts) {
    const auto systemPath = SystemPath(path);
    if (!systemPath || !NothingOrOrdinaryFile(*systemPath)) return false;
    if (const auto attributes = ReadAttributes(*systemPath)) {
        if (*attributes & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem)) return false;
    }
    const EndRequestsHeld whole;
    const int fd = ::open(systemPath->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return false;
    struct stat info {};
    // Only ordinary files are written; the lock keeps another writer out while we truncate.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    for (const ByteArray* part : parts) {
        if (part && !part->empty() && !WriteAll(fd, part->data(), part->size())) {
            ok = false;
            break;
        }
    }
    if (::close(fd) != 0) ok = false;
    if (ok) StoreWrittenFile(*systemPath);
    return ok;
}

bool WriteWholeFile(const Text& path, const ByteArray& data) { return WriteWholeFile(path, {&data}); }

bool IsRegularFile(const Text& path) {
    const auto systemPath = SystemPath(path);
    struct stat info {};
    return systemPath && ::stat(systemPath->c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

namespace {

constexpr int kMaxLinkHops = 40;  // as many as the system itself follows

std::string FolderOf(const std::string& systemPath) {
    const size_t slash = systemPath.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : systemPath.substr(0, slash);
}

// The file a path finally leads to, its symbolic links followed one by one (a relative link from
// the link's own folder). The last one may lead nowhere yet: the save then creates that file, and
// the link keeps leading to it. nullopt for a chain of links too long to follow or that loops.
std::optional<std::string> FollowLinks(std::string systemPath) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(systemPath.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return systemPath;
        char target[PATH_MAX + 1];
        const ssize_t n = ::readlink(systemPath.c_str(), target, PATH_MAX);
        if (n <= 0) return std::nullopt;
        std::string next(target, static_cast<size_t>(n));
        systemPath = next.front() == '/' ? std::move(next) : FolderOf(systemPath) + "/" + next;
    }
    return std::nullopt;
}

std::optional<std::string> ReplacementTarget(const Text& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) return std::nullopt;
    return FollowLinks(*systemPath);
}

// An existing target that must keep its content: marked read-only, hidden or system, or not
// writable by this user.
bool TargetRefusesReplacement(const std::string& systemPath) {
    struct stat info {};
    if (::lstat(systemPath.c_str(), &info) != 0) return errno != ENOENT;
    if (!S_ISREG(info.st_mode)) return true;
    const auto attributes = ReadAttributes(systemPath);
    if (attributes && (*attributes & (kAttributeReadOnly | kAttributeHidden | kAttributeSystem))) return true;
    return ::access(systemPath.c_str(), W_OK) != 0;
}

// The replacement takes over what the player or the system set on the old file: who may read and
// write it, and its attributes (only the archive mark can be there, or the save was refused).
void KeepModeAndAttributes(const std::string& target, int fd) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) return;
    if (::fchmod(fd, info.st_mode & 07777) != 0) return;
    CopyAttributeText(target, fd);
}

bool WriteBeside(const std::string& target, const ByteArray& data) {
    if (TargetRefusesReplacement(target)) return false;
    const std::string temporary = target + ".new";
    if (!NothingOrOrdinaryFile(temporary)) return false;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    KeepModeAndAttributes(target, fd);
    bool ok = data.empty() || WriteAll(fd, data.data(), data.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool CommitOver(const std::string& target) {
    const std::string temporary = target + ".new";
    if (TargetRefusesReplacement(target)) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    StoreWrittenFile(target);
    return true;
}

}  // namespace

bool WriteReplacementBeside(const Text& path, const ByteArray& data) {
    const auto target = ReplacementTarget(path);
    const EndRequestsHeld whole;
    return target && WriteBeside(*target, data);
}

bool CommitReplacement(const Text& path) {
    const auto target = ReplacementTarget(path);
    const EndRequestsHeld whole;
    return target && CommitOver(*target);
}

bool ReplaceWholeFile(const Text& path, const ByteArray& data) {
    // Followed once, so that both halves work on the same file.
    const auto target = ReplacementTarget(path);
    const EndRequestsHeld whole;
    return target && WriteBeside(*target, data) && CommitOver(*target);
}

FileUpdateLock::FileUpdateLock(const Text& path) {
    const auto target = ReplacementTarget(path);
    if (!target) return;
    lockPath_ = *target + ".lock";
    // Other tabs of the browser first: their lock, then the file as they left it.
    shared_ = BeginSharedUpdate(kFileLockWaitMs);
    if (!shared_) return;
    const int64_t deadline = BootClockMs() + kFileLockWaitMs;
    for (;;) {
        if (!NothingOrOrdinaryFile(lockPath_)) return;
        int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        // A lock file left by a copy that died, and made by another user, can still be locked.
        if (fd < 0) fd = ::open(lockPath_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) return;
        bool locked = false;
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                locked = true;
                break;
            }
            if ((errno != EWOULDBLOCK && errno != EINTR) || BootClockMs() >= deadline) break;
            ::usleep(5000);
        }
        if (!locked) {
            ::close(fd);
            return;
        }
        // The holder before us removes the lock file as it lets go: a lock on a removed file keeps
        // no one out, so it only counts while the name still leads to it.
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::stat(lockPath_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            handle_ = fd;
            // Held until the lock file is gone again, so that a request to end never leaves it behind.
            HoldEndRequests();
            return;
        }
        ::close(fd);
        if (BootClockMs() >= deadline) return;
    }
}

FileUpdateLock::~FileUpdateLock() {
    if (handle_ != -1) {
        // Removed before it is let go, so that whoever gets it next finds the name gone and takes a new one.
        ::unlink(lockPath_.c_str());
        ::close(static_cast<int>(handle_));
        ReleaseEndRequests();
    }
    if (shared_) EndSharedUpdate();
}

bool DirectoryIsWritable(const Text& folder) {
    const auto systemPath = SystemPath(folder);
    if (!systemPath) return false;
    const int unnamed = ::open(systemPath->c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        ::close(unnamed);
        return true;
    }
    // Only a file system without unnamed files is probed with a named one.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    std::string probe = *systemPath + "/.kelvora-write-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool CreateDirectories(const Text& folder) {
    const auto systemPath = SystemPath(folder);
    if (!systemPath || systemPath->empty()) return false;
    struct stat info {};
    for (size_t slash = systemPath->find('/', 1);; slash = systemPath->find('/', slash + 1)) {
        const std::string part = systemPath->substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return ::stat(systemPath->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SetFileAttributeBits(const Text& path, uint32_t attributes) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) return false;
    char value[16];
    std::snprintf(value, sizeof value, "0x%x", attributes & 0x27u);
    return WriteAttributeText(*systemPath, value);
}

std::optional<uint32_t> GetFileAttributeBits(const Text& path) {
    const auto systemPath = SystemPath(path);
    if (!systemPath) return std::nullopt;
    return ReadAttributes(*systemPath);
}

}  // namespace kelvora
