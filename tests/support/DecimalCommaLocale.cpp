#include "support/DecimalCommaLocale.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

extern char** environ;

namespace quillmont::testing {
namespace {

namespace fs = std::filesystem;
constexpr const char* kName = "de_DE.UTF-8";

// Runs localedef into a folder of our own and renames it into place, so
// that test processes started side by side never see half a locale.
std::string Build(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  const fs::path partial = folder / (std::string(kName) + ".part" + std::to_string(getpid()));
  fs::remove_all(partial, error);
  std::string target = partial.string();
  char* argv[] = {const_cast<char*>("localedef"), const_cast<char*>("-i"), const_cast<char*>("de_DE"),
                  const_cast<char*>("-f"), const_cast<char*>("UTF-8"), target.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "localedef", nullptr, nullptr, argv, environ) != 0) {
    return "localedef cannot be run (package locales)";
  }
  int status = 0;
  waitpid(pid, &status, 0);
  // Exit status 1 only reports warnings; the files tell whether it worked.
  if (!fs::exists(partial / "LC_NUMERIC")) {
    fs::remove_all(partial, error);
    return "localedef -i de_DE -f UTF-8 failed (package locales)";
  }
  fs::rename(partial, folder / kName, error);
  fs::remove_all(partial, error);  // another process was first
  return fs::exists(folder / kName / "LC_NUMERIC") ? "" : "cannot place the locale in " + folder.string();
}

}  // namespace

std::string DecimalCommaLocaleFolder(std::string& why) {
  std::error_code error;
  const fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path() / "locales";
  if (error) {
    why = "cannot find the test binary: " + error.message();
    return "";
  }
  if (!fs::exists(folder / kName / "LC_NUMERIC")) why = Build(folder);
  return why.empty() ? folder.string() : "";
}

DecimalCommaLocale::DecimalCommaLocale() {
  const std::string folder = DecimalCommaLocaleFolder(failure_);
  if (folder.empty()) return;
  if (const char* old = std::getenv("LOCPATH")) oldLocPath_ = old;
  setenv("LOCPATH", folder.c_str(), 1);  // glibc reads it at each setlocale
  if (!std::setlocale(LC_ALL, kName)) {
    failure_ = std::string("setlocale cannot load ") + kName + " from " + folder;
  } else if (std::string_view(std::localeconv()->decimal_point) != ",") {
    failure_ = std::string(kName) + " has no decimal comma";
  }
}

DecimalCommaLocale::~DecimalCommaLocale() {
  std::setlocale(LC_ALL, "C");
  if (oldLocPath_) {
    setenv("LOCPATH", oldLocPath_->c_str(), 1);
  } else {
    unsetenv("LOCPATH");
  }
}

}  // namespace quillmont::testing
