#pragma once
// Where the best-players file is kept and how it is written while other
// copies of the program may be running: each write takes the file's lock,
// reads the file as it is now, applies this run's unsaved changes to it and
// replaces it atomically. So no copy ever writes back a stale table, and a
// finished game is ranked against the table as it stands on disk.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/AtomicFile.h"
#include "records/TRecorde.h"
#include "records/TableChanges.h"

namespace quillmont {

struct SharedState;

class RecordsStore {
 public:
  // programFile: "QUILLMONT.REC" in the program's folder, or "" for a copy
  // installed for the whole system, which never writes there; userFile: the
  // player's own copy. The program's file is the table while it can be read
  // and written and the player's copy does not exist; from the moment that
  // copy exists it is the table for every running copy of the program. The
  // choice is made again at every write. userFile is "" for a player with
  // no home folder; with neither file the table lives in memory alone.
  // With the program folder's descriptor, the program's file is reached
  // through it, so a folder renamed and replaced under a running game does
  // not take its writes; programFile then names it in messages.
  RecordsStore(std::string programFile, std::string userFile, int programFolder = -1);

  // Removes what killed writes left beside the files, merges the journals
  // that copies stopped while another held the lock left there, and reads
  // the table; a missing or unreadable file gives an empty table.
  TTabelaRecordes Load();

  // Ranks a finished game of the current category against the file as it
  // is now, and writes it at once with its empty name: PosicaoRanking takes
  // the verdict. The lock is tried once: when it is busy or the file cannot
  // be read, the game is ranked against the table as last read and the
  // result waits for the next write. Returns false when the lock kept the
  // write back; throws
  // FileWriteError when no place could be written (the result waits too).
  bool RankFinishedGame(SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today);

  // Merges shared.Unsaved into the file and writes it. Afterwards the shared
  // table is the merged one, with other copies' results in it, and
  // PosicaoRanking follows the result just ranked to where it now stands.
  // Without `until` the lock is tried once, and false means another copy
  // held it (the changes wait for the next write). With `until` (at
  // shutdown) it is waited for until then; still busy, the changes go into
  // a journal beside the file, which any copy's next write merges. A lock
  // that cannot be had at all, like a file that cannot be read or replaced,
  // sends the changes to the player's own copy. Throws FileWriteError
  // naming the last file tried when no place can be written; the changes
  // then stay unsaved for the next attempt.
  bool Save(SharedState& shared, LockDeadline until = std::nullopt);

  // The file read or written last.
  const std::string& Path() const { return current_; }

 private:
  enum class Outcome { kWritten, kBusy, kRefused };
  struct Attempt {
    Outcome outcome = Outcome::kRefused;
    std::optional<TTabelaRecordes> merged;  // the file as read, with the changes applied
    int lastRank = kNoRank;                 // where the last change left its result
    std::string file;                       // the last file tried
  };

  Attempt Write(const std::vector<TableChange>& changes, LockDeadline until, bool onlyJournals = false);
  Attempt WriteTo(const std::string& file, const std::vector<TableChange>& changes, LockDeadline until,
                  bool onlyJournals);
  std::string ChosenFile() const;
  // How a file is reached: a path, with the folder descriptor it starts from.
  std::pair<std::string, int> Reach(const std::string& file) const;
  FileContents Read(const std::string& file) const;

  std::string programFile_;
  int programFolder_ = -1;
  std::string userFile_;
  std::string current_;
};

}  // namespace quillmont
