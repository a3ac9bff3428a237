#pragma once
// This run's own changes to the best-players table: a result ranked, a name
// given to it, a category reset. Each is made in memory at once and kept in
// SharedState::Unsaved until it reaches the file, so that every write can
// apply it again to the file as another running copy may have left it.
#include <cstdint>
#include <string>

#include "records/TRecorde.h"

namespace quillmont {

struct SharedState;

struct TableChange {
  enum class Kind { Ranked, Named, Reset };
  Kind kind = Kind::Ranked;
  int board = 0, numColors = 4, numFits = 2;
  TRecorde result;     // Ranked, Named: the result as ranked, its name empty
  int rank = kNoRank;  // Named: where this run last saw the result
  std::string name;    // Named
};

// Applies one change to a table. A name goes to the unnamed entry equal to
// the result that stands nearest the rank last seen; when there is none (the
// category was reset, or better results pushed it out) nobody gets it.
// Returns the rank at which the result stands afterwards, kNoRank if nowhere.
int ApplyChange(TTabelaRecordes& table, const TableChange& change);

// Ranks the finished game in the current category (PosicaoRanking takes the
// verdict) and keeps the change when it entered.
void RankNewResult(SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today);
// True while the entry at PosicaoRanking still holds the ranked result with
// no name: the entry that a name confirmed now would go to. A Reset empties
// it, and from then on no entry is waiting.
bool AwaitsName(const SharedState& shared);
// Gives Player to the result at PosicaoRanking while it awaits its name.
void NameRankedResult(SharedState& shared);
// Empties the 15 entries of the current category.
void ResetCategory(SharedState& shared);

}  // namespace quillmont
