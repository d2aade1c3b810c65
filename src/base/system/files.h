// Files for the game: whole-file reads and writes, existence, and the DOS-style attributes
// (read-only, hidden, system, archive) that Wine and Samba keep in the user.DOSATTRIB attribute.
// Paths are GBK texts; they become UTF-8 only when handed to the system.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "base/text.h"

namespace kelvora {

enum FileAttribute : uint32_t {
    kAttributeReadOnly = 0x01,
    kAttributeHidden = 0x02,
    kAttributeSystem = 0x04,
    kAttributeArchive = 0x20,
};

bool FileExists(const Text& path);
// True when the path leads to an ordinary file: not a folder, a FIFO, a device or a socket.
// Nothing else is ever opened by the functions below: opening a FIFO would wait for a writer or
// a reader that never comes, and a device may act on being opened.
bool IsRegularFile(const Text& path);
// Empty when the file is missing, unreadable, not an ordinary file, or the name has no system form.
ByteArray ReadWholeFile(const Text& path);
// The same, but nullopt in all those cases, so that an empty file can be told from none.
std::optional<ByteArray> TryReadWholeFile(const Text& path);
// Creates or truncates the file and writes the non-empty arrays one after the other, holding an
// exclusive lock meanwhile. False for an empty path, a name with no system form, a file that
// cannot be opened, anything but an ordinary file in its place, and an existing file marked
// read-only, hidden or system.
bool WriteWholeFile(const Text& path, std::initializer_list<const ByteArray*> parts);
bool WriteWholeFile(const Text& path, const ByteArray& data);
// Sets the attributes to attributes & 0x27; false where the file system keeps no attributes.
bool SetFileAttributeBits(const Text& path, uint32_t attributes);
// The attributes, 0 when none were ever set; nullopt when the file does not exist.
std::optional<uint32_t> GetFileAttributeBits(const Text& path);

// Replaces a file's whole content so that it is always either the old or the new content, never
// torn: the bytes go to a temporary file beside it, which is flushed to disk and then renamed over
// the old one. A symbolic link is followed and stays a link: the file it leads to is replaced. The
// new file keeps the old one's permissions and attributes; a new file gets the usual ones. Refused
// (false, the file unchanged) where WriteWholeFile would refuse: an existing file marked
// read-only, hidden or system, one the user may not write, or anything but an ordinary file.
bool ReplaceWholeFile(const Text& path, const ByteArray& data);
// The two halves of ReplaceWholeFile, for tests of an interruption between them. The temporary
// file's name is the (link-followed) path followed by ".new".
bool WriteReplacementBeside(const Text& path, const ByteArray& data);
bool CommitReplacement(const Text& path);

// Keeps other processes that take the same lock away from a file while this one reads it and
// replaces it. The lock is a file of its own beside the file (its name followed by ".lock"), since
// a replacement puts a new file in the old one's place and a lock on the old one would then keep
// no one out; it is removed again when the lock is let go. Waits at most kFileLockWaitMs for
// another holder: when the lock cannot be had in that time, or at all (a folder that cannot be
// written), Held() is false and the caller goes on without it.
class FileUpdateLock {
public:
    static constexpr int32_t kFileLockWaitMs = 2000;

    explicit FileUpdateLock(const Text& path);
    ~FileUpdateLock();
    FileUpdateLock(const FileUpdateLock&) = delete;
    FileUpdateLock& operator=(const FileUpdateLock&) = delete;

    bool Held() const { return handle_ != -1; }

private:
    intptr_t handle_ = -1;  // the system's handle of the locked file
    std::string lockPath_;
    bool shared_ = false;  // the lock other tabs of the browser take as well
};

// True when a new file can be created in the folder. The probe is an unnamed file, so nothing ever
// appears in the folder, even when the game is killed meanwhile.
bool DirectoryIsWritable(const Text& folder);
// Creates the folder and the missing folders above it, each for the user alone; true when the
// folder exists afterwards.
bool CreateDirectories(const Text& folder);

// The system (UTF-8) form of a GBK path; nullopt when it has none.
std::optional<std::string> SystemPath(const Text& path);

}  // namespace kelvora
