#pragma once
// Where the best-players file is kept and how it is written while other
// copies of the program may be running: each write takes the file's lock,
// reads the file as it is now, applies this run's unsaved changes to it and
// replaces it atomically. So no copy ever writes back a stale table.
#include <string>

#include "records/TRecorde.h"

namespace quillmont {

struct SharedState;

class RecordsStore {
 public:
  // programFile: "QUILLMONT.REC" in the program's folder; userFile: the
  // player's own copy, used when the program's folder or file cannot be
  // written (an installed copy), and from then on.
  RecordsStore(std::string programFile, std::string userFile);

  // Picks the file, removes what killed writes left beside it and reads it;
  // a missing or unreadable file gives an empty table.
  TTabelaRecordes Load();

  // Merges shared.Unsaved into the file and writes it. Afterwards the shared
  // table is the merged one, with other copies' results in it, and
  // PosicaoRanking follows the result just ranked to where it now stands.
  // Throws FileWriteError naming the last file tried when no place can be
  // written; the changes then stay unsaved for the next attempt.
  void Save(SharedState& shared);

  // The file read and written now.
  const std::string& Path() const { return current_; }

 private:
  bool SaveTo(const std::string& path, SharedState& shared);
  bool HasUserFile() const { return !userFile_.empty(); }

  std::string programFile_;
  std::string userFile_;
  std::string current_;
};

}  // namespace quillmont
