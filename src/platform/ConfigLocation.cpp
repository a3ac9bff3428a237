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

}  // namespace

std::string HomeFolder() {
  std::string home = AbsoluteVariable("HOME");
  if (home.empty()) {
    // A session without HOME (a service, `env -i`) still has a home folder.
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
      home = entry->pw_dir;
    }
  }
  return home.empty() ? std::string("/tmp") : home;
}

std::string SettingsFilePath(const std::string& bareName) {
  const std::string xdg = AbsoluteVariable("XDG_CONFIG_HOME");
  return (xdg.empty() ? HomeFolder() + "/.config" : xdg) + "/" + bareName;
}

std::string UserDataFilePath(const std::string& relativePath) {
  const std::string xdg = AbsoluteVariable("XDG_DATA_HOME");
  return (xdg.empty() ? HomeFolder() + "/.local/share" : xdg) + "/" + relativePath;
}

}  // namespace quillmont
