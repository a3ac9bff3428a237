#include "platform/ConfigLocation.h"

#include <cstdlib>

namespace quillmont {

std::string SettingsFilePath(const std::string& bareName) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/" + bareName;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/" + bareName;
}

}  // namespace quillmont
