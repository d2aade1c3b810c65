// Choosing the data folder and naming files in it.
#include "windows/data_folder.h"

#include "base/system/codepage.h"
#include "base/system/files.h"

namespace kelvora {

Text InstalledMarkPath(const Text& programDirectory) {
    return JoinPath(programDirectory, "../share/kelvora/installed");
}

Text ChooseDataDirectory(const Text& programDirectory, const std::function<Text()>& findUserDirectory) {
    const bool installed = FileExists(InstalledMarkPath(programDirectory));
    if (!installed && DirectoryIsWritable(programDirectory)) return programDirectory;
    const Text userDirectory = findUserDirectory();
    if (userDirectory.empty()) return programDirectory;
    // Where even that fails the game still starts: its files are refused and the roll lives in
    // memory, as in any folder that cannot be written.
    CreateDirectories(userDirectory);
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
