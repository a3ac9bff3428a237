#pragma once
// Files are replaced whole: written to a temporary file beside the target,
// flushed to disk, renamed over it, and the folder synced. A failure at any
// step leaves the old file as it was. Reads take regular files only, so a
// FIFO or a device in the file's place never hangs or floods the program.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillmont {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // what(): the target's path
};

// Far more than any file of ours holds; a larger file is read up to here.
inline constexpr std::size_t kMaxReadBytes = std::size_t{1} << 20;

// Throws FileWriteError when the target is read-only (never replaced) or any
// step fails.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The first kMaxReadBytes of a regular file; nullopt for a missing file, a
// folder, a FIFO, a device or anything else that cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// mkdir -p; true when the folder exists afterwards.
bool EnsureDirectory(const std::string& folder);
// Whether a write of the file could succeed: its folder may be written and
// the file, when it exists, is not read-only (root included: a file without
// write bits counts as read-only).
bool CanReplaceFile(const std::string& path);
// Removes "<path>.XXXXXX" files that a killed write left behind; it takes
// the file's lock first, so another copy's write in progress is not touched.
void RemoveStaleTemporaries(const std::string& path);

// An exclusive lock on "<path>.lock" for the time of a read-modify-write, so
// that several running copies never write over each other's changes.
// Waits a bounded time; when the lock file cannot be made (a read-only
// folder) or another copy holds it too long, Held() is false and the caller
// goes on without it.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

}  // namespace quillmont
