#include "platform/ConfigLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace quillmont {
namespace {

std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// folder + "/" + name, or "" when the folder is "": no place.
std::string Inside(const std::string& folder, const std::string& name) {
  return folder.empty() ? std::string() : folder + "/" + name;
}

std::string UserFolder(const char* variable, const char* underHome) {
  const std::string xdg = AbsoluteVariable(variable);
  return xdg.empty() ? Inside(HomeFolder(), underHome) : xdg;
}

}  // namespace

std::string HomeFolder() {
  std::string home = AbsoluteVariable("HOME");
  if (home.empty()) {
    // A session without HOME (a service, `env -i`) still has a home folder.
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
      home = entry->pw_dir;
    }
  }
  return home.empty() || home.front() != '/' ? std::string() : home;
}

std::string SettingsFilePath(const std::string& bareName) {
  return Inside(UserFolder("XDG_CONFIG_HOME", ".config"), bareName);
}

std::string UserDataFilePath(const std::string& relativePath) {
  return Inside(UserFolder("XDG_DATA_HOME", ".local/share"), relativePath);
}

}  // namespace quillmont
