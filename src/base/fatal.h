// The one way out when the program cannot go on: a message box, then exit code -1.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kelvora {

// Shows a GBK text to the player and waits until it is dismissed. The SDL host installs a real
// message box; until then (and in tools) the text goes to standard error.
using FatalMessageBox = std::function<void(const std::string& gbkText)>;

// Installs the message box used by FatalError; returns the previous one. This is the only
// process-wide hook of the program: a fatal error can arise below any application object.
FatalMessageBox SetFatalMessageBox(FatalMessageBox box);

// The report's text: "运行时出错!" with the optional code and message.
std::string FatalReportText(std::optional<int> code, const std::string& message);

[[noreturn]] void FatalError(const std::string& message, std::optional<int> code = std::nullopt);

// The message of a memory request that could not be met.
std::string OutOfMemoryMessage(long long bytes);

}  // namespace kelvora
