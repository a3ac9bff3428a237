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

struct Journal {
  std::string name;  // in the file's folder
  std::string text;
};

// The journals beside the file that this user could remove: the folder may
// be written, and in a sticky folder the journal or the folder is ours. Only
// regular files of at most kMaxJournalBytes, oldest first, kMaxJournals of
// them; with `read` false only whether there are any.
std::vector<Journal> FindJournals(const ResolvedFile& file, bool read) {
  const int folder = file.Folder();
  const std::vector<std::string> names = HiddenFilesBeside(file, kJournalInfix);
  struct stat folderInfo {};
  if (names.empty() || ::faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) != 0 || ::fstat(folder, &folderInfo) != 0) {
    return {};
  }
  const uid_t me = ::geteuid();
  std::vector<std::tuple<timespec, std::string>> removable;
  for (const std::string& name : names) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if ((folderInfo.st_mode & S_ISVTX) != 0 && me != 0 && st.st_uid != me && folderInfo.st_uid != me) continue;
    if (static_cast<std::size_t>(st.st_size) > kMaxJournalBytes) continue;
    removable.emplace_back(st.st_mtim, name);
  }
  std::sort(removable.begin(), removable.end(), [](const auto& a, const auto& b) {
    const timespec &x = std::get<0>(a), &y = std::get<0>(b);
    return std::tie(x.tv_sec, x.tv_nsec, std::get<1>(a)) < std::tie(y.tv_sec, y.tv_nsec, std::get<1>(b));
  });
  if (removable.size() > kMaxJournals) removable.resize(kMaxJournals);
  std::vector<Journal> journals;
  for (auto& [when, name] : removable) {
    if (!read) {
      journals.push_back({name, {}});
      continue;
    }
    // A journal that cannot be read whole waits for the next update.
    FileContents contents = ReadFileContents(name, folder);
    if (contents.status == FileContents::Status::kRead && contents.bytes.size() <= kMaxJournalBytes) {
      journals.push_back({name, std::move(contents.bytes)});
    }
  }
  return journals;
}

// Written as any file of ours is: a temporary, given the file's owner and
// mode, synced, then linked under its journal name (link never replaces a
// name another copy took) and the folder synced.
bool WriteJournal(const ResolvedFile& file, const std::string& text) {
  const int folder = file.Folder();
  std::string temporary;
  const int fd = CreateHiddenBeside(file, kTemporaryInfix, temporary, RegularNow(file));
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) {
    ok = false;
    for (int attempt = 0; attempt < 100 && !ok; ++attempt) {
      const std::string name = HiddenNameBeside(file, kJournalInfix);
      if (::linkat(folder, temporary.c_str(), folder, name.c_str(), 0) == 0) {
        ok = true;
      } else if (errno != EEXIST) {
        // A file system without hard links.
        ok = ::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0;
        break;
      }
    }
  }
  ::unlinkat(folder, temporary.c_str(), 0);
  if (ok) SyncFolder(file);
  return ok;
}

// One pass of the update on the file as resolved now; nullopt when the
// file's name was swapped for something else meanwhile.
std::optional<UpdateOutcome> UpdateOnce(const FileUpdate& update, const ResolvedFile& file) {
  if (update.onlyJournals && FindJournals(file, false).empty()) return UpdateOutcome::kWritten;
  if (!MayReplace(file)) return UpdateOutcome::kRefused;
  const FileLock lock(file, update.until);
  // Nothing of ours waits: the journals wait for the next update.
  if (lock.Status() == FileLock::State::kBusy && update.onlyJournals) return UpdateOutcome::kWritten;
  if (lock.Status() == FileLock::State::kBusy) {
    // At shutdown, once the wait is over, the change goes beside the file
    // rather than over another copy's write.
    const bool journaled = update.until && !update.journal.empty() && WriteJournal(file, update.journal);
    return journaled ? UpdateOutcome::kJournaled : update.until ? UpdateOutcome::kFailed : UpdateOutcome::kBusy;
  }
  if (!lock.Held()) {
    SayOnce("cannot lock " + file.Path() + ".lock: " + std::strerror(lock.Error()) + "; it is not written");
    return UpdateOutcome::kUnavailable;
  }
  const FileContents now = ReadFileContents(file);
  if (now.status == FileContents::Status::kUnreadable) {
    // A link where the file was: somebody swapped the name since it was resolved.
    const std::optional<struct stat> there = StatNow(file);
    if (there && S_ISLNK(there->st_mode)) return std::nullopt;
  }
  // What a file holds past what could be read is unknown: never written over.
  if (now.status == FileContents::Status::kUnreadable || !now.whole) return UpdateOutcome::kUnreadable;
  const std::vector<Journal> journals = FindJournals(file, true);
  std::vector<std::string> texts;
  for (const Journal& journal : journals) texts.push_back(journal.text);
  if (const std::optional<std::string> text = update.apply(now, texts)) {
    switch (ReplaceFile(file, now.read, *text)) {
      case ReplaceOutcome::kReplaced:
        break;
      case ReplaceOutcome::kChanged:
        return std::nullopt;
      case ReplaceOutcome::kRefused:
        return UpdateOutcome::kRefused;
      case ReplaceOutcome::kFailed:
        return UpdateOutcome::kFailed;
    }
  }
  // Still under the lock, so no other copy merges them again meanwhile;
  // should the program die before this, merging again changes nothing.
  for (const Journal& journal : journals) ::unlinkat(file.Folder(), journal.name.c_str(), 0);
  if (!journals.empty()) SyncFolder(file);
  return UpdateOutcome::kWritten;
}

}  // namespace

UpdateResult UpdateFile(const FileUpdate& update) {
  UpdateResult result;
  if (update.path.empty()) return result;
  // A name that keeps changing under the update is somebody's doing: after
  // two fresh starts the file counts as not ours to write.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const ResolvedFile file(update.path, update.makeFolder, update.anchor);
    if (!file.Ok()) {
      result.outcome = UpdateOutcome::kRefused;
      return result;
    }
    if (const std::optional<UpdateOutcome> outcome = UpdateOnce(update, file)) {
      result.outcome = *outcome;
      return result;
    }
  }
  result.outcome = UpdateOutcome::kRefused;
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
