#pragma once
// The best players: the table as this run knows it, this run's changes not
// yet in the file, and the result this run ranked last (the marked row, and
// the entry a name confirmed in the gallery goes to). Every write merges
// this run's changes into the file as it is at that moment, so no running
// copy ever writes back a stale table.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "records/Category.h"
#include "records/PlayerName.h"
#include "records/RecordsJournal.h"
#include "records/RecordsStore.h"
#include "records/TRecorde.h"

namespace quillmont {

class BestPlayers {
 public:
  explicit BestPlayers(RecordsStore store);

  // Removes what killed writes left beside the files, merges the journals
  // that copies stopped while another held the lock left there, and reads
  // the table; a missing or unreadable file gives an empty table.
  void Load();

  const TTabelaRecordes& Tabela() const { return tabela_; }

  // Ranks a finished game against the file as it is now and writes it at
  // once with its empty name: a kill while the name is typed loses only the
  // name. The lock is tried once: when it is busy or the file cannot be
  // read, the game is ranked against the table as last read and the result
  // waits for the next write. Returns false when the lock kept the write
  // back; throws FileWriteError when no place could be written (the result
  // waits too).
  bool RankFinishedGame(Category category, TReal6 score, std::int32_t perdidas, TDataHora today);

  // Where this run's last ranked result stands: 1..15, or kNoRank when the
  // game ranked nowhere, others' results pushed it out, or a deal cleared it.
  int PosicaoRanking() const { return posicaoRanking_; }
  // The row marked red while `shown` is on show: PosicaoRanking in the
  // category of the game that was ranked, kNoRank in every other.
  int MarkedRow(Category shown) const;
  // A new deal: no row is marked and no name is awaited any more.
  void ClearMark();

  // True while this run's ranked result stands at PosicaoRanking without a
  // name: the entry that a name confirmed now would go to.
  bool AwaitsName() const;
  // Gives the name to this run's ranked result while it awaits one.
  void Name(const PlayerName& name);
  // Empties the 15 entries of a category (the gallery may show another than
  // the game's own). In the game's own category the marked row stays, empty.
  void ResetCategory(Category category);

  // Merges this run's changes into the file and writes it. Afterwards the
  // table is the merged one, with other copies' results in it, and
  // PosicaoRanking follows the result just ranked to where it now stands.
  // Without `until` the lock is tried once, and false means another copy
  // held it (the changes wait for the next write). With `until` (at
  // shutdown) it is waited for until then; still busy, the changes go into
  // a journal beside the file. A lock that cannot be had at all, like a file
  // that cannot be read or replaced, sends the changes to the player's own
  // copy. Throws FileWriteError naming the last file tried when no place can
  // be written; the changes then stay for the next attempt.
  bool Save(LockDeadline until = std::nullopt);

  // How many of this run's changes wait for the file.
  std::size_t UnsavedCount() const { return unsaved_.size(); }

  // The file read or written last.
  const std::string& Path() const { return store_.Path(); }

 private:
  // The file's table as read, brought up to date: other copies' journals,
  // then this run's changes.
  void MergeInto(TTabelaRecordes& table, const std::vector<std::string>& journals) const;
  // After the table was read afresh: PosicaoRanking follows this run's
  // result to where it stands now, or to kNoRank once others pushed it out.
  void FollowRankedResult();

  RecordsStore store_;
  TTabelaRecordes tabela_;
  std::vector<TableChange> unsaved_;
  Category rankedCategory_;
  int posicaoRanking_ = kNoRank;
  // Empty once it left the table, or after a Reset of its category.
  std::optional<TRecorde> rankedResult_;
};

}  // namespace quillmont
