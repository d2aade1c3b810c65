// The folder that holds the running Windows program, for the host and the file layer alike.
#pragma once

#include <string>

namespace kelvora {

// Without a trailing separator, except for a drive's root ("C:\"); empty when the system cannot
// say. Windows only.
std::wstring ExecutableFolder();

}  // namespace kelvora
