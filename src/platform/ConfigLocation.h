#pragma once
// Where the user's own files live, by the XDG base-directory rules. A user
// with no home folder has no place for them: the paths are then "", and
// nothing is kept rather than something put in a folder shared with others.
#include <string>

namespace quillmont {

// The user's home folder: $HOME, else the user database's entry; "" when
// neither names an absolute path.
std::string HomeFolder();

// Where a bare settings file name lives: the user's configuration folder,
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; "" without
// either.
std::string SettingsFilePath(const std::string& bareName);

// A file of the player's own data: $XDG_DATA_HOME when it is an absolute
// path, else ~/.local/share, else ""; relativePath may hold folders.
std::string UserDataFilePath(const std::string& relativePath);

}  // namespace quillmont
