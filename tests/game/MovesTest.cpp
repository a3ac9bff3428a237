// Clicks on tiles: the exact order of effects of every branch, the
// selection cycles, cancellations, the end of a game.
#include "GameFixture.h"

namespace quillmont::testing {
namespace {

using Log = std::vector<std::string>;

class MovesTest : public GameFixture {
 protected:
  // Small board (columns 5..12, rows 3..8) with a known layout: the given
  // cells get the given codes, everything else unique filler groups that are
  // never touched. Every colour is one a deal makes, so the end of a game is
  // decided by the fast search.
  void Layout(int fits, const std::vector<std::pair<std::pair<int, int>, int>>& cells) {
    Deal(0, 4, fits);
    int filler = 0;
    for (int c = game.ColIni(); c <= game.ColFim(); ++c)
      for (int r = game.LinIni(); r <= game.LinFim(); ++r) {
        // Fillers come in groups of `fits`, codes 2111, 2112, ... 2116, 2121, ...:
        // the last two colours count the group in base kMaxColors.
        const int group = filler++ / fits;
        Put(c, r, 2100 + (1 + group / kMaxColors) * 10 + 1 + group % kMaxColors);
      }
    for (const auto& [cell, code] : cells) Put(cell.first, cell.second, code);
    for (int c = game.ColIni(); c <= game.ColFim(); ++c)
      for (int r = game.LinIni(); r <= game.LinFim(); ++r)
        for (const std::int32_t colour : game.Peca(c, r).Atributos) ASSERT_TRUE(colour >= 1 && colour <= kMaxColors);
  }
};

TEST_F(MovesTest, DuosMatchOrder) {
  Layout(2, {{{5, 3}, 1111}, {{6, 3}, 1111}});
  Click(5, 3);
  EXPECT_EQ(view.log, (Log{"draw 5,3 s1"}));
  view.log.clear();
  clock.AdvanceMilliseconds(300);
  Click(6, 3);
  EXPECT_EQ(view.log, (Log{"sound match", "counters 46 4668", "gauge 0", "draw 6,3 s2", "draw 5,3 s2"}));
  EXPECT_EQ(game.PecasRestantes(), 46);
  EXPECT_EQ(game.NumSelecionadas(), 0);
}

TEST_F(MovesTest, DuosWrongPairOrderAndPenalty) {
  Layout(2, {{{5, 3}, 1111}, {{6, 3}, 1112}});
  Click(5, 3);
  view.log.clear();
  Click(6, 3);
  EXPECT_EQ(view.log, (Log{"sound wrong", "draw 6,3 s3", "draw 5,3 s3", "counters 46 -8735", "gauge 0"}));
  EXPECT_EQ(game.Escore().ToLongDouble(), -8735);
  EXPECT_EQ(game.TilesCancelados(), 2);
  // Their partners (the second tiles of 1111 and 1112) can never be matched:
  // they are no longer equal to anything on the board.
  EXPECT_EQ(game.Peca(5, 3).Estado, kCancelada);
  EXPECT_EQ(game.Peca(6, 3).Estado, kCancelada);
}

TEST_F(MovesTest, DuosDeselectionAndIgnoredClicks) {
  Layout(2, {{{5, 3}, 1111}, {{6, 3}, 1111}});
  Click(5, 3);
  Click(5, 3);
  EXPECT_EQ(game.NumSelecionadas(), 0);
  EXPECT_EQ(game.Peca(5, 3).Estado, kNoTabuleiro);
  view.log.clear();
  game.ClicaPeca(5, 3, false);  // right or middle button
  EXPECT_TRUE(view.log.empty());
  Click(5, 3);
  EXPECT_EQ(view.log, (Log{"draw 5,3 s1"}));  // selected afresh, no sound
  Click(6, 3);
  view.log.clear();
  Click(5, 3);  // removed tiles take no clicks
  Click(6, 3);
  EXPECT_TRUE(view.log.empty());
}

TEST_F(MovesTest, TriosMatchOrder) {
  Layout(3, {{{5, 3}, 1111}, {{6, 3}, 1111}, {{7, 3}, 1111}});
  Click(5, 3);
  Click(6, 3);
  EXPECT_EQ(game.NumSelecionadas(), 2);
  view.log.clear();
  clock.AdvanceMilliseconds(300);
  Click(7, 3);
  EXPECT_EQ(view.log, (Log{"sound match", "draw 7,3 s2", "draw 5,3 s2", "draw 6,3 s2", "counters 45 6936",
                           "gauge 0"}));
}

TEST_F(MovesTest, TriosWrongSecondAndWrongThird) {
  Layout(3, {{{5, 3}, 1111}, {{6, 3}, 1112}, {{7, 3}, 1113}, {{8, 3}, 1113}, {{9, 3}, 1114}});
  Click(5, 3);
  view.log.clear();
  Click(6, 3);
  EXPECT_EQ(view.log, (Log{"sound wrong", "draw 6,3 s3", "draw 5,3 s3", "counters 46 -8735", "gauge 0"}));
  EXPECT_EQ(game.NumSelecionadas(), 0);
  Click(7, 3);
  Click(8, 3);
  view.log.clear();
  Click(9, 3);
  EXPECT_EQ(view.log, (Log{"sound wrong", "draw 9,3 s3", "draw 7,3 s3", "draw 8,3 s3", "counters 43 -18106",
                           "gauge 0"}));
  EXPECT_EQ(game.TilesCancelados(), 5);
}

TEST_F(MovesTest, TriosDeselectingTheFirstMovesTheSecondUp) {
  Layout(3, {{{5, 3}, 1111}, {{6, 3}, 1111}, {{7, 3}, 1111}});
  Click(5, 3);
  Click(6, 3);
  Click(5, 3);  // deselect the first
  EXPECT_EQ(game.NumSelecionadas(), 1);
  EXPECT_EQ(game.SelCol(1), 6);
  EXPECT_EQ(game.SelLin(1), 3);
  Click(7, 3);
  EXPECT_EQ(game.NumSelecionadas(), 2);
  EXPECT_EQ(game.Peca(7, 3).Estado, kSelecionada);
  Click(5, 3);
  EXPECT_EQ(game.Peca(5, 3).Estado, kRemovida);
  EXPECT_EQ(game.Peca(6, 3).Estado, kRemovida);
  EXPECT_EQ(game.Peca(7, 3).Estado, kRemovida);
}

TEST_F(MovesTest, MuteSilencesOnly) {
  Layout(2, {{{5, 3}, 1111}, {{6, 3}, 1111}});
  options.Mute = true;
  Click(5, 3);
  Click(6, 3);
  for (const std::string& entry : view.log) EXPECT_EQ(entry.rfind("sound", 0), std::string::npos);
  EXPECT_EQ(game.PecasRestantes(), 46);
}

// Plays the dealt board to its end, cancelling one group first.
TEST_F(MovesTest, GameEndsWithTilesLeftAndRanks) {
  Deal(0, 5, 2, 42);
  view.game = nullptr;
  // Cancel the two tiles at (5,3) and the first tile that differs from it.
  const TPeca first = game.Peca(5, 3);
  int oc = 0, orow = 0;
  for (int c = 5; c <= 12 && !oc; ++c)
    for (int r = 3; r <= 8 && !oc; ++r)
      if (!game.Peca(c, r).SameTile(first)) oc = c, orow = r;
  const TPeca other = game.Peca(oc, orow);
  Click(5, 3);
  Click(oc, orow);
  // Match every group whose two tiles are both still there.
  bool progress = true;
  while (!game.JogoTerminado() && progress) {
    progress = false;
    for (int c = 5; c <= 12 && !progress; ++c)
      for (int r = 3; r <= 8 && !progress; ++r) {
        if (game.Peca(c, r).Estado != kNoTabuleiro) continue;
        auto cells = CellsOf(game.Peca(c, r));
        if (cells.size() == 2) {
          Click(cells[0].first, cells[0].second);
          Click(cells[1].first, cells[1].second);
          progress = true;
        }
      }
  }
  ASSERT_TRUE(game.JogoTerminado());
  EXPECT_EQ(game.PecasRestantes(), 2);  // the two orphaned partners
  EXPECT_EQ(CellsOf(first).size(), 1u);
  EXPECT_EQ(CellsOf(other).size(), 1u);
  // The rules report the result; ranking it is the best players' business.
  ASSERT_EQ(view.results.size(), 1u);
  EXPECT_EQ(view.results[0].escore, game.Escore().ToLongDouble());
  EXPECT_EQ(view.results[0].perdidas, 4);  // two cancelled, two left
  // The end sound follows the last match's sound; then clicks do nothing.
  EXPECT_EQ(view.log[view.log.size() - 2], "sound end");
  EXPECT_EQ(view.log.back(), "result " + std::to_string(static_cast<long long>(game.Escore().ToLongDouble())) + " 4");
  const auto size = view.log.size();
  game.ClicaPeca(CellsOf(first)[0].first, CellsOf(first)[0].second, true);
  EXPECT_TRUE(game.BarMoves());  // so that a bar already full is emptied too
  game.Timer1Timer();
  EXPECT_EQ(view.log.size(), size + 1);
  EXPECT_EQ(view.log.back(), "gauge 0");
  EXPECT_FALSE(game.BarMoves());  // emptied: nothing to tick for until a new deal
}

TEST_F(MovesTest, NegativeResultIsReportedAsItIs) {
  Layout(2, {{{5, 3}, 1111}, {{6, 3}, 1112}});
  // Only two groups: (5,3)'s and (6,3)'s partners elsewhere; cancel them all.
  for (int c = 5; c <= 12; ++c)
    for (int r = 3; r <= 8; ++r)
      if (!(c == 5 && r == 3) && !(c == 6 && r == 3)) game.Peca(c, r).Estado = kRemovida;
  Click(5, 3);
  Click(6, 3);
  ASSERT_TRUE(game.JogoTerminado());
  ASSERT_EQ(view.results.size(), 1u);
  EXPECT_LT(view.results[0].escore, 0);
  EXPECT_EQ(view.results[0].perdidas, game.TilesCancelados() + game.PecasRestantes());
}

TEST_F(MovesTest, FailingPictureStillCompletesTheLastMove) {
  Layout(2, {{{5, 3}, 1111}, {{6, 3}, 1111}});
  for (int c = 5; c <= 12; ++c)
    for (int r = 3; r <= 8; ++r)
      if (!(c == 5 && r == 3) && !(c == 6 && r == 3)) game.Peca(c, r).Estado = kRemovida;
  view.failPictures = true;
  Click(5, 3);
  EXPECT_THROW(Click(6, 3), std::runtime_error);
  EXPECT_EQ(game.Peca(5, 3).Estado, kRemovida);
  EXPECT_EQ(game.Peca(6, 3).Estado, kRemovida);
  EXPECT_TRUE(game.JogoTerminado());
  EXPECT_EQ(view.results.size(), 1u);
  // Both redraws were tried, the counters shown, the game ended.
  EXPECT_NE(std::find(view.log.begin(), view.log.end(), "draw 5,3 s2 failed"), view.log.end());
  EXPECT_EQ(view.log.back().substr(0, 7), "result ");
}

TEST_F(MovesTest, FastSearchAgreesWithTheExhaustiveOne) {
  StdRandom states;
  states.Seed(5);
  for (int round = 0; round < 300; ++round) {
    const int fits = 2 + round % 2;
    Deal(round % 3, 4 + round % 3, fits, static_cast<std::uint32_t>(round + 1));
    const int removeOneIn = 1 + round % 5;
    for (int c = game.ColIni(); c <= game.ColFim(); ++c)
      for (int r = game.LinIni(); r <= game.LinFim(); ++r)
        if (states.Random(removeOneIn + 1) != 0) game.Peca(c, r).Estado = states.Random(2) ? kRemovida : kCancelada;
    const bool reference = game.TemJogadaReference();
    EXPECT_EQ(game.TemJogada(), reference) << round;
    EXPECT_EQ(game.JogoTerminado(), !reference) << round;
  }
}

// Colours no deal produces, in any quarter, must not be taken for a key of
// the fast search's table: {6, 9, 9, 9} would count past its end.
TEST_F(MovesTest, HandBuiltColoursOutsideTheDealsRangeAreSearchedAsWell) {
  for (int fits : {2, 3}) {
    Layout(fits, {});
    for (int c = 5; c <= 12; ++c)
      for (int r = 3; r <= 8; ++r) game.Peca(c, r).Estado = kRemovida;
    for (int i = 0; i < fits; ++i) {
      game.Peca(5 + i, 3).Estado = kNoTabuleiro;
      Put(5 + i, 3, 6999);
    }
    EXPECT_TRUE(game.TemJogada()) << fits;
    Put(5, 3, 6998);
    EXPECT_FALSE(game.TemJogada()) << fits;
  }
}

}  // namespace
}  // namespace quillmont::testing
