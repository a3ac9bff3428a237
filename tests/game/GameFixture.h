#pragma once
// A game with a fake clock, a seeded generator and a recording view, plus
// helpers to lay out small literal boards.
#include <gtest/gtest.h>

#include <vector>

#include "RecordingView.h"
#include "support/FakeClock.h"
#include "platform/RandomSource.h"
#include "records/GameOptions.h"

namespace quillmont::testing {

class GameFixture : public ::testing::Test {
 protected:
  GameOptions options;
  FakeClock clock;
  StdRandom random;
  RecordingView view;
  Game game{options, clock, random, view};

  void Deal(int board, int colors, int fits, std::uint32_t seed = 1) {
    options.category = Category(board, colors, fits);
    random.Seed(seed);
    game.InicializaJogo();
    view.game = &game;
    view.log.clear();
  }

  // Gives a cell of the dealt rectangle the tile of colour code "abcd".
  void Put(int column, int row, int code) {
    game.Peca(column, row).Atributos = {code / 1000, code / 100 % 10, code / 10 % 10, code % 10};
  }

  // Cells of the rectangle still on the board that hold the given tile.
  std::vector<std::pair<int, int>> CellsOf(const TPeca& tile) const {
    std::vector<std::pair<int, int>> cells;
    for (int c = game.ColIni(); c <= game.ColFim(); ++c)
      for (int r = game.LinIni(); r <= game.LinFim(); ++r)
        if (game.Peca(c, r).Estado == kNoTabuleiro && game.Peca(c, r).SameTile(tile)) cells.emplace_back(c, r);
    return cells;
  }

  void Click(int column, int row) { game.ClicaPeca(column, row, true); }
};

}  // namespace quillmont::testing
