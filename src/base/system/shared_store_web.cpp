// The browser's shared store: KelvoraStore in the page (page/kelvora_page.js) keeps the program
// folder in IndexedDB and takes the tabs' common lock with Web Locks. Both take their time, so the
// game waits for them through Asyncify. Where there is no page (Node runs the tests) or the
// browser refused the storage, the folder in memory is all there is, as on a desktop.
#include "base/system/shared_store.h"

#include <emscripten.h>

namespace kelvora {
namespace {

EM_JS(int32_t, KelvoraStoreKept, (), {
    return typeof KelvoraStore === "object" && KelvoraStore.kept() ? 1 : 0;
});
EM_ASYNC_JS(int32_t, KelvoraStoreBeginUpdate, (int32_t waitMs), { return await KelvoraStore.beginUpdate(waitMs); });
EM_ASYNC_JS(void, KelvoraStoreEndUpdate, (), { await KelvoraStore.endUpdate(); });
EM_ASYNC_JS(void, KelvoraStoreFile, (const char* path), { await KelvoraStore.storeFile(UTF8ToString(path)); });

// Begun updates not yet ended: only the outermost takes and lets go of the lock.
int depth = 0;

}  // namespace

bool BeginSharedUpdate(int32_t waitMs) {
    if (!KelvoraStoreKept()) return true;
    if (depth > 0) {
        ++depth;
        return true;
    }
    if (KelvoraStoreBeginUpdate(waitMs) == 0) return false;
    depth = 1;
    return true;
}

void EndSharedUpdate() {
    if (depth == 0 || --depth > 0) return;
    if (KelvoraStoreKept()) KelvoraStoreEndUpdate();
}

void StoreWrittenFile(const std::string& systemPath) {
    if (KelvoraStoreKept()) KelvoraStoreFile(systemPath.c_str());
}

}  // namespace kelvora
