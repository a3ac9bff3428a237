#pragma once
// The state of one game and the rules that change it: the deal, the moves,
// the end check, the Bonus Bar and the score. Effects on the screen go
// through GameView, in the order the rules produce them.
#include <array>
#include <chrono>
#include <cstdint>
#include <exception>

#include "game/GameView.h"
#include "game/TPeca.h"
#include "records/GameOptions.h"
#include "records/TReal6.h"

namespace quillmont {

class Clock;
class RandomSource;

class Game {
 public:
  // The options are read at each deal (the category) and at each sound (Mute).
  Game(const GameOptions& options, const Clock& clock, RandomSource& random, GameView& view);

  // Deals a new board for the current options; drops the game under way.
  void InicializaJogo();
  // A mouse release on the cell's control. Anything but the left button, and
  // any click after the end, is ignored.
  void ClicaPeca(int column, int row, bool leftButton);
  // The Bonus Bar's 100 ms tick. Each works the bar out afresh from the
  // clock, so a tick missed changes nothing.
  void Timer1Timer();
  // Whether another tick could change the bar: false once it is full, and
  // once it has been emptied after the end of a game, until it moves again
  // (GameView::BarMovesAgain).
  bool BarMoves() const { return barMoves_; }

  // True when NumFits equal tiles are still on the board; false sets
  // JogoTerminado. Answers as the exhaustive search in reading order would.
  bool TemJogada();
  // The same answer by that exhaustive search, kept to check the fast one.
  bool TemJogadaReference() const;
  int TilesCancelados() const;

  const TPeca& Peca(int column, int row) const { return pecas_(column, row); }
  TPeca& Peca(int column, int row) { return pecas_(column, row); }
  const TPeca& Peca(Cell cell) const { return pecas_(cell); }
  bool Visible(Cell cell) const { return visible_[static_cast<std::size_t>(cell.Index())]; }
  bool Visible(int column, int row) const { return Visible(Cell{column, row}); }
  // For tests and tools that build a position by hand.
  void SetVisible(int column, int row, bool visible);

  int ColIni() const { return colIni_; }
  int ColFim() const { return colFim_; }
  int LinIni() const { return linIni_; }
  int LinFim() const { return linFim_; }
  int TotalPecas() const { return totalPecas_; }
  int PecasRestantes() const { return pecasRestantes_; }
  TReal6 Escore() const { return escore_; }
  int TempoBonus() const { return tempoBonus_; }
  bool JogoTerminado() const { return jogoTerminado_; }
  int NumSelecionadas() const { return numSelecionadas_; }
  int SelCol(int position) const { return selCol_[static_cast<std::size_t>(position - 1)]; }
  int SelLin(int position) const { return selLin_[static_cast<std::size_t>(position - 1)]; }
  int GaugeMaximum() const { return 10 * tempoBonus_; }

 private:
  void CalculaEscore();
  void AtualizaLabels();
  void FimJogo();
  // Starts the Bonus Bar again from empty, now.
  void RestartBar();
  // The bar's ticks are wanted again: it restarted, or the game ended and
  // the next tick empties it.
  void KeepBarMoving();

  // The rules' "draw this cell": the view shows it anew, or hides it when it holds no tile.
  void DesenhaPeca(int column, int row);
  void Select(int position, int column, int row);
  void Play(Sound sound);
  // Redraws a cell; a picture that fails to load is kept for later so the
  // move completes first.
  void Redraw(int column, int row);
  void EndCheck();
  // Elapsed time since the bar's restart in bonus units, on the monotonic
  // clock: a step of the wall clock, daylight saving or midnight between the
  // restart and now changes nothing.
  long double ElapsedUnits() const;

  void ClickDuos(int column, int row);
  void ClickTrios(int column, int row);
  // Ends a pick of `tiles` tiles, the clicked one and those selected: all
  // removed and scored when equal, else all cancelled at the penalty for a
  // wrong second or third tile. A matching pair in Duos keeps its own order.
  void CompletePick(int column, int row, int tiles, bool equal);

  const GameOptions& options_;
  const Clock& clock_;
  RandomSource& random_;
  GameView& view_;

  Category category_;  // the game's, taken at the deal
  Pecas pecas_;
  std::array<bool, kCells> visible_{};
  int colIni_ = 0, colFim_ = -1, linIni_ = 0, linFim_ = -1;
  int totalPecas_ = 0;
  int pecasRestantes_ = 0;
  TReal6 escore_;
  int tempoBonus_ = 0;
  std::chrono::milliseconds inicioBonus_{0};
  bool barMoves_ = false;
  bool jogoTerminado_ = false;
  int numSelecionadas_ = 0;
  std::array<int, 2> selCol_{};
  std::array<int, 2> selLin_{};
  std::exception_ptr pictureError_;
};

}  // namespace quillmont
