// The program folder's files as other copies of the game see them. On a desktop every copy reads
// and writes the same files, and there is nothing to do. In the browser each tab works on its own
// copy of the folder, and the page's storage keeps the one all tabs share: an update takes the lock
// every tab takes and first brings in the files as stored, and a file written is stored before the
// write returns, so that a reload or another tab finds it.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

// False when the other copies' lock could not be had within waitMs; the caller then goes on
// without it, as it does without the file's own lock.
bool BeginSharedUpdate(int32_t waitMs);
void EndSharedUpdate();
// The file (a system path) has new content.
void StoreWrittenFile(const std::string& systemPath);

}  // namespace kelvora
