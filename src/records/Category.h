#pragma once
// One of the 18 categories of play: the board's size, the number of colours
// and how many equal tiles make a match. A Category is always valid: values
// from outside (the settings file, a journal) are checked once, where they
// come in, by the clamping constructor or by Checked.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quillmont {

// The board's rectangle inside the 16 x 10 grid, and how many tiles it holds.
struct BoardCells {
  int colIni, colFim, linIni, linFim, totalPecas;
};

class Category {
 public:
  static constexpr int kCount = 3 * 3 * 2;
  static constexpr int kMostColors = 6;

  // Small board, Easy (four colours), Duos.
  constexpr Category() = default;

  // Brought into range: below a range gives its first choice, above it the last.
  constexpr Category(long long board, long long numColors, long long numFits)
      : board_(static_cast<std::uint8_t>(Clamp(board, 0, 2))),
        numColors_(static_cast<std::uint8_t>(Clamp(numColors, 4, kMostColors))),
        numFits_(static_cast<std::uint8_t>(Clamp(numFits, 2, 3))) {}
  // Nothing when any value lies out of range.
  static constexpr std::optional<Category> Checked(long long board, long long numColors, long long numFits) {
    if (board < 0 || board > 2 || numColors < 4 || numColors > kMostColors || numFits < 2 || numFits > 3) return std::nullopt;
    return Category(board, numColors, numFits);
  }
  // By its place among the categories of the records file, 0..17, wrapping.
  static constexpr Category AtIndex(int index) {
    index = (index % kCount + kCount) % kCount;
    return Category(index / 6, 4 + index / 2 % 3, 2 + index % 2);
  }

  constexpr int Board() const { return board_; }          // 0 Small, 1 Medium, 2 Big
  constexpr int NumColors() const { return numColors_; }  // 4 Easy, 5 Standard, 6 Difficult
  constexpr int NumFits() const { return numFits_; }      // 2 Duos, 3 Trios
  // The same category with one choice changed.
  constexpr Category WithBoard(int board) const { return Category(board, numColors_, numFits_); }
  constexpr Category WithNumColors(int numColors) const { return Category(board_, numColors, numFits_); }
  constexpr Category WithNumFits(int numFits) const { return Category(board_, numColors_, numFits); }

  // Its place among the categories of the records file.
  constexpr int Index() const { return 6 * board_ + 2 * (numColors_ - 4) + (numFits_ - 2); }

  // The option names, as the main window's groups and the gallery's title show them.
  static constexpr std::array<const char*, 3> kBoardNames{"Small", "Medium", "Big"};
  static constexpr std::array<const char*, 3> kLevelNames{"Easy", "Standard", "Difficult"};
  static constexpr std::array<const char*, 2> kSettingNames{"Duos", "Trios"};
  // "Duos - Easy - Small board".
  std::string Title() const;

  constexpr BoardCells Cells() const { return kBoardCells[static_cast<std::size_t>(board_)]; }
  // T of a game: a base by board and setting, plus 5 with five colours and 10 otherwise.
  constexpr int BonusTime() const {
    return kBonusTimeBase[static_cast<std::size_t>(board_)][numFits_ == 2 ? 0 : 1] + (numColors_ == 5 ? 5 : 10);
  }

  constexpr bool operator==(const Category&) const = default;

 private:
  static constexpr long long Clamp(long long value, long long low, long long high) {
    return value < low ? low : value > high ? high : value;
  }

  static constexpr std::array<BoardCells, 3> kBoardCells{{
      {5, 12, 3, 8, 48},
      {3, 14, 3, 8, 72},
      {2, 15, 2, 10, 126},
  }};
  static constexpr std::array<std::array<int, 2>, 3> kBonusTimeBase{{{16, 26}, {20, 30}, {25, 35}}};

  std::uint8_t board_ = 0;
  std::uint8_t numColors_ = 4;
  std::uint8_t numFits_ = 2;
};

}  // namespace quillmont
