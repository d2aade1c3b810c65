// The fatal error report.
#include "base/fatal.h"

#include <cstdio>
#include <cstdlib>

#include "base/system/codepage.h"

namespace kelvora {
namespace {

void WriteToStandardError(const std::string& gbkText) {
    const Conversion utf8 = GbkToUtf8(gbkText);
    const std::string& shown = utf8.ok ? utf8.text : gbkText;
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fputc('\n', stderr);
}

FatalMessageBox& CurrentBox() {
    static FatalMessageBox box = WriteToStandardError;
    return box;
}

}  // namespace

FatalMessageBox SetFatalMessageBox(FatalMessageBox box) {
    FatalMessageBox previous = std::move(CurrentBox());
    CurrentBox() = box ? std::move(box) : FatalMessageBox(WriteToStandardError);
    return previous;
}

std::string FatalReportText(std::optional<int> code, const std::string& message) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code) text += "错误代码：" + std::to_string(*code) + "\r\n\r\n";
    if (!message.empty()) text += "错误信息：" + message + "\r\n";
    return text;
}

void FatalError(const std::string& message, std::optional<int> code) {
    const std::string text = FatalReportText(code, message);
    CurrentBox()(text);
    std::exit(-1);
}

std::string OutOfMemoryMessage(long long bytes) {
    return "分配 " + std::to_string(bytes) + " 字节内存失败!";
}

}  // namespace kelvora
