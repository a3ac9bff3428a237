// A click on a tile: select, deselect, or complete a pick. Every branch
// produces its effects in a fixed order: sound, score, counters, states,
// redraws, end check.
#include "game/Game.h"
#include "records/SharedState.h"

namespace quillmont {
namespace {

constexpr long double kWrongPairCost = 8735;
constexpr long double kWrongThirdCost = 9371;

}  // namespace

void Game::ClicaPeca(int column, int row, bool leftButton) {
  if (jogoTerminado_ || !leftButton) return;
  TPeca& peca = pecas_(column, row);
  switch (peca.Estado) {
    case kSelecionada:
      peca.Estado = kNoTabuleiro;
      Redraw(column, row);
      --numSelecionadas_;
      if (numSelecionadas_ == 1 && column == selCol_[0] && row == selLin_[0]) {
        selCol_[0] = selCol_[1];
        selLin_[0] = selLin_[1];
      }
      break;
    case kRemovida:
    case kCancelada:
      return;
    default:
      if (shared_.NumFits == 2) {
        ClickDuos(column, row);
      } else {
        ClickTrios(column, row);
      }
  }
  if (pictureError_) {
    // The move is complete; now the picture that failed may be reported.
    std::exception_ptr error = pictureError_;
    pictureError_ = nullptr;
    std::rethrow_exception(error);
  }
}

void Game::ClickDuos(int column, int row) {
  if (numSelecionadas_ == 0) {
    Select(1, column, row);
    return;
  }
  numSelecionadas_ = 0;
  TPeca& clicked = pecas_(column, row);
  TPeca& first = pecas_(selCol_[0], selLin_[0]);
  if (clicked.SameTile(first)) {
    Play("acerto.wav");
    CalculaEscore();
    pecasRestantes_ -= 2;
    AtualizaLabels();
    clicked.Estado = kRemovida;
    first.Estado = kRemovida;
    Redraw(column, row);
    Redraw(selCol_[0], selLin_[0]);
  } else {
    clicked.Estado = kCancelada;
    first.Estado = kCancelada;
    Play("erro.wav");
    Redraw(column, row);
    Redraw(selCol_[0], selLin_[0]);
    pecasRestantes_ -= 2;
    escore_ = TReal6::FromDouble(escore_.ToLongDouble() - kWrongPairCost);
    AtualizaLabels();
  }
  EndCheck();
}

void Game::ClickTrios(int column, int row) {
  TPeca& clicked = pecas_(column, row);
  if (numSelecionadas_ == 0) {
    Select(1, column, row);
    return;
  }
  TPeca& first = pecas_(selCol_[0], selLin_[0]);
  if (numSelecionadas_ == 1) {
    if (clicked.SameTile(first)) {
      Select(2, column, row);
      return;
    }
    Play("erro.wav");
    clicked.Estado = kCancelada;
    first.Estado = kCancelada;
    Redraw(column, row);
    Redraw(selCol_[0], selLin_[0]);
    numSelecionadas_ = 0;
    pecasRestantes_ -= 2;
    escore_ = TReal6::FromDouble(escore_.ToLongDouble() - kWrongPairCost);
    AtualizaLabels();
    EndCheck();
    return;
  }

  numSelecionadas_ = 0;
  TPeca& second = pecas_(selCol_[1], selLin_[1]);
  // The second is known to equal the first.
  const bool equal = clicked.SameTile(first);
  Play(equal ? "acerto.wav" : "erro.wav");
  const std::uint8_t outcome = equal ? kRemovida : kCancelada;
  clicked.Estado = outcome;
  first.Estado = outcome;
  second.Estado = outcome;
  Redraw(column, row);
  Redraw(selCol_[0], selLin_[0]);
  Redraw(selCol_[1], selLin_[1]);
  if (equal) {
    CalculaEscore();
  } else {
    escore_ = TReal6::FromDouble(escore_.ToLongDouble() - kWrongThirdCost);
  }
  pecasRestantes_ -= 3;
  AtualizaLabels();
  EndCheck();
}

void Game::Select(int position, int column, int row) {
  pecas_(column, row).Estado = kSelecionada;
  numSelecionadas_ = position;
  selCol_[static_cast<std::size_t>(position - 1)] = column;
  selLin_[static_cast<std::size_t>(position - 1)] = row;
  Redraw(column, row);
}

void Game::Play(const char* fileName) {
  if (!Mute) view_.PlaySound(fileName);
}

void Game::Redraw(int column, int row) {
  try {
    view_.DesenhaPeca(column, row);
  } catch (...) {
    if (!pictureError_) pictureError_ = std::current_exception();
  }
}

}  // namespace quillmont
