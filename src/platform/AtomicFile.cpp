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

// After a rename the new name is durable only once its folder is synced.
void SyncFolder(const std::string& path) {
  const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool IsReadOnly(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;  // missing: nothing to protect
  if ((st.st_mode & 0222) == 0) return true;
  return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

bool IsAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// ".<name>.tmp-" and six letters or digits: a name no player gives a file.
bool IsOurTemporary(std::string_view entry, const std::string& prefix) {
  if (entry.size() != prefix.size() + kRandomLetters || entry.substr(0, prefix.size()) != prefix) return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(), IsAlphanumeric);
}

std::string TemporaryPrefix(const std::string& target) {
  return "." + BaseName(target) + std::string(kTemporaryInfix);
}

// Opens a new temporary file beside the target under a random name; the
// kernel applies the umask to its mode 0666.
int CreateTemporary(const std::string& target, std::string& name) {
  static constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (std::size_t i = 0; i < kRandomLetters; ++i) suffix += kLetters[pick(random)];
    name = Beside(target, TemporaryPrefix(target) + suffix);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

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
      if (bytes.size() >= kMaxReadBytes) break;
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
  const int fd = CreateTemporary(target, name);
  if (fd < 0) throw FileWriteError(target);
  const bool keepsMode = exists && S_ISREG(old.st_mode);
  const bool ok = WriteAll(fd, bytes) && (!keepsMode || ::fchmod(fd, old.st_mode & 0666) == 0) && ::fsync(fd) == 0;
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
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
  }
  ::mkdir(folder.c_str(), 0700);
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

bool CanReplaceFile(const std::string& target) {
  return ::access(FolderOf(target).c_str(), W_OK | X_OK) == 0 && !IsReadOnly(target);
}

void RemoveStaleTemporaries(const std::string& target) {
  const std::string prefix = TemporaryPrefix(target);
  std::vector<std::string> stale;
  if (DIR* dir = ::opendir(FolderOf(target).c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      if (IsOurTemporary(entry->d_name, prefix)) stale.push_back(Beside(target, entry->d_name));
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

FileLock::FileLock(const std::string& target, std::chrono::milliseconds wait) {
  // Read-only: flock needs no write access, and O_CREAT on another user's
  // file fails in a sticky folder. Never through a link, which could make
  // us create a file wherever it points.
  const std::string path = target + ".lock";
  constexpr int kOpen = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  fd_ = ::open(path.c_str(), kOpen);
  if (fd_ < 0 && errno == ENOENT) {
    fd_ = ::open(path.c_str(), kOpen | O_CREAT | O_EXCL, 0666);
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path.c_str(), kOpen);  // another copy made it first
  }
  struct stat st {};
  if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd_);
    fd_ = -1;
  }
  if (fd_ < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= deadline) {
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
