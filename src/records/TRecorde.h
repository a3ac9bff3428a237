#pragma once
// The best-players table: 15 entries for each of the 18 categories.
#include <array>
#include <cstdint>
#include <string>

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
constexpr int kMaxNameLength = 20;

// A name never holds a control character: CR, LF or Ctrl-Z would break the
// line layout of the records file or end it early, so each becomes a space.
constexpr bool IsControlCode(unsigned code) { return code < 32 || code == 127; }

inline std::string CleanName(std::string name) {
  for (char& c : name) {
    if (IsControlCode(static_cast<unsigned char>(c))) c = ' ';
  }
  return name;
}

// Indexed [Board 0..2][NumColors 4..6][NumFits 2..3][rank 1..15]; stored in
// that order of nesting, which is also the order of the lines of the file.
class TTabelaRecordes {
 public:
  static constexpr int kCategories = 3 * 3 * 2;
  static constexpr int kEntries = kCategories * kRanks;  // 270

  // A category, and its 0-based place among the categories of the file.
  struct Category {
    int board, numColors, numFits;
  };
  static int CategoryIndex(int board, int numColors, int numFits) {
    return 6 * board + 2 * (numColors - 4) + (numFits - 2);
  }
  static Category CategoryAt(int index) { return {index / 6, 4 + index / 2 % 3, 2 + index % 2}; }

  TRecorde& At(int board, int numColors, int numFits, int rank) {
    return entries_[LineIndex(board, numColors, numFits, rank)];
  }
  const TRecorde& At(int board, int numColors, int numFits, int rank) const {
    return entries_[LineIndex(board, numColors, numFits, rank)];
  }
  // Entry by its 0-based line in the file.
  TRecorde& Line(int index) { return entries_[static_cast<std::size_t>(index)]; }
  const TRecorde& Line(int index) const { return entries_[static_cast<std::size_t>(index)]; }

  // 0-based line of an entry: 90*b + 30*(c-4) + 15*(g-2) + (r-1).
  static int LineIndex(int board, int numColors, int numFits, int rank) {
    return kRanks * CategoryIndex(board, numColors, numFits) + (rank - 1);
  }

  void ClearCategory(int board, int numColors, int numFits) {
    for (int r = 1; r <= kRanks; ++r) At(board, numColors, numFits, r) = TRecorde{};
  }

  bool operator==(const TTabelaRecordes&) const = default;

 private:
  std::array<TRecorde, kEntries> entries_{};
};

}  // namespace quillmont
