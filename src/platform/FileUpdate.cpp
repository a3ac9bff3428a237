#include "platform/FileUpdate.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <tuple>

namespace quillmont {
namespace {

constexpr std::string_view kJournalInfix = ".pending-";
constexpr std::string_view kTemporaryInfix = ".tmp-";

// A lock that cannot be had is a fault of the set-up, not of the moment:
// said once per lock file, with one write(2), from whichever thread.
void SayOnce(const std::string& message) {
  static std::mutex mutex;
  static std::set<std::string> said;
  const std::lock_guard<std::mutex> lock(mutex);
  if (!said.insert(message).second) return;
  const std::string line = "quillmont: " + message + "\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

struct Journal {
  std::string path;
  std::string text;
};

// The journals beside target that this user could remove: the folder may be
// written, and in a sticky folder the journal or the folder is ours. Only
// regular files of at most kMaxJournalBytes, oldest first, kMaxJournals of
// them; with `read` false only whether there are any.
std::vector<Journal> FindJournals(const std::string& target, bool read) {
  std::vector<std::tuple<timespec, std::string>> found;
  const std::string folder = FolderOf(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return {};
  while (const dirent* entry = ::readdir(dir)) {
    if (IsHiddenBeside(entry->d_name, target, kJournalInfix)) {
      found.emplace_back(timespec{}, BesideFile(target, entry->d_name));
    }
  }
  ::closedir(dir);
  if (found.empty() || ::access(folder.c_str(), W_OK | X_OK) != 0) return {};
  struct stat folderInfo {};
  if (::stat(folder.c_str(), &folderInfo) != 0) return {};
  const uid_t me = ::geteuid();
  std::vector<std::tuple<timespec, std::string>> removable;
  for (auto& [when, path] : found) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if ((folderInfo.st_mode & S_ISVTX) != 0 && me != 0 && st.st_uid != me && folderInfo.st_uid != me) continue;
    if (static_cast<std::size_t>(st.st_size) > kMaxJournalBytes) continue;
    removable.emplace_back(st.st_mtim, path);
  }
  std::sort(removable.begin(), removable.end(), [](const auto& a, const auto& b) {
    const timespec &x = std::get<0>(a), &y = std::get<0>(b);
    return std::tie(x.tv_sec, x.tv_nsec, std::get<1>(a)) < std::tie(y.tv_sec, y.tv_nsec, std::get<1>(b));
  });
  if (removable.size() > kMaxJournals) removable.resize(kMaxJournals);
  std::vector<Journal> journals;
  for (auto& [when, path] : removable) {
    if (!read) {
      journals.push_back({path, {}});
      continue;
    }
    const FileContents contents = ReadFileContents(path);
    if (contents.status == FileContents::Status::kRead && contents.bytes.size() <= kMaxJournalBytes) {
      journals.push_back({path, contents.bytes});
    }
  }
  return journals;
}

// Written as any file of ours is: a temporary, given the file's owner and
// mode, synced, then linked under its journal name (link never replaces a
// name another copy took) and the folder synced.
bool WriteJournal(const std::string& target, const std::string& text) {
  std::string temporary;
  const int fd = CreateHiddenBeside(target, kTemporaryInfix, temporary, 0600);
  if (fd < 0) return false;
  const std::optional<mode_t> mode = FileMode(target);
  bool ok = GiveOwnership(fd, target) && ::fchmod(fd, mode ? *mode : 0600) == 0 && WriteAll(fd, text) &&
            ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) {
    ok = false;
    for (int attempt = 0; attempt < 100 && !ok; ++attempt) {
      const std::string name = HiddenNameBeside(target, kJournalInfix);
      if (::link(temporary.c_str(), name.c_str()) == 0) {
        ok = true;
      } else if (errno != EEXIST) {
        ok = ::rename(temporary.c_str(), name.c_str()) == 0;  // a file system without hard links
        break;
      }
    }
  }
  ::unlink(temporary.c_str());
  if (ok) SyncFolder(target);
  return ok;
}

}  // namespace

UpdateResult UpdateFile(const FileUpdate& update) {
  UpdateResult result;
  result.target = update.path;
  if (update.path.empty()) return result;
  if (update.makeFolder && !EnsureDirectory(FolderOf(update.path))) return result;
  // Never through a link of somebody else's; the player's own is followed.
  const std::optional<std::string> target = WriteTarget(update.path);
  if (!target) {
    result.outcome = UpdateOutcome::kRefused;
    return result;
  }
  result.target = *target;
  if (update.onlyJournals && FindJournals(*target, false).empty()) {
    result.outcome = UpdateOutcome::kWritten;
    return result;
  }
  if (!CanReplaceFile(*target) || !KeepsOwnership(*target)) {
    result.outcome = UpdateOutcome::kRefused;
    return result;
  }
  const FileLock lock(*target, update.until);
  if (lock.Status() == FileLock::State::kBusy && update.onlyJournals) {
    result.outcome = UpdateOutcome::kWritten;  // nothing of ours waits: the journals wait for the next update
    return result;
  }
  if (lock.Status() == FileLock::State::kBusy) {
    // At shutdown, once the wait is over, the change goes beside the file
    // rather than over another copy's write.
    const bool journaled = update.until && !update.journal.empty() && WriteJournal(*target, update.journal);
    result.outcome = journaled      ? UpdateOutcome::kJournaled
                     : update.until ? UpdateOutcome::kFailed
                                    : UpdateOutcome::kBusy;
    return result;
  }
  if (!lock.Held()) {
    SayOnce("cannot lock " + lock.Path() + ": " + std::strerror(lock.Error()) + "; it is not written");
    result.outcome = UpdateOutcome::kUnavailable;
    return result;
  }
  const FileContents now = ReadFileContents(*target);
  // What a file holds past what could be read is unknown: never written over.
  if (now.status == FileContents::Status::kUnreadable || !now.whole) {
    result.outcome = UpdateOutcome::kUnreadable;
    return result;
  }
  const std::vector<Journal> journals = FindJournals(*target, true);
  std::vector<std::string> texts;
  for (const Journal& journal : journals) texts.push_back(journal.text);
  const std::optional<std::string> text = update.apply(now, texts);
  if (text) {
    try {
      WriteFileAtomically(*target, *text);
    } catch (const FileWriteError&) {
      result.outcome = KeepsOwnership(*target) ? UpdateOutcome::kFailed : UpdateOutcome::kRefused;
      return result;
    }
  }
  // Still under the lock, so no other copy merges them again meanwhile;
  // should the program die before this, merging again changes nothing.
  for (const Journal& journal : journals) ::unlink(journal.path.c_str());
  if (!journals.empty()) SyncFolder(*target);
  result.outcome = UpdateOutcome::kWritten;
  return result;
}

std::string ToHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]), low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

}  // namespace quillmont
