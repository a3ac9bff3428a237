#pragma once
// Where the best-players file is kept and how it is written while other
// copies of the program may be running: each write takes the file's lock,
// reads the file as it is now, lets the caller merge its changes into it and
// replaces it atomically.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/AtomicFile.h"
#include "records/TRecorde.h"

namespace quillmont {

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

  // Brings the table as read up to date: the journals found beside the file
  // (texts other copies left while another held the lock), then the
  // caller's own changes. It may run more than once in one write; the last
  // run's table is the one written.
  using Merge = std::function<void(TTabelaRecordes& table, const std::vector<std::string>& journals)>;

  // Removes what killed writes left beside the files, merges the journals
  // there, and reads the table; a missing or unreadable file gives an empty
  // table.
  TTabelaRecordes Load(const Merge& mergeJournals);

  enum class Outcome { kWritten, kBusy, kRefused };
  struct Attempt {
    Outcome outcome = Outcome::kRefused;
    std::optional<TTabelaRecordes> merged;  // the table written (or journaled)
    std::string file;                       // the last file tried
  };
  // One write. Without `until` the lock is tried once; with it (at
  // shutdown) it is waited for until then, and still busy, `journal` goes
  // beside the file instead. A file refused (read-only, unreadable, no lock
  // to be had) passes the write on to the player's own copy.
  Attempt Write(const Merge& merge, const std::string& journal, LockDeadline until);

  // The file read or written last.
  const std::string& Path() const { return current_; }

 private:
  Attempt WriteTo(const std::string& file, const Merge& merge, const std::string& journal, LockDeadline until,
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
