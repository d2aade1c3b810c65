// Running part of a fault test in a child process of its own, where it may be killed, limited or
// stripped of its rights without touching the test program itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kelvora::faults {

// Forks, runs body in the child and ends the child with its result; returns the child's exit
// code, or 128 + the signal that ended it.
int RunInChild(const std::function<int()>& body);

// In a child: gives up root's rights for those of the unprivileged user "nobody", so that
// permissions apply; does nothing for an ordinary user. False when that fails.
bool DropRootRights();

// Makes every folder under path (path included) writable by its owner again, so that it can be
// removed after a test took the rights away.
void RestoreWriteRights(const std::string& path);

// The names in a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& path);

}  // namespace kelvora::faults
