// The skin step of start-up.
#include "windows/skin_step.h"

#include <algorithm>

#include "base/fatal.h"
#include "base/system/files.h"
#include "windows/data_folder.h"

namespace kelvora {
namespace {

using AttachRes = int (*)(const uint8_t* data, int32_t size, const char* password, int32_t, int32_t, int32_t);

bool HoldsBytes(const Text& path, std::span<const uint8_t> bytes) {
    const ByteArray onDisk = ReadWholeFile(path);
    return onDisk.size() == bytes.size() && std::equal(onDisk.begin(), onDisk.end(), bytes.begin());
}

}  // namespace

Text SkinLibraryFileName() { return "Tovenhal.Tovenhal"; }

void ApplySkin(SkinState& skin, const Text& dataDirectory, std::span<const uint8_t> libraryBytes,
               std::span<const uint8_t> skinBytes) {
    const Text path = JoinPath(dataDirectory, SkinLibraryFileName());
    // A hidden file cannot be overwritten, so the library of an earlier start stays. It is used only
    // when it is byte for byte ours: one left by an older game or changed by someone else is
    // unhidden and replaced, never loaded.
    if (!HoldsBytes(path, libraryBytes)) {
        SetFileAttributeBits(path, 0);
        WriteWholeFile(path, ByteArray(libraryBytes.begin(), libraryBytes.end()));
    }
    SetFileAttributeBits(path, kAttributeHidden);

    const Text exportName = "SkinH_AttachRes";
    if (HoldsBytes(path, libraryBytes)) {
        skin.library = LoadedLibrary::Open(path);
        // Our own bytes are in place but the folder forbids running code from it (a home folder
        // mounted noexec): the same bytes are loaded from memory instead.
        if (!skin.library) skin.library = LoadedLibrary::OpenFromMemory(libraryBytes);
    } else if (!DirectoryIsWritable(dataDirectory)) {
        // No folder the game may write (an installed copy, a user without a writable home): the
        // game still starts, with the library loaded straight from memory and nothing written.
        skin.library = LoadedLibrary::OpenFromMemory(libraryBytes);
    }
    void* symbol = skin.library ? skin.library->Find(exportName.c_str()) : nullptr;
    if (symbol == nullptr) FatalError(MissingExportMessage(SkinLibraryFileName(), exportName));

    const auto attach = reinterpret_cast<AttachRes>(symbol);
    skin.attachResult = attach(skinBytes.data(), static_cast<int32_t>(skinBytes.size()), "", 0, 0, 0);

    // The colour key of a layered main window would make its pure black pixels see-through. Our
    // windows are never layered (the window manager composes them), so there is nothing to key:
    // the board's black cells stay black, as the player expects.
}

}  // namespace kelvora
