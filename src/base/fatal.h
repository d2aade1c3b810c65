// The one way out when the program cannot go on: a message box, then exit code -1.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kelvora {

// The program's exit code after a fatal report (255 as the system passes it on).
constexpr int kFatalExitCode = -1;

// Shows a GBK text to the player and waits until it is dismissed. The runtime installs the
// report its host can show; until then (and in tools) the text goes to standard error.
using FatalMessageBox = std::function<void(const std::string& gbkText)>;

// Installs the message box used by FatalError; returns the previous one. This is the only
// process-wide hook of the program: a fatal error can arise below any application object.
FatalMessageBox SetFatalMessageBox(FatalMessageBox box);

// The report's text: "运行时出错!" with the optional code and message.
std::string FatalReportText(std::optional<int> code, const std::string& message);

[[noreturn]] void FatalError(const std::string& message, std::optional<int> code = std::nullopt);

// The report as a terminal shows it: UTF-8, for whoever started the game from one or reads its log.
void WriteFatalReportToStandardError(const std::string& gbkText);

// True from the moment a fatal report is shown until the program ends. Safe to ask from a signal
// handler: a request to end the program meanwhile ends it with the report's exit code.
bool FatalReportShowing();

// The message of a memory request that could not be met.
std::string OutOfMemoryMessage(long long bytes);

}  // namespace kelvora
