#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

namespace quillmont {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kTemporaryInfix = ".tmp-";
constexpr std::size_t kRandomLetters = 6;
// As the kernel allows for one path: a longer chain is a loop.
constexpr int kMaxLinkHops = 40;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Beside(const std::string& path, const std::string& name) {
  const std::string folder = FolderOf(path);
  return folder == "/" ? "/" + name : folder + "/" + name;
}

bool IsReadOnly(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;  // missing: nothing to protect
  if ((st.st_mode & 0222) == 0) return true;
  return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

bool IsAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsMemberOf(gid_t group) {
  if (group == ::getegid()) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

std::optional<mode_t> FileMode(const std::string& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return st.st_mode & 0666;
}

bool KeepsOwnership(const std::string& target) {
  struct stat st {};
  if (::geteuid() == 0 || ::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
  // A file of ours in our own group, or one in a group we belong to, keeps
  // it; a file of a group we cannot give it back loses nothing only when
  // that group had no access to it.
  return IsMemberOf(st.st_gid) || (st.st_mode & 0060) == 0;
}

bool GiveOwnership(int fd, const std::string& target) {
  struct stat made {};
  if (::fstat(fd, &made) != 0) return false;
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (::geteuid() == 0) {
    if (!exists) {
      // A new file in another user's folder (root with a player's HOME)
      // is that user's, as if they had made it.
      if (::stat(FolderOf(target).c_str(), &st) != 0 || st.st_uid == 0) return true;
    }
    if (made.st_uid == st.st_uid && made.st_gid == st.st_gid) return true;
    return ::fchown(fd, st.st_uid, st.st_gid) == 0;
  }
  if (!exists || made.st_gid == st.st_gid) return true;
  if (IsMemberOf(st.st_gid)) return ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0;
  return (st.st_mode & 0060) == 0;
}

// After a rename the new name is durable only once its folder is synced.
void SyncFolder(const std::string& path) {
  const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string BesideFile(const std::string& path, const std::string& name) { return Beside(path, name); }

// ".<name><infix>" and six letters or digits: a name no player gives a file.
bool IsHiddenBeside(std::string_view entry, const std::string& target, std::string_view infix) {
  const std::string prefix = "." + BaseName(target) + std::string(infix);
  if (entry.size() != prefix.size() + kRandomLetters || entry.substr(0, prefix.size()) != prefix) return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(), IsAlphanumeric);
}

std::string HiddenNameBeside(const std::string& target, std::string_view infix) {
  static constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string suffix;
  for (std::size_t i = 0; i < kRandomLetters; ++i) suffix += kLetters[pick(random)];
  return Beside(target, "." + BaseName(target) + std::string(infix) + suffix);
}

int CreateHiddenBeside(const std::string& target, std::string_view infix, std::string& name, mode_t mode) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = HiddenNameBeside(target, infix);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

FileContents ReadFileContents(const std::string& path) {
  FileContents contents;
  // Non-blocking, so that opening a FIFO returns at once instead of waiting
  // for a writer; only then do we know what the name stands for.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR || errno == ENXIO || errno == ENODEV;
    contents.status = missing ? FileContents::Status::kMissing : FileContents::Status::kUnreadable;
    return contents;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return contents;
  }
  std::string& bytes = contents.bytes;
  bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), kMaxReadBytes));
  std::size_t got = 0;
  bool failed = false;
  while (true) {
    if (got == bytes.size()) {
      if (bytes.size() >= kMaxReadBytes) {
        // Past the cap: what follows is unknown, so the file is never written back.
        char probe = 0;
        ssize_t more = 0;
        do more = ::read(fd, &probe, 1); while (more < 0 && errno == EINTR);
        contents.whole = more == 0;
        break;
      }
      bytes.resize(std::min(kMaxReadBytes, bytes.size() + 4096));  // the file grew meanwhile
    }
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (failed) {
    contents.bytes.clear();
    contents.status = FileContents::Status::kUnreadable;
    return contents;
  }
  bytes.resize(got);
  contents.status = FileContents::Status::kRead;
  if (std::string_view(bytes).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.erase(0, kByteOrderMark.size());
    contents.byteOrderMark = true;
  }
  return contents;
}

std::optional<std::string> WriteTarget(const std::string& path) {
  std::string at = path;
  bool throughLink = false;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0) return at;  // nothing there yet: the write creates it
    if (!S_ISLNK(st.st_mode)) {
      // A FIFO or a device named directly is replaced by the file; one that a
      // link leads to is not ours to replace.
      if (throughLink && !S_ISREG(st.st_mode)) return std::nullopt;
      return at;
    }
    if (st.st_uid != ::geteuid()) return std::nullopt;
    std::error_code error;
    const std::filesystem::path next = std::filesystem::read_symlink(at, error);
    if (error || next.empty()) return std::nullopt;
    at = next.is_absolute() ? next.string() : Beside(at, next.string());
    throughLink = true;
  }
  return std::nullopt;
}

