// A desktop's files are the same files for every copy of the game: the file's own lock and its
// atomic replacement are all it takes.
#include "base/system/shared_store.h"

namespace kelvora {

bool BeginSharedUpdate(int32_t) { return true; }
void EndSharedUpdate() {}
void StoreWrittenFile(const std::string&) {}

}  // namespace kelvora
