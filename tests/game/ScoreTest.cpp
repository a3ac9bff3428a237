// The score of a completed group at exact times, and the Bonus Bar's ticks.
#include "GameFixture.h"

namespace quillmont::testing {
namespace {

class ScoreTest : public GameFixture {
 protected:
  // Deals and lays out a group of three equal tiles at the top of column 5.
  void Prepare(int board, int colors, int fits) {
    Deal(board, colors, fits);
    const int c = game.ColIni();
    const int r = game.LinIni();
    const TPeca tile = game.Peca(c, r);
    // Make the first NumFits cells of the column the group of (c, r).
    for (const auto& [cc, rr] : CellsOf(tile)) game.Peca(cc, rr).Atributos = {9, 9, 9, 9};
    for (int i = 0; i < fits; ++i) game.Peca(c, r + i).Atributos = {0, 0, 0, 0};
    for (int cc = game.ColIni(); cc <= game.ColFim(); ++cc)
      for (int rr = game.LinIni(); rr <= game.LinFim(); ++rr)
        if (game.Peca(cc, rr).Atributos[0] == 0 || game.Peca(cc, rr).Atributos[0] == 9)
          game.Peca(cc, rr).Atributos = tile.Atributos;
  }

  long double Complete(std::int64_t afterMs) {
    const int c = game.ColIni();
    const int r = game.LinIni();
    Click(c, r);
    if (options.category.NumFits() == 3) Click(c, r + 1);
    clock.AdvanceMilliseconds(afterMs);
    Click(c, r + options.category.NumFits() - 1);
    return game.Escore().ToLongDouble();
  }
};

TEST_F(ScoreTest, DuosSmallEasyAtExactTimes) {
  Prepare(0, 4, 2);
  ASSERT_EQ(game.TempoBonus(), 26);
  EXPECT_EQ(Complete(300), 4668);
  Prepare(0, 4, 2);
  EXPECT_EQ(Complete(8640), 3168);
  Prepare(0, 4, 2);
  EXPECT_EQ(Complete(25000), 768);
}

TEST_F(ScoreTest, BonusEdgeAtTMinusHalfAUnit) {
  // 26 - 0.4 units = 22.1184 s rounds to 26: no bonus. 26 - 0.6 = 21.9456 s: 150.
  Prepare(0, 4, 2);
  EXPECT_EQ(Complete(22118), 768);
  Prepare(0, 4, 2);
  EXPECT_EQ(Complete(21946), 768 + 150);
}

TEST_F(ScoreTest, TriosDoublesTheBaseOnly) {
  Prepare(0, 4, 3);
  ASSERT_EQ(game.TempoBonus(), 36);
  EXPECT_EQ(Complete(300), 6936);
  Prepare(2, 6, 3);
  EXPECT_EQ(Complete(30000), 9072 + 150 * (45 - 35));  // 30 s = 34.72 units -> 35
}

TEST_F(ScoreTest, GaugeFollowsTheClock) {
  Deal(0, 4, 2);
  clock.AdvanceMilliseconds(13 * 864);  // 13 units
  game.Timer1Timer();
  EXPECT_EQ(view.gaugeProgress, 130);
  EXPECT_EQ(view.gaugeMaximum, 260);
  EXPECT_TRUE(game.BarMoves());
  clock.AdvanceMilliseconds(60000);
  game.Timer1Timer();
  EXPECT_GT(view.gaugeProgress, 260);  // the gauge holds it at its maximum
  // Full: no tick can change it until the next restart.
  EXPECT_FALSE(game.BarMoves());
  const int wakes = view.barWakes;
  Deal(0, 4, 2);
  EXPECT_TRUE(game.BarMoves());
  EXPECT_GT(view.barWakes, wakes);
}

TEST_F(ScoreTest, WallClockStepsMoveNeitherTheBarNorTheBonus) {
  // A pair completed 3 s (3.47 units) after the deal, while the wall clock is
  // set back, set forward or passes midnight in between.
  struct Case {
    const char* what;
    int hour, minute, second;
    std::int64_t stepMs;
  };
  const Case cases[] = {{"undisturbed", 10, 0, 0, 0},
                        {"set back 10 s", 10, 0, 0, -10'000},
                        {"set forward 1 h", 10, 0, 0, 3'600'000},
                        {"across midnight", 23, 59, 59, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    clock.SetTimeOfDay(c.hour, c.minute, c.second, 0);
    Prepare(0, 4, 2);
    Click(game.ColIni(), game.LinIni());
    clock.AdvanceMilliseconds(1000);
    clock.StepWallClock(c.stepMs);
    clock.AdvanceMilliseconds(2000);
    game.Timer1Timer();
    EXPECT_EQ(view.gaugeProgress, 35);
    Click(game.ColIni(), game.LinIni() + 1);
    EXPECT_EQ(game.Escore().ToLongDouble(), 768 + 150 * (26 - 3));
  }
}

}  // namespace
}  // namespace quillmont::testing
