#include "platform/ProgramFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quillmont {
namespace {

constexpr char kSystemInstallMark[] = "system-install";

}  // namespace

std::string ExecutableDirectory() {
  std::error_code error;
  const std::string path = std::filesystem::canonical("/proc/self/exe", error).string();
  if (error) return {};
  return path.substr(0, path.rfind('/') + 1);
}

ProgramFolder ProgramFolder::OfExecutable() {
  if (const std::string folder = ExecutableDirectory(); !folder.empty()) return ProgramFolder(folder);
#ifdef QUILLMONT_SYSTEM_FOLDER
  ProgramFolder packaged(QUILLMONT_SYSTEM_FOLDER);
  if (packaged.IsOpen() && packaged.IsSystemInstall()) return packaged;
#endif
  ProgramFolder none;
  none.problem_ = "cannot find its own folder: /proc/self/exe cannot be read (is /proc mounted?)";
  return none;
}

ProgramFolder::ProgramFolder(const std::string& path) {
  fd_ = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    problem_ = "cannot open its folder " + path + ": " + std::strerror(errno);
    return;
  }
  path_ = path.empty() || path.back() == '/' ? path : path + "/";
}

ProgramFolder::~ProgramFolder() {
  if (fd_ >= 0) ::close(fd_);
}

ProgramFolder::ProgramFolder(ProgramFolder&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), problem_(std::move(other.problem_)) {
  other.fd_ = -1;
}

bool ProgramFolder::IsSystemInstall() const {
  struct stat info {};
  return fd_ >= 0 && ::fstatat(fd_, kSystemInstallMark, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

std::optional<std::string> ProgramFolder::Read(const std::string& name, std::size_t cap, std::string* problem) const {
  std::string unsaid;
  std::string& why = problem != nullptr ? *problem : unsaid;
  why.clear();
  if (fd_ < 0) return std::nullopt;
  const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    // unreadable: nothing more to say
  } else if (!S_ISREG(info.st_mode)) {
    why = "is not a regular file";
  } else if (static_cast<std::size_t>(info.st_size) > cap) {
    why = "is larger than " + std::to_string(cap >> 20) + " MiB";
  } else {
    std::string read(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < read.size()) {
      const ssize_t n = ::read(fd, read.data() + done, read.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    // A file that shrank meanwhile is taken as it now is.
    read.resize(done);
    if (done > 0 || info.st_size == 0) bytes = std::move(read);
  }
  ::close(fd);
  return bytes;
}

bool MakeCurrentDirectory(const std::string& folder) { return !folder.empty() && ::chdir(folder.c_str()) == 0; }

}  // namespace quillmont
