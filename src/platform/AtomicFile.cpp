#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

namespace quillmont {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kRandomLetters = 6;

bool IsAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsMemberOf(gid_t group) {
  if (group == ::getegid()) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// The process's umask, read rather than set: setting it, even for a moment,
// would change the mode of whatever another thread creates meanwhile.
// Unknown, it is taken as the strictest.
mode_t Umask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) != 0) continue;
    const std::size_t digits = line.find_first_not_of(" \t", 6);
    unsigned mask = 0;
    if (digits != std::string::npos &&
        std::from_chars(line.data() + digits, line.data() + line.size(), mask, 8).ec == std::errc()) {
      return static_cast<mode_t>(mask & 0777);
    }
  }
  return 077;
}

bool SameFile(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
  if (!a || !b) return !a && !b;
  return a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}

// Gives the new file fd, made to stand in place of `existing` (a regular
// file, or nullopt for none), the owner and group it should have: the
// replaced file's (root: both; others: the group, where a member), or for a
// new file that root makes in another user's folder, that user's. False
// when that fails: root then must not replace the file (an NFS export that
// squashes root).
bool GiveOwnership(int fd, const ResolvedFile& file, const std::optional<struct stat>& existing) {
  struct stat made {};
  if (::fstat(fd, &made) != 0) return false;
  if (::geteuid() == 0) {
    struct stat owner {};
    if (existing) {
      owner = *existing;
    } else if (::fstat(file.Folder(), &owner) != 0 || owner.st_uid == 0) {
      return true;
    }
    if (made.st_uid == owner.st_uid && made.st_gid == owner.st_gid) return true;
    return ::fchown(fd, owner.st_uid, owner.st_gid) == 0;
  }
  if (!existing || made.st_gid == existing->st_gid) return true;
  if (IsMemberOf(existing->st_gid)) return ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid) == 0;
  return (existing->st_mode & 0060) == 0;
}

std::optional<struct stat> Regular(const std::optional<struct stat>& st) {
  return st && S_ISREG(st->st_mode) ? st : std::nullopt;
}

bool IsHiddenBeside(std::string_view entry, const ResolvedFile& file, std::string_view infix) {
  const std::string prefix = "." + file.Name() + std::string(infix);
  if (entry.size() != prefix.size() + kRandomLetters || entry.substr(0, prefix.size()) != prefix) return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(), IsAlphanumeric);
}

}  // namespace

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


