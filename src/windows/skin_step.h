// The skin step of start-up: the built-in skin library is put beside the game (hidden), loaded
// from there, and handed the built-in skin.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "base/system/library.h"
#include "base/text.h"

namespace kelvora {

// "Tovenhal.Tovenhal", the skin library's file name.
Text SkinLibraryFileName();

struct SkinState {
    std::unique_ptr<LoadedLibrary> library;  // stays loaded for the whole run
    int32_t attachResult = 0;                // what the library said of the skin (not used by the game)
};

// Puts the library file in dataDirectory unless an identical one is already there, marks it
// hidden, loads it by its full path and calls SkinH_AttachRes once with the skin. Where the folder
// cannot be written at all, the library is loaded from memory instead. A library that cannot be put
// in place and loaded, or lacks the export, ends the program with the fatal report.
void ApplySkin(SkinState& skin, const Text& dataDirectory, std::span<const uint8_t> libraryBytes,
               std::span<const uint8_t> skinBytes);

}  // namespace kelvora
