// The lock file on Windows: LockFileEx on the whole file, through a handle of its own.
#include "platform/file_lock.h"

#include <windows.h>

#include <string>

namespace kelvora {
namespace {

std::wstring WideOfGbk(const Text& gbk) {
    if (gbk.empty() || gbk.find('\0') != Text::npos) return {};
    const int needed = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                                           nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()), wide.data(), needed);
    return wide;
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Acquire(const Text& lockPath, int32_t waitMs) {
    const std::wstring path = WideOfGbk(lockPath);
    if (path.empty()) return nullptr;
    // Shared opening: every game opens the lock file; LockFileEx is what keeps them apart.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    // LockFileEx waits without a time limit or not at all: it is tried again every 10 ms.
    for (int32_t waited = 0;; waited += 10) {
        OVERLAPPED whole{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
            return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<intptr_t>(file)));
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION || waited >= waitMs) break;
        Sleep(10);
    }
    CloseHandle(file);
    return nullptr;
}

FileLock::~FileLock() {
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    OVERLAPPED whole{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(file);
}

}  // namespace kelvora
