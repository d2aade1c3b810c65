// Choosing the data folder and naming files in it.
#include "windows/data_folder.h"

#include "base/gbk.h"
#include "platform/files.h"

namespace kelvora {

Text ChooseDataDirectory(const Text& programDirectory, const Text& userDirectory) {
    if (DirectoryIsWritable(programDirectory) || userDirectory.empty()) return programDirectory;
    return userDirectory;
}

Text JoinPath(const Text& folder, const Text& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

Text FolderFromSystemPath(const std::string& utf8) {
    Conversion gbk = Utf8ToGbk(utf8);
    return gbk.ok && !gbk.text.empty() ? gbk.text : Text(".");
}

}  // namespace kelvora
