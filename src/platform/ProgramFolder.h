#pragma once
#include <string>

namespace quillmont {

// The folder of the running executable, links resolved, with its trailing
// "/": the program's folder, where its bitmaps, sounds and records lie.
std::string ExecutableDirectory();
// Makes the folder current; false when that fails. Never throws.
bool MakeCurrentDirectory(const std::string& folder);
// True when the folder holds the marker "system-install" that the Debian
// package installs: the folder then belongs to the system, and nothing of a
// player's is written into it.
bool IsSystemInstall(const std::string& programFolder);

}  // namespace quillmont
