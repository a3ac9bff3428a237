#include "platform/ResolvedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <string>
#include <utility>

namespace quillmont {
namespace {

// As the kernel allows for one path: a longer chain is a loop.
constexpr int kMaxLinkHops = 40;

void Split(const std::string& path, std::deque<std::string>& into) {
  std::deque<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  into.insert(into.begin(), parts.begin(), parts.end());
}

// Whether anybody but the player and root may rename or replace the entries
// of a folder. In a sticky folder only an entry's owner may, besides the
// folder's owner.
bool OthersMayChange(int folder) {
  struct stat st {};
  if (::fstat(folder, &st) != 0) return true;
  if (st.st_uid != ::geteuid() && st.st_uid != 0) return true;
  return (st.st_mode & S_ISVTX) == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// Root making a folder in a player's home (run with the player's HOME)
// makes it the player's, as if they had made it.
// A folder that cannot be the player's (root squashed on NFS) is not left
// as root's.
bool GiveToFolderOwner(int folder, const std::string& made) {
  struct stat parent {};
  if (::geteuid() != 0 || ::fstat(folder, &parent) != 0 || parent.st_uid == 0) return true;
  if (::fchownat(folder, made.c_str(), parent.st_uid, parent.st_gid, AT_SYMLINK_NOFOLLOW) == 0) return true;
  ::unlinkat(folder, made.c_str(), AT_REMOVEDIR);
  return false;
}

int Reopen(int fd, const char* name, int flags) {
  return ::openat(fd, name, flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace

ResolvedFile::ResolvedFile(const std::string& path, bool createFolders, int anchor) {
  std::deque<std::string> pending;
  Split(path, pending);
  if (pending.empty()) {
    Fail("names no file");
    return;
  }
  const bool absolute = !path.empty() && path[0] == '/';
  int at = !absolute && anchor >= 0 ? ::fcntl(anchor, F_DUPFD_CLOEXEC, 0)
                                    : ::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (at < 0) {
    Fail("cannot be reached");
    return;
  }
  int hops = 0;
  while (!pending.empty()) {
    const std::string part = std::move(pending.front());
    pending.pop_front();
    if (part == ".") continue;
    const bool last = pending.empty();
    struct stat st {};
    if (::fstatat(at, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT && last && part != "..") {
        name_ = part;  // the write makes it
        break;
      }
      if (errno != ENOENT || !createFolders || ::mkdirat(at, part.c_str(), 0700) != 0) {
        missing_ = errno == ENOENT || errno == ENOTDIR;
        ::close(at);
        Fail("lies in a folder that cannot be reached");
        return;
      }
      if (!GiveToFolderOwner(at, part)) {
        ::close(at);
        Fail("lies in a folder that cannot be made the player's");
        return;
      }
      pending.push_front(part);  // made: go into it
      continue;
    }
    if (S_ISLNK(st.st_mode)) {
      if ((st.st_uid != ::geteuid() && st.st_uid != 0) || OthersMayChange(at) || ++hops > kMaxLinkHops) {
        ::close(at);
        Fail("is reached through a link that another user may change");
        return;
      }
      std::string target(static_cast<std::size_t>(st.st_size) + 1, '\0');
      const ssize_t length = ::readlinkat(at, part.c_str(), target.data(), target.size());
      if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
        ::close(at);
        Fail("is reached through a link that changed");
        return;
      }
      target.resize(static_cast<std::size_t>(length));
      if (target[0] == '/') {
        ::close(at);
        at = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (at < 0) {
          Fail("cannot be reached");
          return;
        }
      }
      Split(target, pending);
      throughLink_ = throughLink_ || last;
      continue;
    }
    if (last && part != "..") {
      name_ = part;
      break;
    }
    const int next = Reopen(at, part.c_str(), O_PATH);
    missing_ = next < 0 && errno == ENOTDIR;
    ::close(at);
    if (next < 0) {
      Fail("lies in a folder that cannot be reached");
      return;
    }
    at = next;
  }
  // Readable where it may be, so that a rename in it can be synced.
  const int readable = Reopen(at, ".", O_RDONLY);
  if (readable >= 0) {
    ::close(at);
    at = readable;
  }
  folder_ = at;
}

ResolvedFile::~ResolvedFile() {
  if (folder_ >= 0) ::close(folder_);
}

ResolvedFile::ResolvedFile(ResolvedFile&& other) noexcept
    : folder_(std::exchange(other.folder_, -1)),
      name_(std::move(other.name_)),
      problem_(std::move(other.problem_)),
      throughLink_(other.throughLink_),
      missing_(other.missing_) {}

std::string ResolvedFile::Path() const {
  char folder[4096];
  const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(folder_)).c_str(), folder, sizeof folder);
  if (folder_ < 0 || length <= 0 || static_cast<std::size_t>(length) >= sizeof folder) return name_;
  const std::string path(folder, static_cast<std::size_t>(length));
  return path == "/" ? "/" + name_ : path + "/" + name_;
}

bool ResolvedFile::Fail(std::string problem) {
  folder_ = -1;
  problem_ = std::move(problem);
  return false;
}

}  // namespace quillmont
