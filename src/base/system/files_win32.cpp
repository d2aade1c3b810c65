// Files for the game on Windows: wide-character paths, the file system's own attributes, and
// the same refusals as on every other system (Wine does not make them all by itself).
#include "base/system/files.h"

#include <windows.h>

#include <string>

#include "base/system/clock.h"
#include "base/system/codepage_win32.h"
#include "base/system/folders.h"

namespace kelvora {
namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kRefusingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The UTF-16 form of a GBK path; nullopt for an empty path, bytes that are no GBK, or a zero byte
// inside.
std::optional<std::wstring> WidePath(const Text& path) {
    if (path.empty() || path.find('\0') != Text::npos) return std::nullopt;
    std::wstring wide = WideOf(CodePage::Gbk, path, true);
    if (wide.empty()) return std::nullopt;
    return wide;
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Whether a disk file is at the path, found without reading or writing it: opened for no access
// at all, which never waits and never conflicts with another holder, only to ask its type. Wine
// shows a FIFO or a device of the Linux side as a pipe or a character device here, and would wait
// for ever writing a large file into a FIFO.
enum class PathHolds { Nothing, DiskFile, SomethingElse };

PathHolds WhatIsAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return PathHolds::SomethingElse;
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathHolds::Nothing
                                                                               : PathHolds::SomethingElse;
    }
    const DWORD type = GetFileType(file);
    CloseHandle(file);
    return type == FILE_TYPE_DISK ? PathHolds::DiskFile : PathHolds::SomethingElse;
}

// An existing target that must keep its content: marked read-only, hidden or system, or anything
// but a disk file.
bool TargetRefusesReplacement(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    if (attributes & (kRefusingAttributes | FILE_ATTRIBUTE_DIRECTORY)) return true;
    return WhatIsAt(path) == PathHolds::SomethingElse;
}

}  // namespace



bool FileExists(const Text& path) {
    const auto wide = WidePath(path);
    return wide && GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsRegularFile(const Text& path) {
    const auto wide = WidePath(path);
    return wide && WhatIsAt(*wide) == PathHolds::DiskFile;
}

std::optional<ByteArray> TryReadWholeFile(const Text& path) {
    ByteArray bytes;
    const auto wide = WidePath(path);
    if (!wide || WhatIsAt(*wide) != PathHolds::DiskFile) return std::nullopt;
    HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return std::nullopt;
    }
    uint8_t chunk[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &n, nullptr)) {
            // A read error gives nothing rather than half a file.
            CloseHandle(file);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    CloseHandle(file);
    return bytes;
}

ByteArray ReadWholeFile(const Text& path) { return TryReadWholeFile(path).value_or(ByteArray()); }

FileUpdateLock::FileUpdateLock(const Text& path) {
    const auto wide = WidePath(path + ".lock");
    if (!wide) return;
    const int64_t deadline = BootClockMs() + kFileLockWaitMs;
    for (;;) {
        // Every game opens the lock file, which goes away when its last holder closes it; a name still
        // being removed refuses to open, and counts as held.
        HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            OVERLAPPED whole{};
            if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
                handle_ = reinterpret_cast<intptr_t>(file);
                return;
            }
            const DWORD error = GetLastError();
            CloseHandle(file);
            if (error != ERROR_LOCK_VIOLATION) return;
        } else if (GetLastError() != ERROR_ACCESS_DENIED && GetLastError() != ERROR_SHARING_VIOLATION) {
            return;
        }
        if (BootClockMs() >= deadline) return;
        Sleep(5);
    }
}

FileUpdateLock::~FileUpdateLock() {
    if (handle_ == -1) return;
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    OVERLAPPED whole{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(file);
}

bool WriteWholeFile(const Text& path, std::initializer_list<const ByteArray*> parts) {
    const auto wide = WidePath(path);
    if (!wide) return false;
    // Windows itself refuses to recreate a hidden or system file, and a read-only one cannot be
    // opened for writing; Wine lets the first two through, so the rule is kept here.
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (kRefusingAttributes | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    if (WhatIsAt(*wide) == PathHolds::SomethingElse) return false;
    // No sharing: nobody else reads or writes the file while it is rewritten.
    HANDLE file = CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // Something else may have taken the file's place since it was looked at.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return false;
    }
    bool ok = true;
    for (const ByteArray* part : parts) {
        if (part && !part->empty() && !WriteAll(file, part->data(), part->size())) {
            ok = false;
            break;
        }
    }
    if (!CloseHandle(file)) ok = false;
    return ok;
}

bool WriteWholeFile(const Text& path, const ByteArray& data) { return WriteWholeFile(path, {&data}); }

bool WriteReplacementBeside(const Text& path, const ByteArray& data) {
    const auto wide = WidePath(path);
    if (!wide || TargetRefusesReplacement(*wide)) return false;
    const std::wstring temporary = *wide + L".new";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = data.empty() || WriteAll(file, data.data(), data.size());
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool CommitReplacement(const Text& path) {
    const auto wide = WidePath(path);
    if (!wide) return false;
    const std::wstring temporary = *wide + L".new";
    if (TargetRefusesReplacement(*wide)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    // One rename, made durable before it returns: the file is the old or the new one, never torn.
    if (!MoveFileExW(temporary.c_str(), wide->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool ReplaceWholeFile(const Text& path, const ByteArray& data) {
    return WriteReplacementBeside(path, data) && CommitReplacement(path);
}

bool DirectoryIsWritable(const Text& folder) {
    const auto wide = WidePath(folder);
    if (!wide) return false;
    // The probe deletes itself when its handle closes, which the system does even for a game that
    // is killed meanwhile.
    std::wstring probe = *wide;
    if (probe.back() != L'\\' && probe.back() != L'/') probe.push_back(L'\\');
    probe += L"kelvora-write-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool CreateDirectories(const Text& folder) {
    const auto wide = WidePath(folder);
    if (!wide) return false;
    // Past the drive ("C:\") or the server and share ("\\server\share\") nothing can be made.
    size_t from = 0;
    if (wide->size() >= 2 && (*wide)[1] == L':') {
        from = 3;
    } else if (wide->rfind(L"\\\\", 0) == 0 || wide->rfind(L"//", 0) == 0) {
        from = wide->find_first_of(L"\\/", 2);
        from = from == std::wstring::npos ? wide->size() : wide->find_first_of(L"\\/", from + 1);
    }
    for (size_t separator = wide->find_first_of(L"\\/", from);; separator = wide->find_first_of(L"\\/", separator + 1)) {
        const std::wstring part = wide->substr(0, separator);
        if (!part.empty() && part.back() != L':') CreateDirectoryW(part.c_str(), nullptr);
        if (separator == std::wstring::npos) break;
    }
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SetFileAttributeBits(const Text& path, uint32_t attributes) {
    const auto wide = WidePath(path);
    if (!wide) return false;
    const DWORD bits = attributes & kKeptAttributes;
    return SetFileAttributesW(wide->c_str(), bits == 0 ? FILE_ATTRIBUTE_NORMAL : bits);
}

std::optional<uint32_t> GetFileAttributeBits(const Text& path) {
    const auto wide = WidePath(path);
    if (!wide) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return static_cast<uint32_t>(attributes & kKeptAttributes);
}

}  // namespace kelvora
