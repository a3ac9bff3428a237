#pragma once
#include <string>

namespace quillmont {

// Where a bare settings file name lives: the user's configuration folder,
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string SettingsFilePath(const std::string& bareName);

}  // namespace quillmont
