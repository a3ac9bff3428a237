// Dealing a new board: every combination that is dealt lies on exactly
// NumFits tiles, placed at random in the board's rectangle.
#include <algorithm>
#include <bitset>

#include "game/Game.h"
#include "platform/Clock.h"
#include "platform/RandomSource.h"

namespace quillmont {

Game::Game(const GameOptions& options, const Clock& clock, RandomSource& random, GameView& view)
    : options_(options), clock_(clock), random_(random), view_(view) {}

void Game::SetVisible(int column, int row, bool visible) {
  visible_[static_cast<std::size_t>(Cell{column, row}.Index())] = visible;
  view_.CellChanged({column, row});
}

void Game::DesenhaPeca(int column, int row) {
  // A cell that holds no tile loses its control here, so that the board's
  // visibility changes only through SetVisible and the search sees it.
  if (pecas_(column, row).Atributos[0] == 0) {
    SetVisible(column, row, false);
    return;
  }
  view_.CellChanged({column, row});
}

void Game::InicializaJogo() {
  category_ = options_.category;
  const int numColors = category_.NumColors();
  const int numFits = category_.NumFits();

  jogoTerminado_ = false;
  escore_ = TReal6{};
  RestartBar();

  for (int column = 1; column <= kColumns; ++column) {
    for (int row = 1; row <= kRows; ++row) SetVisible(column, row, false);
  }

  const BoardCells size = category_.Cells();
  colIni_ = size.colIni;
  colFim_ = size.colFim;
  linIni_ = size.linIni;
  linFim_ = size.linFim;
  totalPecas_ = size.totalPecas;

  pecasRestantes_ = totalPecas_;
  view_.ShowCounters(pecasRestantes_, 0.0);

  for (int column = colIni_; column <= colFim_; ++column) {
    for (int row = linIni_; row <= linFim_; ++row) pecas_(column, row).Atributos = {};
  }

  std::bitset<kCombinationCodes> used;  // by CombinationCode
  const int columns = colFim_ - colIni_ + 1;
  const int rows = linFim_ - linIni_ + 1;
  for (int column = colIni_; column <= colFim_; ++column) {
    for (int row = linIni_; row <= linFim_; ++row) {
      // Shown with its tile when it is drawn below.
      visible_[static_cast<std::size_t>(Cell{column, row}.Index())] = true;
      TPeca& peca = pecas_(column, row);
      peca.Estado = kNoTabuleiro;
      if (peca.Atributos[0] > 0) continue;  // a copy placed by an earlier group

      int code = 0;
      do {
        peca.Atributos[0] = random_.Random(numColors) + 1;
        peca.Atributos[2] = random_.Random(numColors) + 1;
        peca.Atributos[1] = random_.Random(numColors) + 1;
        peca.Atributos[3] = random_.Random(numColors) + 1;
        code = CombinationCode(peca.Atributos);  // colours 1..numColors: never -1
      } while (used[static_cast<std::size_t>(code)]);
      used[static_cast<std::size_t>(code)] = true;

      for (int copy = 1; copy < numFits; ++copy) {
        int c = 0;
        int r = 0;
        do {
          c = colIni_ + random_.Random(columns);
          r = linIni_ + random_.Random(rows);
        } while (pecas_(c, r).Atributos[0] != 0);
        pecas_(c, r).Atributos = peca.Atributos;
      }
    }
  }

  for (int column = colIni_; column <= colFim_; ++column) {
    for (int row = linIni_; row <= linFim_; ++row) DesenhaPeca(column, row);
  }

  numSelecionadas_ = 0;
  tempoBonus_ = category_.BonusTime();
  RestartBar();
}

}  // namespace quillmont
