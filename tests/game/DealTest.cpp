// The deal: its guarantees over every option combination, the order in
// which it draws from the generator, and the bonus time it sets.
#include <map>

#include "GameFixture.h"
#include "support/ScriptedRandom.h"

namespace quillmont::testing {
namespace {

using DealTest = GameFixture;

TEST_F(DealTest, EveryCombinationLiesOnExactlyNumFitsTilesForAllOptions) {
  const int expectedT[3][3][2] = {{{26, 36}, {21, 31}, {26, 36}},
                                  {{30, 40}, {25, 35}, {30, 40}},
                                  {{35, 45}, {30, 40}, {35, 45}}};
  const int tiles[3] = {48, 72, 126};
  for (int board = 0; board <= 2; ++board) {
    for (int colors = 4; colors <= 6; ++colors) {
      for (int fits = 2; fits <= 3; ++fits) {
        for (std::uint32_t seed = 1; seed <= 12; ++seed) {
          Deal(board, colors, fits, seed * 7919);
          SCOPED_TRACE(::testing::Message() << board << " " << colors << " " << fits << " seed " << seed);
          std::map<std::array<std::int32_t, 4>, int> count;
          for (int c = 1; c <= kColumns; ++c) {
            for (int r = 1; r <= kRows; ++r) {
              const bool inside = c >= game.ColIni() && c <= game.ColFim() && r >= game.LinIni() && r <= game.LinFim();
              ASSERT_EQ(game.Visible(c, r), inside);
              if (!inside) continue;
              const TPeca& p = game.Peca(c, r);
              ASSERT_EQ(p.Estado, kNoTabuleiro);
              for (int a : p.Atributos) ASSERT_TRUE(a >= 1 && a <= colors);
              ++count[p.Atributos];
            }
          }
          for (const auto& [tile, n] : count) ASSERT_EQ(n, fits);
          EXPECT_EQ(static_cast<int>(count.size()) * fits, tiles[board]);
          EXPECT_EQ(game.TotalPecas(), tiles[board]);
          EXPECT_EQ(game.PecasRestantes(), tiles[board]);
          EXPECT_EQ(game.TempoBonus(), expectedT[board][colors - 4][fits - 2]);
          EXPECT_EQ(view.gaugeMaximum, 10 * expectedT[board][colors - 4][fits - 2]);
          EXPECT_EQ(view.tilesLeft, tiles[board]);
          EXPECT_EQ(view.score, 0.0);
          EXPECT_FALSE(game.JogoTerminado());
          EXPECT_EQ(game.NumSelecionadas(), 0);
        }
      }
    }
  }
}

TEST(DealOrder, DrawsAttributesOneThreeTwoFourThenColumnThenRow) {
  GameOptions options;  // Small, Easy, Duos: columns 5..12, rows 3..8
  FakeClock clock;
  ScriptedRandom random;
  RecordingView view;
  Game game(options, clock, random, view);
  // First group: attributes 1,3,2,4 get 1,2,3,4 -> tile (1,3,2,4) code 1324.
  // Its copy: column 5+0 row 3+0 is the visited cell itself (occupied), so
  // both are drawn again: column 5+7, row 3+5 -> (12, 8).
  // Second cell (5,4): first draws 1324 again (used), then 4,4,4,4.
  random.values = {0, 1, 2, 3, 0, 0, 7, 5, 0, 1, 2, 3, 3, 3, 3, 3, 7, 4};
  game.InicializaJogo();
  EXPECT_EQ(game.Peca(5, 3).Atributos, (std::array<std::int32_t, 4>{1, 3, 2, 4}));
  EXPECT_EQ(game.Peca(12, 8).Atributos, (std::array<std::int32_t, 4>{1, 3, 2, 4}));
  EXPECT_EQ(game.Peca(5, 4).Atributos, (std::array<std::int32_t, 4>{4, 4, 4, 4}));
  EXPECT_EQ(game.Peca(12, 7).Atributos, (std::array<std::int32_t, 4>{4, 4, 4, 4}));
  const std::vector<int> expected = {4, 4, 4, 4, 8, 6, 8, 6, 4, 4, 4, 4, 4, 4, 4, 4, 8, 6};
  ASSERT_GE(random.requests.size(), expected.size());
  EXPECT_EQ(std::vector<int>(random.requests.begin(), random.requests.begin() + 18), expected);
}

TEST_F(DealTest, NewGameClearsSelectionAndBigToSmallHidesOutside) {
  Deal(2, 4, 2);
  Click(2, 2);
  ASSERT_EQ(game.NumSelecionadas(), 1);
  Deal(0, 4, 2);
  EXPECT_EQ(game.NumSelecionadas(), 0);
  for (int c = 1; c <= kColumns; ++c) {
    for (int r = 1; r <= kRows; ++r) {
      EXPECT_EQ(game.Visible(c, r), c >= 5 && c <= 12 && r >= 3 && r <= 8);
      if (game.Visible(c, r)) {
        EXPECT_EQ(game.Peca(c, r).Estado, kNoTabuleiro);
      }
    }
  }
  // A cell emptied by hand is hidden by the rules when it is drawn.
  Put(5, 3, 0);
  Click(5, 3);
  EXPECT_FALSE(game.Visible(5, 3));
}

TEST_F(DealTest, DealAfterGameOverRestartsPlay) {
  Deal(0, 4, 2);
  for (int c = game.ColIni(); c <= game.ColFim(); ++c)
    for (int r = game.LinIni(); r <= game.LinFim(); ++r) game.Peca(c, r).Estado = kRemovida;
  EXPECT_FALSE(game.TemJogada());
  EXPECT_TRUE(game.JogoTerminado());
  Deal(0, 4, 2);
  EXPECT_FALSE(game.JogoTerminado());
  EXPECT_TRUE(game.TemJogada());
}

}  // namespace
}  // namespace quillmont::testing
