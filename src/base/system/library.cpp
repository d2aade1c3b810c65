// What the game says of a library that lacks what it needs, the same on every system.
#include "base/system/library.h"

namespace kelvora {

Text MissingExportMessage(const Text& libraryFileName, const Text& exportName) {
    return "无法找到指定DLL库文件“" + libraryFileName + "”中的输出命令“" + exportName + "”";
}

}  // namespace kelvora