std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<struct stat> StatNow(const ResolvedFile& file) {
  struct stat st {};
  if (!file.Ok() || ::fstatat(file.Folder(), file.Name().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return st;
}

std::optional<struct stat> RegularNow(const ResolvedFile& file) { return Regular(StatNow(file)); }

FileContents ReadFileContents(const std::string& path, int anchor) {
  return ReadFileContents(ResolvedFile(path, false, anchor));
}

FileContents ReadFileContents(const ResolvedFile& file) {
  FileContents contents;
  if (!file.Ok()) {
    contents.status = file.Missing() ? FileContents::Status::kMissing : FileContents::Status::kUnreadable;
    return contents;
  }
  // Non-blocking, so that opening a FIFO returns at once instead of waiting
  // for a writer; only then do we know what the name stands for. Never
  // through a link: one there now was put there after the folder was
  // resolved, by whoever may write the folder.
  const int fd = ::openat(file.Folder(), file.Name().c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    const bool missing = errno == ENOENT || errno == ENOTDIR || errno == ENXIO || errno == ENODEV;
    contents.status = missing ? FileContents::Status::kMissing : FileContents::Status::kUnreadable;
    return contents;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    contents.status = FileContents::Status::kUnreadable;
    return contents;
  }
  contents.read = st;
  if (!S_ISREG(st.st_mode)) {
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

bool MayReplace(const ResolvedFile& file) {
  if (!file.Ok() || ::faccessat(file.Folder(), ".", W_OK | X_OK, AT_EACCESS) != 0) return false;
  const std::optional<struct stat> now = RegularNow(file);
  if (!now) return true;
  if ((now->st_mode & 0222) == 0) return false;
  if (::faccessat(file.Folder(), file.Name().c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS)) {
    return false;
  }
  // A file of ours in our own group, or one in a group we belong to, keeps
  // it; a file of a group we cannot give it back loses nothing only when
  // that group had no access to it.
  return ::geteuid() == 0 || IsMemberOf(now->st_gid) || (now->st_mode & 0060) == 0;
}

ReplaceOutcome ReplaceFile(const ResolvedFile& file, const std::optional<struct stat>& read, std::string_view bytes) {
  if (!file.Ok()) return ReplaceOutcome::kRefused;
  const std::optional<struct stat> now = StatNow(file);
  if (!SameFile(now, read)) return ReplaceOutcome::kChanged;
  // A FIFO or a device named directly is replaced by the file; one that a
  // link leads to is not ours to replace.
  if (now && !S_ISREG(now->st_mode) && file.ThroughLink()) return ReplaceOutcome::kRefused;
  if (!MayReplace(file)) return ReplaceOutcome::kRefused;
  std::string temporary;
  const int fd = CreateHiddenBeside(file, kTemporaryInfix, temporary, Regular(now));
  if (fd < 0) return errno == EPERM ? ReplaceOutcome::kRefused : ReplaceOutcome::kFailed;
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  // The name must still stand for what was read: whatever took its place
  // meanwhile is not written over.
  const bool same = SameFile(StatNow(file), read);
  if (!written || !closed || !same ||
      ::renameat(file.Folder(), temporary.c_str(), file.Folder(), file.Name().c_str()) != 0) {
    ::unlinkat(file.Folder(), temporary.c_str(), 0);
    return written && closed && !same ? ReplaceOutcome::kChanged : ReplaceOutcome::kFailed;
  }
  SyncFolder(file);
  return ReplaceOutcome::kReplaced;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const ResolvedFile file(path);
  if (ReplaceFile(file, StatNow(file), bytes) != ReplaceOutcome::kReplaced) throw FileWriteError(path);
}

void SyncFolder(const ResolvedFile& file) { ::fsync(file.Folder()); }

std::vector<std::string> HiddenFilesBeside(const ResolvedFile& file, std::string_view infix) {
  std::vector<std::string> names;
  const int listing = ::openat(file.Folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing)) {
    while (const dirent* entry = ::readdir(dir)) {
      if (IsHiddenBeside(entry->d_name, file, infix)) names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
  } else if (listing >= 0) {
    ::close(listing);
  }
  return names;
}

std::string HiddenNameBeside(const ResolvedFile& file, std::string_view infix) {
  static constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string name = "." + file.Name() + std::string(infix);
  for (std::size_t i = 0; i < kRandomLetters; ++i) name += kLetters[pick(random)];
  return name;
}

int CreateHiddenBeside(const ResolvedFile& file, std::string_view infix, std::string& name,
                       const std::optional<struct stat>& existing) {
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    name = HiddenNameBeside(file, infix);
    // Private from the first moment: nobody may open it before its mode is final.
    fd = ::openat(file.Folder(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return -1;
  }
  if (fd < 0) return -1;
  // The owner first: fchown may clear mode bits, and a file whose owner
  // cannot be kept is not written at all.
  const mode_t mode = existing ? existing->st_mode & 0666 : 0666 & ~Umask();
  if (!GiveOwnership(fd, file, existing) || ::fchmod(fd, mode) != 0) {
    ::close(fd);
    ::unlinkat(file.Folder(), name.c_str(), 0);
    errno = EPERM;
    return -1;
  }
  return fd;
}

void RemoveStaleTemporaries(const std::string& path, int anchor) {
  const ResolvedFile file(path, false, anchor);
  if (!file.Ok()) return;
  const std::vector<std::string> stale = HiddenFilesBeside(file, kTemporaryInfix);
  if (stale.empty()) return;
  // Under the lock no other copy is half-way through a write, so whatever
  // temporary file is still there was left by one that died.
  const FileLock lock(file);
  if (!lock.Held()) return;
  for (const std::string& name : stale) {
    struct stat st {};
    if (::fstatat(file.Folder(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
      ::unlinkat(file.Folder(), name.c_str(), 0);
    }
  }
}

FileLock::FileLock(const ResolvedFile& file, LockDeadline until) { Take(file, until); }

FileLock::FileLock(const std::string& path, LockDeadline until) { Take(ResolvedFile(path), until); }

void FileLock::Take(const ResolvedFile& file, LockDeadline until) {
  if (!file.Ok()) {
    error_ = EACCES;
    return;
  }
  const int folder = file.Folder();
  const std::string name = file.Name() + ".lock";
  // Never through a link, which could make us create a file wherever it
  // points. Read-write where we may: over NFS flock is a byte-range lock,
  // which needs it; read-only otherwise, which any local flock accepts.
  constexpr int kOpen = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  fd_ = ::openat(folder, name.c_str(), O_RDWR | kOpen);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd_ = ::openat(folder, name.c_str(), O_RDONLY | kOpen);
  }
  if (fd_ < 0 && errno == ENOENT) {
    // Made with the guarded file's mode, owner and group, whatever the
    // umask: Alice's 077 must not lock Bob out of their group's file.
    const std::optional<struct stat> guarded = Regular(StatNow(file));
    fd_ = ::openat(folder, name.c_str(), O_RDWR | kOpen | O_CREAT | O_EXCL, 0600);
    if (fd_ >= 0 && !GiveOwnership(fd_, file, guarded)) {
      // Root could not make it the file's owner's: no lock of root's is left there.
      error_ = errno;
      ::unlinkat(folder, name.c_str(), 0);
      ::close(fd_);
      fd_ = -1;
      return;
    }
    if (fd_ >= 0) {
      ::fchmod(fd_, guarded ? guarded->st_mode & 0666 : 0666 & ~Umask());
    } else if (errno == EEXIST) {
      fd_ = ::openat(folder, name.c_str(), O_RDWR | kOpen);  // another copy made it first
      if (fd_ < 0 && errno == EACCES) fd_ = ::openat(folder, name.c_str(), O_RDONLY | kOpen);
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
