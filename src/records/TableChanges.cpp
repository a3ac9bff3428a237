#include "records/TableChanges.h"

#include <cstdlib>

#include "records/Ranking.h"
#include "records/SharedState.h"

namespace quillmont {
namespace {

TableChange ForCurrentCategory(const SharedState& shared, TableChange::Kind kind) {
  TableChange change;
  change.kind = kind;
  change.board = shared.Board;
  change.numColors = shared.NumColors;
  change.numFits = shared.NumFits;
  return change;
}

int NameResult(TTabelaRecordes& table, const TableChange& change) {
  const int found = FindResult(table, change.board, change.numColors, change.numFits, change.result, change.rank);
  if (found != kNoRank) {
    table.At(change.board, change.numColors, change.numFits, found).Nome = CleanName(change.name.substr(0, kMaxNameLength));
  }
  return found;
}

}  // namespace

int FindResult(const TTabelaRecordes& table, int board, int numColors, int numFits, const TRecorde& result,
               int near) {
  int found = kNoRank;
  for (int r = 1; r <= kRanks; ++r) {
    if (table.At(board, numColors, numFits, r) != result) continue;
    if (found == kNoRank || std::abs(r - near) < std::abs(found - near)) found = r;
  }
  return found;
}

int ApplyChange(TTabelaRecordes& table, const TableChange& change) {
  switch (change.kind) {
    case TableChange::Kind::Ranked:
      return RankResult(table, change.board, change.numColors, change.numFits, change.result.Escore,
                        change.result.Perdidas, change.result.Data);
    case TableChange::Kind::Named:
      return NameResult(table, change);
    case TableChange::Kind::Reset:
      table.ClearCategory(change.board, change.numColors, change.numFits);
      return kNoRank;
  }
  return kNoRank;
}

TableChange FinishedGame(const SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today) {
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Ranked);
  change.result.Escore = score;
  change.result.Perdidas = perdidas;
  change.result.Data = today;
  return change;
}

void TakeVerdict(SharedState& shared, const TableChange& game, int rank) {
  shared.PosicaoRanking = rank;
  shared.RankedResult.reset();
  if (rank < kNoRank) shared.RankedResult = game.result;
}

void FollowRankedResult(SharedState& shared) {
  if (!shared.RankedResult || shared.PosicaoRanking >= kNoRank) return;
  shared.PosicaoRanking = FindResult(shared.Tabela, shared.Board, shared.NumColors, shared.NumFits,
                                     *shared.RankedResult, shared.PosicaoRanking);
  if (shared.PosicaoRanking == kNoRank) shared.RankedResult.reset();
}

bool AwaitsName(const SharedState& shared) {
  if (!shared.RankedResult || !shared.RankedResult->Nome.empty() || shared.PosicaoRanking >= kNoRank) return false;
  return shared.Tabela.At(shared.Board, shared.NumColors, shared.NumFits, shared.PosicaoRanking) ==
         *shared.RankedResult;
}

void NameRankedResult(SharedState& shared) {
  if (!AwaitsName(shared)) return;
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Named);
  change.result = *shared.RankedResult;
  change.rank = shared.PosicaoRanking;
  change.name = shared.Player;
  ApplyChange(shared.Tabela, change);
  shared.RankedResult->Nome = CleanName(change.name.substr(0, kMaxNameLength));
  shared.Unsaved.push_back(change);
}

void ResetCategory(SharedState& shared) { ResetCategory(shared, shared.Board, shared.NumColors, shared.NumFits); }

void ResetCategory(SharedState& shared, int board, int numColors, int numFits) {
  TableChange change;
  change.kind = TableChange::Kind::Reset;
  change.board = board;
  change.numColors = numColors;
  change.numFits = numFits;
  ApplyChange(shared.Tabela, change);
  // In the game's own category the marked row stays red, empty; no result
  // of ours is left there to follow. Another category holds none of ours.
  if (board == shared.Board && numColors == shared.NumColors && numFits == shared.NumFits) {
    shared.RankedResult.reset();
  }
  shared.Unsaved.push_back(change);
}

}  // namespace quillmont
