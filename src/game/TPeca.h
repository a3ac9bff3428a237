#pragma once
// One cell of the board and the fixed 16 x 10 grid of them.
#include <array>
#include <cstdint>

#include "game/Cell.h"
#include "records/Category.h"

namespace quillmont {

enum EstadoPeca : std::uint8_t { kNoTabuleiro = 0, kSelecionada = 1, kRemovida = 2, kCancelada = 3 };

struct TPeca {
  // Colour numbers of the left, top, right and bottom quarters; 0 in the
  // first marks a cell that holds no tile.
  std::array<std::int32_t, 4> Atributos{};
  std::uint8_t Estado = kNoTabuleiro;

  // Tiles are equal when their four colours agree; the state takes no part.
  bool SameTile(const TPeca& other) const { return Atributos == other.Atributos; }
};

// A dealt tile's colours run 1..kMaxColors; 0 in the first marks an empty cell.
constexpr int kMaxColors = Category::kMostColors;

// A tile's four colours read as the decimal number a1 a2 a3 a4: every tile a
// deal can make has its own code, below kCombinationCodes. -1 when any colour
// lies outside 0..kMaxColors, as only a hand-built board can have it.
constexpr int kCombinationCodes = kMaxColors * 1111 + 1;
constexpr int CombinationCode(const std::array<std::int32_t, 4>& colours) {
  for (const std::int32_t colour : colours) {
    if (colour < 0 || colour > kMaxColors) return -1;
  }
  return colours[0] * 1000 + colours[1] * 100 + colours[2] * 10 + colours[3];
}

// Indexed column 1..16 first, row 1..10 second.
class Pecas {
 public:
  TPeca& operator()(int column, int row) { return cells_[Index(column, row)]; }
  const TPeca& operator()(int column, int row) const { return cells_[Index(column, row)]; }
  TPeca& operator()(Cell cell) { return (*this)(cell.column, cell.row); }
  const TPeca& operator()(Cell cell) const { return (*this)(cell.column, cell.row); }

 private:
  static std::size_t Index(int column, int row) {
    return static_cast<std::size_t>((column - 1) * kRows + (row - 1));
  }
  std::array<TPeca, kCells> cells_{};
};

}  // namespace quillmont
