#pragma once
// The one way both files of the game are changed while other copies of the
// program, other users of a shared folder, or root with a player's HOME may
// change them too: the folder, the write target (a player's own link is
// followed), the lock, a read of the file as it is now, this run's changes
// applied to it, an atomic replace. A change reaches the file only under
// its lock. At shutdown a lock that stays busy leaves the change in a
// journal beside the file, which the next locked update of any copy merges.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"

namespace quillmont {

struct FileUpdate {
  std::string path;         // the file as named
  int anchor = -1;          // a folder descriptor that a relative path starts from
  bool makeFolder = false;  // make its folder (0700) when missing
  LockDeadline until;       // nullopt: one try at the lock, as during play
  // Given the file as it is now (kRead or kMissing) and the journals to
  // merge (each one's text, oldest first, untrusted), returns the new text,
  // or nullopt for no change. Must apply a journal so that applying it
  // again changes nothing.
  std::function<std::optional<std::string>(const FileContents& now, const std::vector<std::string>& journals)> apply;
  // What goes into a journal when the lock is still busy at `until`: the
  // same changes, in the caller's own format; empty for no journal.
  std::string journal;
  // Only merge journals: nothing happens, not even the lock, when none
  // lies beside the file.
  bool onlyJournals = false;
};

enum class UpdateOutcome {
  kWritten,      // the file holds the change (or needed none)
  kJournaled,    // the lock stayed busy until the deadline: the change is in a journal
  kBusy,         // another copy holds the lock: nothing written, the change waits
  kUnavailable,  // the lock cannot be had for a reason other than busy (said once on standard error)
  kUnreadable,   // the file exists but cannot be read whole: never written over
  kRefused,      // not ours to replace: read-only, a foreign link, a group or owner it would lose
  kFailed,       // a step of the write failed; the old file is whole
};

struct UpdateResult {
  UpdateOutcome outcome = UpdateOutcome::kFailed;
};

UpdateResult UpdateFile(const FileUpdate& update);

// Journals beside a file: ".<name>.pending-XXXXXX". At most this many, of at
// most this size, are merged by one update; the rest wait for the next.
inline constexpr std::size_t kMaxJournals = 32;
inline constexpr std::size_t kMaxJournalBytes = 64 * 1024;

// Text that survives any journal format: bytes as two hex digits each.
std::string ToHex(std::string_view bytes);
std::optional<std::string> FromHex(std::string_view hex);

}  // namespace quillmont
