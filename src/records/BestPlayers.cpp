#include "records/BestPlayers.h"

#include <algorithm>
#include <cstdlib>

namespace quillmont {
namespace {

// Inserts the result just below the lowest entry whose score is at least its
// own; later entries move down one rank and rank 15 drops out. The new entry
// has an empty name. Returns its rank 1..15, or kNoRank when the score is not
// above the score at rank 15 and the table is unchanged.
int RankResult(TTabelaRecordes& table, Category category, const TRecorde& result) {
  const long double s = result.Escore.ToLongDouble();
  int rank = kNoRank;
  while (rank > 1 && table.At(category, rank - 1).Escore.ToLongDouble() < s) --rank;
  if (rank == kNoRank) return kNoRank;
  for (int r = kRanks; r > rank; --r) table.At(category, r) = table.At(category, r - 1);
  TRecorde& entry = table.At(category, rank);
  entry = TRecorde{};
  entry.Escore = result.Escore;
  entry.Perdidas = result.Perdidas;
  entry.Data = result.Data;
  return rank;
}

// A result is known by its score, missed tiles and date (and name, once
// given); between equal results any of them counts as this run's. The rank
// of the one nearest `near` in the category, or kNoRank.
int FindResult(const TTabelaRecordes& table, Category category, const TRecorde& result, int near) {
  int found = kNoRank;
  for (int r = 1; r <= kRanks; ++r) {
    if (table.At(category, r) != result) continue;
    if (found == kNoRank || std::abs(r - near) < std::abs(found - near)) found = r;
  }
  return found;
}

// Applies one of this run's changes. A name goes to the unnamed entry equal
// to the result that stands nearest the rank last seen; when there is none
// (the category was reset, or better results pushed it out) nobody gets it.
// Returns the rank at which the result stands afterwards, kNoRank if nowhere.
int ApplyChange(TTabelaRecordes& table, const TableChange& change) {
  switch (change.kind) {
    case TableChange::Kind::Ranked:
      return RankResult(table, change.category, change.result);
    case TableChange::Kind::Named: {
      const int found = FindResult(table, change.category, change.result, change.rank);
      if (found != kNoRank) table.At(change.category, found).Nome = PlayerName(change.name).Text();
      return found;
    }
    case TableChange::Kind::Reset:
      table.ClearCategory(change.category);
      return kNoRank;
  }
  return kNoRank;
}

bool SameResult(const TRecorde& a, const TRecorde& b) {
  return a.Escore == b.Escore && a.Perdidas == b.Perdidas && a.Data == b.Data;
}

// Another copy's journal, applied so that applying it again changes nothing:
// a result that stands in its category (whatever its name) is not ranked
// again, a name goes only to an unnamed result, and a Reset removes only the
// entries its writer saw, not those other copies added.
void ApplyJournal(TTabelaRecordes& table, std::string_view journal) {
  for (const TableChange& change : ParseJournal(journal)) {
    const Category category = change.category;
    switch (change.kind) {
      case TableChange::Kind::Ranked: {
        bool stands = false;
        for (int at = 1; at <= kRanks; ++at) stands = stands || SameResult(table.At(category, at), change.result);
        if (!stands) ApplyChange(table, change);
        break;
      }
      case TableChange::Kind::Named:
        ApplyChange(table, change);
        break;
      case TableChange::Kind::Reset: {
        std::vector<TRecorde> kept;
        for (int at = 1; at <= kRanks; ++at) {
          const TRecorde& entry = table.At(category, at);
          if (entry != TRecorde{} && std::find(change.seen.begin(), change.seen.end(), entry) == change.seen.end()) {
            kept.push_back(entry);
          }
        }
        table.ClearCategory(category);
        for (std::size_t i = 0; i < kept.size(); ++i) table.At(category, static_cast<int>(i) + 1) = kept[i];
        break;
      }
    }
  }
}

void ApplyJournals(TTabelaRecordes& table, const std::vector<std::string>& journals) {
  for (const std::string& journal : journals) ApplyJournal(table, journal);
}

}  // namespace

BestPlayers::BestPlayers(RecordsStore store) : store_(std::move(store)) {}

void BestPlayers::Load() { tabela_ = store_.Load(ApplyJournals); }

bool BestPlayers::RankFinishedGame(Category category, TReal6 score, std::int32_t perdidas, TDataHora today) {
  TableChange game;
  game.category = category;
  game.result.Escore = score;
  game.result.Perdidas = perdidas;
  game.result.Data = today;
  int rank = kNoRank;
  RecordsStore::Attempt attempt = store_.Write(
      [&](TTabelaRecordes& table, const std::vector<std::string>& journals) {
        MergeInto(table, journals);
        rank = ApplyChange(table, game);
      },
      std::string(), std::nullopt);
  if (attempt.merged) {
    tabela_ = std::move(*attempt.merged);
  } else {
    rank = ApplyChange(tabela_, game);  // the table as last read
  }
  rankedCategory_ = category;
  posicaoRanking_ = rank;
  rankedResult_.reset();
  if (rank < kNoRank) rankedResult_ = game.result;
  if (attempt.outcome == RecordsStore::Outcome::kWritten) {
    unsaved_.clear();
    return true;
  }
  if (rank < kNoRank) unsaved_.push_back(game);
  if (attempt.outcome == RecordsStore::Outcome::kBusy) return false;
  throw FileWriteError(attempt.file);
}

void BestPlayers::MergeInto(TTabelaRecordes& table, const std::vector<std::string>& journals) const {
  ApplyJournals(table, journals);
  for (const TableChange& change : unsaved_) ApplyChange(table, change);
}

int BestPlayers::MarkedRow(Category shown) const { return shown == rankedCategory_ ? posicaoRanking_ : kNoRank; }

void BestPlayers::ClearMark() {
  posicaoRanking_ = kNoRank;
  rankedResult_.reset();
}

void BestPlayers::FollowRankedResult() {
  if (!rankedResult_ || posicaoRanking_ >= kNoRank) return;
  posicaoRanking_ = FindResult(tabela_, rankedCategory_, *rankedResult_, posicaoRanking_);
  if (posicaoRanking_ == kNoRank) rankedResult_.reset();
}

bool BestPlayers::AwaitsName() const {
  if (!rankedResult_ || !rankedResult_->Nome.empty() || posicaoRanking_ >= kNoRank) return false;
  return tabela_.At(rankedCategory_, posicaoRanking_) == *rankedResult_;
}

void BestPlayers::Name(const PlayerName& name) {
  if (!AwaitsName()) return;
  TableChange change;
  change.kind = TableChange::Kind::Named;
  change.category = rankedCategory_;
  change.result = *rankedResult_;
  change.rank = posicaoRanking_;
  change.name = name.Text();
  ApplyChange(tabela_, change);
  rankedResult_->Nome = name.Text();
  unsaved_.push_back(change);
}

void BestPlayers::ResetCategory(Category category) {
  TableChange change;
  change.kind = TableChange::Kind::Reset;
  change.category = category;
  for (int r = 1; r <= kRanks; ++r) change.seen.push_back(tabela_.At(category, r));
  ApplyChange(tabela_, change);
  // The marked row stays red, empty; no result of ours is left there to follow.
  if (category == rankedCategory_) rankedResult_.reset();
  unsaved_.push_back(change);
}

bool BestPlayers::Save(LockDeadline until) {
  RecordsStore::Attempt attempt = store_.Write(
      [this](TTabelaRecordes& table, const std::vector<std::string>& journals) { MergeInto(table, journals); },
      until ? JournalText(unsaved_) : std::string(), until);
  if (attempt.merged) {
    tabela_ = std::move(*attempt.merged);
    FollowRankedResult();
  }
  if (attempt.outcome == RecordsStore::Outcome::kWritten) {
    unsaved_.clear();
    return true;
  }
  if (attempt.outcome == RecordsStore::Outcome::kBusy) return false;
  throw FileWriteError(attempt.file);
}

}  // namespace quillmont
