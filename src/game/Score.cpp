// The Bonus Bar and the points of a completed group.
#include <cmath>

#include "game/Game.h"
#include "platform/Clock.h"

namespace quillmont {
namespace {

constexpr long double kUnitsPerDay = 100000;  // one bonus unit is 0.864 s
constexpr long double kMillisecondsPerDay = 86'400'000;

// Rounding to nearest with halves to even, as the floating-point unit does.
long double RoundHalfEven(long double value) { return std::nearbyint(value); }

}  // namespace

long double Game::ElapsedUnits() const {
  const std::int64_t ms = (clock_.MonotonicTime() - inicioBonus_).count();
  return static_cast<long double>(ms) * kUnitsPerDay / kMillisecondsPerDay;
}

void Game::Timer1Timer() {
  if (jogoTerminado_) {
    view_.ShowBar(0, GaugeMaximum());
    barMoves_ = false;  // emptied: still until the next deal
    return;
  }
  // Kept as a 6-byte real, which is where the one rounding happens.
  const long double tempoDecorrido = TReal6::FromDouble(ElapsedUnits()).ToLongDouble();
  const int progress = static_cast<int>(RoundHalfEven(tempoDecorrido * 10));
  view_.ShowBar(progress, GaugeMaximum());
  if (progress >= GaugeMaximum()) barMoves_ = false;  // full: still until the next restart
}

void Game::RestartBar() {
  inicioBonus_ = clock_.MonotonicTime();
  view_.ShowBar(0, GaugeMaximum());
  KeepBarMoving();
}

void Game::KeepBarMoving() {
  barMoves_ = true;
  view_.BarMovesAgain();
}

void Game::CalculaEscore() {
  const long double tempoDecorrido = RoundHalfEven(ElapsedUnits());
  const long double n = totalPecas_;  // the tiles of the board being played
  const long double s = static_cast<long double>(category_.NumColors()) * category_.NumColors();
  const long double t = tempoBonus_;
  long double bonus = 0;
  if (tempoDecorrido < t) bonus = 15 * (10 * t - RoundHalfEven(tempoDecorrido * 10));
  const long double base = category_.NumFits() == 2 ? s * n : 2 * s * n;
  escore_ = TReal6::FromDouble((escore_.ToLongDouble() + base) + bonus);
}

void Game::AtualizaLabels() {
  view_.ShowCounters(pecasRestantes_, escore_.ToDouble());
  RestartBar();
}

}  // namespace quillmont
