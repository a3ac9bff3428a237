#pragma once
// What the main window and the gallery share: the options of the current
// category, the player's name, the rank of the game that ended last and the
// best-players table with the changes this run made to it. One object, owned by the shell, passed by reference.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/TRecorde.h"
#include "records/TableChanges.h"

namespace quillmont {

struct SharedState {
  std::uint8_t Board = 0;      // 0 Small, 1 Medium, 2 Big
  std::int32_t NumColors = 4;  // 4 Easy, 5 Standard, 6 Difficult
  std::int32_t NumFits = 2;    // 2 Duos, 3 Trios
  std::string Player;          // Latin-1, at most 20 characters
  std::int32_t PosicaoRanking = kNoRank;
  // The result that this run ranked last, with its name once given: what a
  // name confirmed in the gallery goes to, and what PosicaoRanking follows
  // while other copies' results move it. Empty once it left the table.
  std::optional<TRecorde> RankedResult;
  TTabelaRecordes Tabela;
  std::vector<TableChange> Unsaved;  // this run's changes not yet in the file
};

}  // namespace quillmont
