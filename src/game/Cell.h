#pragma once
// A cell of the fixed 16 x 10 board, by column 1..16 and row 1..10, and its
// index 0..159 in reading order: the place of its control among the board's.
namespace quillmont {

constexpr int kColumns = 16;
constexpr int kRows = 10;
constexpr int kCells = kColumns * kRows;

struct Cell {
  int column = 1;
  int row = 1;

  static constexpr Cell FromIndex(int index) { return {index % kColumns + 1, index / kColumns + 1}; }
  constexpr int Index() const { return (row - 1) * kColumns + (column - 1); }
  friend constexpr bool operator==(Cell, Cell) = default;
};

}  // namespace quillmont
