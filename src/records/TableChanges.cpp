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
  int found = kNoRank;
  for (int r = 1; r <= kRanks; ++r) {
    const TRecorde& entry = table.At(change.board, change.numColors, change.numFits, r);
    if (entry != change.result) continue;
    if (found == kNoRank || std::abs(r - change.rank) < std::abs(found - change.rank)) found = r;
  }
  if (found != kNoRank) {
    table.At(change.board, change.numColors, change.numFits, found).Nome = CleanName(change.name.substr(0, kMaxNameLength));
  }
  return found;
}

}  // namespace

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

void RankNewResult(SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today) {
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Ranked);
  change.result.Escore = score;
  change.result.Perdidas = perdidas;
  change.result.Data = today;
  shared.PosicaoRanking = ApplyChange(shared.Tabela, change);
  if (shared.PosicaoRanking < kNoRank) shared.Unsaved.push_back(change);
}

bool AwaitsName(const SharedState& shared) {
  if (shared.PosicaoRanking >= kNoRank) return false;
  const TRecorde& entry = shared.Tabela.At(shared.Board, shared.NumColors, shared.NumFits, shared.PosicaoRanking);
  // Only a result that scored ranks, so an empty entry is one a Reset cleared.
  return entry != TRecorde{} && entry.Nome.empty();
}

void NameRankedResult(SharedState& shared) {
  if (!AwaitsName(shared)) return;
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Named);
  change.result = shared.Tabela.At(shared.Board, shared.NumColors, shared.NumFits, shared.PosicaoRanking);
  change.rank = shared.PosicaoRanking;
  change.name = shared.Player;
  ApplyChange(shared.Tabela, change);
  shared.Unsaved.push_back(change);
}

void ResetCategory(SharedState& shared) {
  const TableChange change = ForCurrentCategory(shared, TableChange::Kind::Reset);
  ApplyChange(shared.Tabela, change);
  shared.Unsaved.push_back(change);
}

}  // namespace quillmont
