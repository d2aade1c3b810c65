// The fatal error report.
#include "base/fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "base/system/codepage.h"

namespace kelvora {
namespace {

std::atomic<bool> reportShowing{false};

FatalMessageBox& CurrentBox() {
    static FatalMessageBox box = WriteFatalReportToStandardError;
    return box;
}

}  // namespace

void WriteFatalReportToStandardError(const std::string& gbkText) {
    const Conversion utf8 = GbkToUtf8(gbkText);
    const std::string& shown = utf8.ok ? utf8.text : gbkText;
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fputc('\n', stderr);
}

bool FatalReportShowing() { return reportShowing.load(); }

FatalMessageBox SetFatalMessageBox(FatalMessageBox box) {
    FatalMessageBox previous = std::move(CurrentBox());
    CurrentBox() = box ? std::move(box) : FatalMessageBox(WriteFatalReportToStandardError);
    return previous;
}

std::string FatalReportText(std::optional<int> code, const std::string& message) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code) text += "错误代码：" + std::to_string(*code) + "\r\n\r\n";
    if (!message.empty()) text += "错误信息：" + message + "\r\n";
    return text;
}

void FatalError(const std::string& message, std::optional<int> code) {
    // The report itself can run into a fatal error: no memory left to draw it, no window to be
    // had. The first report's text is then all that counts, and it still reaches standard error:
    // converted once, and as the raw bytes should even that need memory that is not there.
    static int depth = 0;
    static const std::string* firstReport = nullptr;
    if (++depth > 1) {
        if (depth == 2 && firstReport != nullptr) {
            WriteFatalReportToStandardError(*firstReport);
        } else if (firstReport != nullptr) {
            std::fwrite(firstReport->data(), 1, firstReport->size(), stderr);
        }
        std::_Exit(kFatalExitCode);
    }
    const std::string text = FatalReportText(code, message);
    firstReport = &text;
    reportShowing = true;
    CurrentBox()(text);
    std::exit(kFatalExitCode);
}

std::string OutOfMemoryMessage(long long bytes) {
    return "分配 " + std::to_string(bytes) + " 字节内存失败!";
}

}  // namespace kelvora
