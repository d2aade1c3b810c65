// The DOS-style attributes of a file as the system keeps them beside its content: the raw text of
// the user.DOSATTRIB extended attribute where the file system has extended attributes, nothing
// where it has none (the browser's virtual file system). files_posix.cpp reads them through here.
#pragma once

#include <optional>
#include <string>

namespace kelvora {

// The attribute's raw value; nullopt when the file has none or the file system keeps none.
std::optional<std::string> ReadAttributeText(const std::string& systemPath);
// Sets the attribute's value; false where the file system keeps no attributes.
bool WriteAttributeText(const std::string& systemPath, const std::string& value);
// Gives the file open as fd the attribute of the file at systemPath, if that one has it.
void CopyAttributeText(const std::string& systemPath, int fd);

}  // namespace kelvora
