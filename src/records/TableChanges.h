#pragma once
// This run's own changes to the best-players table: a result ranked, a name
// given to it, a category reset. Each is made in memory at once and kept in
// SharedState::Unsaved until it reaches the file, so that every write can
// apply it again to the file as another running copy may have left it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  std::vector<TRecorde> seen;  // Reset: the category's entries as this run saw them
};

// A result is known by its score, missed tiles and date (and name, once
// given); between equal results any of them counts as this run's. The rank
// of the one nearest `near` in the category, or kNoRank.
int FindResult(const TTabelaRecordes& table, int board, int numColors, int numFits, const TRecorde& result,
               int near);

// Applies one change to a table. A name goes to the unnamed entry equal to
// the result that stands nearest the rank last seen; when there is none (the
// category was reset, or better results pushed it out) nobody gets it.
// Returns the rank at which the result stands afterwards, kNoRank if nowhere.
int ApplyChange(TTabelaRecordes& table, const TableChange& change);

// This run's changes as a journal, for when the file's lock stays busy at
// shutdown; and another copy's journal applied to a table. A journal is
// untrusted: what does not parse changes nothing. Applying one again
// changes nothing: a result that stands in its category (whatever its name)
// is not ranked again, a name goes only to an unnamed result, and a Reset
// removes only the entries its writer saw, not those other copies added.
std::string JournalText(const std::vector<TableChange>& changes);
void ApplyJournal(TTabelaRecordes& table, std::string_view journal);

// The finished game as a change to the current category, not yet applied.
TableChange FinishedGame(const SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today);
// Takes the verdict of ranking `game`, which stands at `rank` of the
// current table: PosicaoRanking, and the result that a name will go to.
void TakeVerdict(SharedState& shared, const TableChange& game, int rank);
// After the table was read afresh: PosicaoRanking follows this run's result
// to where it stands now, or to kNoRank once others pushed it out.
void FollowRankedResult(SharedState& shared);
// True while this run's ranked result stands at PosicaoRanking without a
// name: the entry that a name confirmed now would go to.
bool AwaitsName(const SharedState& shared);
// Gives Player to this run's ranked result while it awaits its name.
void NameRankedResult(SharedState& shared);
// Empties the 15 entries of the current category.
void ResetCategory(SharedState& shared);
// Empties the 15 entries of the given category (the gallery may show
// another than the game's own).
void ResetCategory(SharedState& shared, int board, int numColors, int numFits);

}  // namespace quillmont