void WriteFileAtomically(const std::string& target, std::string_view bytes) {
  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  // A link here now was not here when the target was worked out: never
  // replace one.
  if (IsReadOnly(target) || (exists && S_ISLNK(old.st_mode))) throw FileWriteError(target);
  std::string name;
  // The kernel applies the umask to a new file's 0666.
  const int fd = CreateHiddenBeside(target, kTemporaryInfix, name, 0666);
  if (fd < 0) throw FileWriteError(target);
  const bool keepsMode = exists && S_ISREG(old.st_mode);
  // The owner first: fchown may clear mode bits, and a file whose owner
  // cannot be kept is not replaced at all.
  const bool ok = GiveOwnership(fd, target) && WriteAll(fd, bytes) &&
                  (!keepsMode || ::fchmod(fd, old.st_mode & 0666) == 0) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!ok || !closed || ::rename(name.c_str(), target.c_str()) != 0) {
    ::unlink(name.c_str());
    throw FileWriteError(target);
  }
  SyncFolder(target);
}

bool EnsureDirectory(const std::string& folder) {
  // One level at a time, each new one private to the player as the XDG
  // rules ask; one that exists fails with EEXIST and keeps its mode.
  const auto make = [](const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 || ::geteuid() != 0) return;
    // Root making a folder in a player's home makes it the player's.
    struct stat parent {};
    if (::stat(FolderOf(path).c_str(), &parent) != 0 || parent.st_uid == 0) return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    // A folder that cannot be the player's (root squashed on NFS) is not left as root's.
    if (::fchown(fd, parent.st_uid, parent.st_gid) != 0) ::rmdir(path.c_str());
    ::close(fd);
  };
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    make(folder.substr(0, slash));
  }
  make(folder);
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

bool CanReplaceFile(const std::string& target) {
  return ::access(FolderOf(target).c_str(), W_OK | X_OK) == 0 && !IsReadOnly(target);
}

void RemoveStaleTemporaries(const std::string& target) {
  std::vector<std::string> stale;
  if (DIR* dir = ::opendir(FolderOf(target).c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      if (IsHiddenBeside(entry->d_name, target, kTemporaryInfix)) stale.push_back(Beside(target, entry->d_name));
    }
    ::closedir(dir);
  }
  if (stale.empty()) return;
  // Under the lock no other copy is half-way through a write, so whatever
  // temporary file is still there was left by one that died.
  const FileLock lock(target);
  if (!lock.Held()) return;
  for (const std::string& file : stale) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(file.c_str());
  }
}

FileLock::FileLock(const std::string& target, LockDeadline until) : path_(target + ".lock") {
  // Never through a link, which could make us create a file wherever it
  // points. Read-write where we may: over NFS flock is a byte-range lock,
  // which needs it; read-only otherwise, which any local flock accepts.
  constexpr int kOpen = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  fd_ = ::open(path_.c_str(), O_RDWR | kOpen);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) fd_ = ::open(path_.c_str(), O_RDONLY | kOpen);
  if (fd_ < 0 && errno == ENOENT) {
    // Made with the guarded file's mode, owner and group, whatever the
    // umask: Alice's 077 must not lock Bob out of their group's file.
    const std::optional<mode_t> mode = FileMode(target);
    fd_ = ::open(path_.c_str(), O_RDWR | kOpen | O_CREAT | O_EXCL, mode ? 0600 : 0666);
    if (fd_ >= 0 && !GiveOwnership(fd_, target)) {
      // Root could not make it the file's owner's: no lock of root's is left there.
      error_ = errno;
      ::unlink(path_.c_str());
      ::close(fd_);
      fd_ = -1;
      return;
    }
    if (fd_ >= 0 && mode) ::fchmod(fd_, *mode); else if (errno == EEXIST) {
      fd_ = ::open(path_.c_str(), O_RDWR | kOpen);  // another copy made it first
      if (fd_ < 0 && errno == EACCES) fd_ = ::open(path_.c_str(), O_RDONLY | kOpen);
    }
  }
  if (fd_ < 0) {
    error_ = errno;
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    error_ = S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISDIR(st.st_mode) ? EINVAL : errno;
    ::close(fd_);
    fd_ = -1;
    return;
  }
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      error_ = errno;  // EBADF, ENOLCK: no lock to be had here, busy or not
      return;
    }
    if (!until || std::chrono::steady_clock::now() >= *until) {
      state_ = State::kBusy;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  state_ = State::kHeld;
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing lets go of the lock
}

}  // namespace quillmont
