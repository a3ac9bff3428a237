#pragma once
// Files are replaced whole: written to a hidden temporary file beside the
// target, flushed to disk, renamed over it, and the folder synced. A failure
// at any step leaves the old file as it was. Every step works on the
// descriptor of the file's folder (ResolvedFile), so a name swapped for a
// link, or a folder on the way renamed, cannot send a read or a write
// elsewhere. Reads take regular files only, so a FIFO or a device in the
// file's place never hangs or floods the program. A player's own symbolic
// link stays a link: writes go where it points.
#include <sys/stat.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ResolvedFile.h"

namespace quillmont {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // what(): the target's path
};

// Far more than any file of ours holds; a larger file is read up to here.
inline constexpr std::size_t kMaxReadBytes = std::size_t{1} << 20;

// What a read found. A missing file and anything that is not a regular file
// (a FIFO, a device, a folder) are Missing; a file that exists but could not
// be read (permissions, an I/O error, a link of another user's on the way)
// is Unreadable and must not be written over, since what it holds is unknown.
struct FileContents {
  enum class Status { kRead, kMissing, kUnreadable };
  Status status = Status::kMissing;
  std::string bytes;           // the first kMaxReadBytes, without a byte-order mark
  bool byteOrderMark = false;  // the file started with a UTF-8 byte-order mark
  bool whole = true;           // false when the file went on past kMaxReadBytes: never to be written back
  // What was read, by device and inode; nullopt when nothing was there.
  std::optional<struct stat> read;
};
// A relative path with an anchor folder descriptor lies in that folder.
FileContents ReadFileContents(const std::string& path, int anchor = -1);
FileContents ReadFileContents(const ResolvedFile& file);

// The folder of a path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

// Replaces the file with bytes, provided its name still stands for what
// was read (`read`, as ReadFileContents gave it: nullopt for nothing). The
// temporary file is made 0600 and given its final owner and mode before
// the first byte: the replaced file's owner, group and read and write bits
// (never execute, setuid, setgid or sticky ones), or 0666 less the umask
// for a new file. kChanged: the name stands for something else now, and
// nothing was written; kRefused: not ours to replace (read-only, a special
// file reached through a link, an owner or group it would lose).
enum class ReplaceOutcome { kReplaced, kChanged, kRefused, kFailed };
ReplaceOutcome ReplaceFile(const ResolvedFile& file, const std::optional<struct stat>& read, std::string_view bytes);
// The same without a lock and for whatever the name holds now; throws
// FileWriteError naming the path unless it was replaced.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// Whether a write could succeed and keep what must be kept: the folder may
// be written; the file, when it exists, is not read-only (root included: a
// file without write bits counts as read-only); and root can give a
// replaced file its owner and group back, anyone else keeps its group when
// a member of it and may not replace a file that grants its group access
// it could not keep.
bool MayReplace(const ResolvedFile& file);
// Removes the hidden temporary files (".<name>.tmp-XXXXXX") that a killed
// write left beside the file, and nothing else: a player's own
// "<name>.backup" stays. Takes the file's lock first, so another copy's
// write in progress is not touched.
void RemoveStaleTemporaries(const std::string& path, int anchor = -1);

// When a lock may be waited for until: nullopt is one try, as during play.
using LockDeadline = std::optional<std::chrono::steady_clock::time_point>;

// Building blocks of the update (FileUpdate.h): the temporary files' infix,
// a whole write to a descriptor (false on any failure), a new hidden file
// ".<name><infix>XXXXXX" beside the file, made 0600 and given the owner and
// mode the file should have (-1 on failure, its name in `name`); whether a
// folder entry is such a name, and every such entry; the folder's fsync that
// makes a rename or an unlink durable.
inline constexpr std::string_view kTemporaryInfix = ".tmp-";
bool WriteAll(int fd, std::string_view bytes);
int CreateHiddenBeside(const ResolvedFile& file, std::string_view infix, std::string& name,
                       const std::optional<struct stat>& existing);
std::string HiddenNameBeside(const ResolvedFile& file, std::string_view infix);  // a fresh random one
std::vector<std::string> HiddenFilesBeside(const ResolvedFile& file, std::string_view infix);
void SyncFolder(const ResolvedFile& file);
// The file as it is now, not following a link; nullopt when nothing is there.
std::optional<struct stat> StatNow(const ResolvedFile& file);
// The same, but nullopt for anything other than a regular file.
std::optional<struct stat> RegularNow(const ResolvedFile& file);

// An exclusive lock on "<name>.lock" beside the file for the time of a
// read-modify-write, so that several running copies never write over each
// other's changes. The lock file is opened read-write where the user may
// (NFS emulates flock with byte-range locks, which a read-only descriptor
// cannot take), else read-only, and never through a symbolic link. A
// missing one is created with the mode, owner and group the file has, so
// that a group sharing the file shares its lock whatever the umask of
// whoever came first.
class FileLock {
 public:
  enum class State { kHeld, kBusy, kUnavailable };

  explicit FileLock(const ResolvedFile& file, LockDeadline until = std::nullopt);
  explicit FileLock(const std::string& path, LockDeadline until = std::nullopt);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // kBusy: another copy held it all the while; kUnavailable: the lock file
  // cannot be opened, made or locked (a read-only folder, a link or a FIFO
  // in its place, EBADF, ENOLCK): Error() says why.
  State Status() const { return state_; }
  bool Held() const { return state_ == State::kHeld; }
  int Error() const { return error_; }

 private:
  void Take(const ResolvedFile& file, LockDeadline until);

  int fd_ = -1;
  int error_ = 0;
  State state_ = State::kUnavailable;
};

}  // namespace quillmont
