// Feeds arbitrary bytes to the bitmap decoder and draws whatever it accepts, in every way the
// game draws pictures.
#include <cstddef>
#include <cstdint>

#include "platform/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelvora;
    PictureStore store;
    const int32_t number = store.LoadPicture(std::span<const uint8_t>(data, size));
    if (number == 0) return 0;
    DrawPanel panel(48, 48, 0x00212021);
    DrawPicture(panel, store, number, 0, 0, -0x00FF00FF);
    DrawPicture(panel, store, number, 4, -2, 40, 40, -0x00FF00FF);
    DrawPicture(panel, store, number, -7, 3, 1, 3, kRasterXor);
    DrawPicture(panel, store, number, 45, 45, 300, 2, kRasterAnd);
    // A second load of the same bytes goes through the cache and must give the same picture.
    const int32_t again = store.LoadPicture(std::span<const uint8_t>(data, size));
    const Picture* first = store.Find(number);
    const Picture* second = store.Find(again);
    if (first == nullptr || second == nullptr || first->pixels != second->pixels) __builtin_trap();
    store.FreePicture(number);
    store.FreePicture(again);
    return 0;
}
