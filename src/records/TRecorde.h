#pragma once
// The best-players table: 15 entries for each of the 18 categories.
#include <array>
#include <cstdint>
#include <string>

#include "records/Category.h"
#include "records/TDataHora.h"
#include "records/TReal6.h"

namespace quillmont {

struct TRecorde {
  std::string Nome;  // single-byte (Latin-1), at most 20 characters
  TReal6 Escore;
  std::int32_t Perdidas = 0;  // cancelled tiles plus tiles left at the end
  TDataHora Data = 0.0;       // day the game ended, no time of day

  bool operator==(const TRecorde& o) const {
    return Nome == o.Nome && Escore == o.Escore && Perdidas == o.Perdidas && Data == o.Data;
  }
};

constexpr int kRanks = 15;
constexpr int kNoRank = 16;  // PosicaoRanking of a game without an entry

// Indexed by category and rank 1..15; stored in the order of the categories'
// Index() and then of the ranks, which is also the order of the lines of the file.
class TTabelaRecordes {
 public:
  static constexpr int kEntries = Category::kCount * kRanks;  // 270

  TRecorde& At(Category category, int rank) { return entries_[LineIndex(category, rank)]; }
  const TRecorde& At(Category category, int rank) const { return entries_[LineIndex(category, rank)]; }
  // Entry by its 0-based line in the file.
  TRecorde& Line(int index) { return entries_[static_cast<std::size_t>(index)]; }
  const TRecorde& Line(int index) const { return entries_[static_cast<std::size_t>(index)]; }

  // 0-based line of an entry: 90*b + 30*(c-4) + 15*(g-2) + (r-1).
  static std::size_t LineIndex(Category category, int rank) {
    return static_cast<std::size_t>(kRanks * category.Index() + (rank - 1));
  }

  void ClearCategory(Category category) {
    for (int r = 1; r <= kRanks; ++r) At(category, r) = TRecorde{};
  }

  bool operator==(const TTabelaRecordes&) const = default;

 private:
  std::array<TRecorde, kEntries> entries_{};
};

}  // namespace quillmont
