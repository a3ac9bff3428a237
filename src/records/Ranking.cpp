#include "records/Ranking.h"

namespace quillmont {

int RankResult(TTabelaRecordes& table, int board, int numColors, int numFits, TReal6 score,
               std::int32_t perdidas, TDataHora today) {
  const long double s = score.ToLongDouble();
  int rank = kNoRank;
  while (rank > 1 && table.At(board, numColors, numFits, rank - 1).Escore.ToLongDouble() < s) --rank;
  if (rank == kNoRank) return kNoRank;

  for (int r = kRanks; r > rank; --r) {
    table.At(board, numColors, numFits, r) = table.At(board, numColors, numFits, r - 1);
  }
  TRecorde& entry = table.At(board, numColors, numFits, rank);
  entry = TRecorde{};
  entry.Escore = score;
  entry.Perdidas = perdidas;
  entry.Data = today;
  return rank;
}

}  // namespace quillmont
