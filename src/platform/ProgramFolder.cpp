#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <filesystem>

namespace quillmont {

std::string ExecutableDirectory() {
  std::error_code error;
  const std::string path = std::filesystem::canonical("/proc/self/exe", error).string();
  if (error) return {};
  return path.substr(0, path.rfind('/') + 1);
}

bool MakeCurrentDirectory(const std::string& folder) { return !folder.empty() && ::chdir(folder.c_str()) == 0; }

bool IsSystemInstall(const std::string& programFolder) {
  if (programFolder.empty()) return false;
  std::error_code error;
  return std::filesystem::exists(programFolder + "system-install", error);
}

}  // namespace quillmont
