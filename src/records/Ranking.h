#pragma once
// Entering a finished game into its category of the best-players table.
#include <cstdint>

#include "records/TRecorde.h"

namespace quillmont {

// Inserts the result just below the lowest entry whose score is at least its
// own; later entries move down one rank and rank 15 drops out. The new entry
// has an empty name. Returns its rank 1..15, or 16 (kNoRank) when the score is
// not above the score at rank 15 and the table is unchanged.
int RankResult(TTabelaRecordes& table, int board, int numColors, int numFits, TReal6 score,
               std::int32_t perdidas, TDataHora today);

}  // namespace quillmont
