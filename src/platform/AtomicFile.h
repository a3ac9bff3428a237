#pragma once
// Files are replaced whole: written to a hidden temporary file beside the
// target, flushed to disk, renamed over it, and the folder synced. A failure
// at any step leaves the old file as it was. Reads take regular files only,
// so a FIFO or a device in the file's place never hangs or floods the
// program. A player's own symbolic link stays a link: writes go where it
// points.
#include <chrono>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quillmont {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // what(): the target's path
};

// Far more than any file of ours holds; a larger file is read up to here.
inline constexpr std::size_t kMaxReadBytes = std::size_t{1} << 20;

// What a read found. A missing file and anything that is not a regular file
// (a FIFO, a device, a folder) are Missing; a file that exists but could not
// be read (permissions, an I/O error) is Unreadable and must not be written
// over, since what it holds is unknown.
struct FileContents {
  enum class Status { kRead, kMissing, kUnreadable };
  Status status = Status::kMissing;
  std::string bytes;           // the first kMaxReadBytes, without a byte-order mark
  bool byteOrderMark = false;  // the file started with a UTF-8 byte-order mark
  bool whole = true;           // false when the file went on past kMaxReadBytes: never to be written back
};
FileContents ReadFileContents(const std::string& path);

// The folder of a path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

// Where a write of `path` lands: the path itself, or, when it is a symbolic
// link of the player's own (a chain of them), the file the link points at,
// which need not exist yet. nullopt when a link on the way belongs to
// anybody else (in a shared folder it would let one user make another
// overwrite their files), when it leads to anything but a regular file, or
// when it loops.
std::optional<std::string> WriteTarget(const std::string& path);

// Replaces target (as WriteTarget gives it) with bytes. A new file takes
// mode 0666 less the umask; a replaced one keeps its read and write bits
// (never execute, setuid, setgid or sticky ones) and its owner and group
// (see KeepsOwnership). Throws FileWriteError when the target is read-only
// (never replaced), its owner cannot be kept, or any step fails.
void WriteFileAtomically(const std::string& target, std::string_view bytes);
// mkdir -p, each new folder 0700 (existing ones keep their modes); true
// when the folder exists afterwards. A folder that root makes inside
// another user's folder belongs to that user.
bool EnsureDirectory(const std::string& folder);

// Whether a file made beside target may stand in its place without taking
// it from its owner or its group: root can always give the file's owner and
// group back (by descriptor, see GiveOwnership); anyone else keeps the
// group when a member of it, and may not replace a file that grants its
// group access it could not keep. A missing target is always fine.
bool KeepsOwnership(const std::string& target);
// Gives the new file fd, made to stand beside or in place of target, the
// owner and group it should have: the target's (root: both; others: the
// group, where a member), or for a new file that root makes in another
// user's folder, that user's. False when that fails: root then must not
// replace the file (an NFS export that squashes root).
bool GiveOwnership(int fd, const std::string& target);
// The read and write bits of target, or nullopt when it does not exist.
std::optional<mode_t> FileMode(const std::string& target);
// Whether a write of the target could succeed: its folder may be written
// and the file, when it exists, is not read-only (root included: a file
// without write bits counts as read-only).
bool CanReplaceFile(const std::string& target);
// Removes the hidden temporary files (".<name>.tmp-XXXXXX") that a killed
// write left beside the target, and nothing else: a player's own
// "<name>.backup" stays. Takes the file's lock first, so another copy's
// write in progress is not touched.
void RemoveStaleTemporaries(const std::string& target);

// When a lock may be waited for until: nullopt is one try, as during play.
using LockDeadline = std::optional<std::chrono::steady_clock::time_point>;

// Building blocks of the update (FileUpdate.h): a new hidden file
// ".<name><infix>XXXXXX" beside target, opened for writing (-1 on failure,
// its path in `name`); whether a folder entry is such a name; the folder's
// fsync that makes a rename or an unlink durable.
std::string HiddenNameBeside(const std::string& target, std::string_view infix);  // a fresh random one
int CreateHiddenBeside(const std::string& target, std::string_view infix, std::string& name, mode_t mode);
bool IsHiddenBeside(std::string_view entry, const std::string& target, std::string_view infix);
void SyncFolder(const std::string& path);
std::string BesideFile(const std::string& path, const std::string& name);

// An exclusive lock on "<target>.lock" for the time of a read-modify-write,
// so that several running copies never write over each other's changes. The
// lock file is opened read-write where the user may (NFS emulates flock
// with byte-range locks, which a read-only descriptor cannot take), else
// read-only, and never through a symbolic link. A missing one is created
// with the mode, owner and group the target has, so that a group sharing
// the file shares its lock whatever the umask of whoever came first.
class FileLock {
 public:
  enum class State { kHeld, kBusy, kUnavailable };

  explicit FileLock(const std::string& target, LockDeadline until = std::nullopt);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // kBusy: another copy held it all the while; kUnavailable: the lock file
  // cannot be opened, made or locked (a read-only folder, a link or a FIFO
  // in its place, EBADF, ENOLCK): Error() says why.
  State Status() const { return state_; }
  bool Held() const { return state_ == State::kHeld; }
  int Error() const { return error_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  State state_ = State::kUnavailable;
};

}  // namespace quillmont
