// How long the rules take where a player could feel it: the search for a
// move left, a click that completes a group with its redraw, the bar's tick.
#include <benchmark/benchmark.h>

#include <array>

#include "game/Game.h"
#include "game/TileDrawing.h"
#include "support/FakeClock.h"
#include "platform/RandomSource.h"
#include "records/GameOptions.h"

namespace quillmont {
namespace {

// Paints real pictures, as the main window does, and nothing else.
class PaintingView final : public GameView {
 public:
  Game* game = nullptr;
  std::array<PixelBuffer, kCells> pictures;
  PixelBuffer ok = PixelBuffer(39, 39, MakeRgb(200, 230, 200));
  int progress = 0;

  void CellChanged(Cell cell) override {
    if (!game->Visible(cell)) return;
    PixelBuffer& picture = pictures[static_cast<std::size_t>(cell.Index())];
    const TPeca& peca = game->Peca(cell);
    if (peca.Estado == kRemovida || peca.Estado == kCancelada) {
      picture = ok;
    } else {
      PaintTile(peca, picture);
    }
  }
  void PlaySound(Sound) override {}
  void ShowCounters(int, double) override {}
  void ShowBar(int p, int) override { progress = p; }
  void GameEnded(TReal6, std::int32_t) override {}
  void BarMovesAgain() override {}
};

struct Setup {
  GameOptions options;
  FakeClock clock;
  StdRandom random;
  PaintingView view;
  Game game{options, clock, random, view};

  Setup(int board, int fits) {
    options.category = Category(board, 6, fits);
    view.game = &game;
    game.InicializaJogo();
  }
};

// "Trios" on the big board, all 126 tiles on the board, no three alike:
// every search must look at everything.
Setup& WorstCase() {
  static Setup setup(2, 3);
  static bool built = false;
  if (!built) {
    int n = 0;
    for (int c = setup.game.ColIni(); c <= setup.game.ColFim(); ++c)
      for (int r = setup.game.LinIni(); r <= setup.game.LinFim(); ++r, ++n) {
        const int code = n / 2;  // pairs only
        setup.game.Peca(c, r).Atributos = {1 + code % 6, 1 + code / 6 % 6, 1 + code / 36 % 6, 1};
        setup.game.Peca(c, r).Estado = kNoTabuleiro;
      }
    built = true;
  }
  return setup;
}

void BM_TemJogada_WorstCase(benchmark::State& state) {
  Setup& s = WorstCase();
  for (auto _ : state) benchmark::DoNotOptimize(s.game.TemJogada());
}
BENCHMARK(BM_TemJogada_WorstCase);

void BM_TemJogadaReference_WorstCase(benchmark::State& state) {
  Setup& s = WorstCase();
  for (auto _ : state) benchmark::DoNotOptimize(s.game.TemJogadaReference());
}
BENCHMARK(BM_TemJogadaReference_WorstCase)->Unit(benchmark::kMillisecond);

void BM_ClickCompletingAPair(benchmark::State& state) {
  Setup s(2, 2);
  std::vector<std::pair<int, int>> pair;
  for (auto _ : state) {
    state.PauseTiming();
    s.game.InicializaJogo();
    const TPeca first = s.game.Peca(2, 2);
    pair.clear();
    for (int c = 2; c <= 15; ++c)
      for (int r = 2; r <= 10; ++r)
        if (s.game.Peca(c, r).SameTile(first)) pair.emplace_back(c, r);
    s.game.ClicaPeca(pair[0].first, pair[0].second, true);
    state.ResumeTiming();
    s.game.ClicaPeca(pair[1].first, pair[1].second, true);
  }
}
BENCHMARK(BM_ClickCompletingAPair)->Unit(benchmark::kMicrosecond);

void BM_TickWithoutChange(benchmark::State& state) {
  Setup s(0, 2);
  for (auto _ : state) {
    s.game.Timer1Timer();
    benchmark::DoNotOptimize(s.view.progress);
  }
}
BENCHMARK(BM_TickWithoutChange);

}  // namespace
}  // namespace quillmont

BENCHMARK_MAIN();
