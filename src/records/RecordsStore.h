#pragma once
// Where the best-players file is kept and how it is written while other
// copies of the program may be running: each write takes the file's lock,
// reads the file as it is now, applies this run's unsaved changes to it and
// replaces it atomically. So no copy ever writes back a stale table, and a
// finished game is ranked against the table as it stands on disk.
#include <optional>
#include <string>
#include <vector>

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
  RecordsStore(std::string programFile, std::string userFile);

  // Removes what killed writes left beside the files and reads the table;
  // a missing or unreadable file gives an empty table.
  TTabelaRecordes Load();

  // Ranks a finished game of the current category against the file as it
  // is now, and writes it at once with its empty name: PosicaoRanking takes
  // the verdict. When the lock stays busy or the file cannot be read, the
  // game is ranked against the table as last read and the result waits for
  // the next write. Returns false when the lock kept the write back; throws
  // FileWriteError when no place could be written (the result waits too).
  bool RankFinishedGame(SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today);

  // Merges shared.Unsaved into the file and writes it. Afterwards the shared
  // table is the merged one, with other copies' results in it, and
  // PosicaoRanking follows the result just ranked to where it now stands.
  // Returns false when another copy held the lock throughout (the changes
  // wait for the next write); at shutdown the file is then written without
  // it. Throws FileWriteError naming the last file tried when no place can
  // be written; the changes then stay unsaved for the next attempt.
  bool Save(SharedState& shared, bool atShutdown = false);

  // The file read or written last.
  const std::string& Path() const { return current_; }

 private:
  enum class Outcome { kWritten, kBusy, kUnreadable, kFailed };
  struct Attempt {
    Outcome outcome = Outcome::kFailed;
    std::optional<TTabelaRecordes> merged;  // the file as read, with the changes applied
    int lastRank = kNoRank;                 // where the last change left its result
    std::string file;                       // the last file tried
  };

  Attempt Write(const std::vector<TableChange>& changes, bool atShutdown);
  Attempt WriteTo(const std::string& file, const std::vector<TableChange>& changes, bool atShutdown);
  std::string ChosenFile() const;

  std::string programFile_;
  std::string userFile_;
  std::string current_;
};

}  // namespace quillmont
