// A click on a tile: select, deselect, or complete a pick. A completed pick
// starts with its sound and ends with the end check. In between, a matching
// pair in Duos is scored and counted (which restarts the Bonus Bar) before
// its tiles are removed and redrawn; every other pick (a wrong pair, and
// any third tile in Trios) first removes or cancels its tiles and redraws
// them, the clicked one first, and then is scored and counted.
#include "game/Game.h"

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
      if (category_.NumFits() == 2) {
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
  if (!clicked.SameTile(first)) {
    CompletePick(column, row, 2, false);
    return;
  }
  Play(Sound::kMatch);
  CalculaEscore();
  pecasRestantes_ -= 2;
  AtualizaLabels();
  clicked.Estado = kRemovida;
  first.Estado = kRemovida;
  Redraw(column, row);
  Redraw(selCol_[0], selLin_[0]);
  EndCheck();
}

void Game::ClickTrios(int column, int row) {
  if (numSelecionadas_ == 0) {
    Select(1, column, row);
    return;
  }
  // A second tile is compared with the first; so is a third, the second
  // being known to equal the first.
  const bool equal = pecas_(column, row).SameTile(pecas_(selCol_[0], selLin_[0]));
  if (numSelecionadas_ == 1 && equal) {
    Select(2, column, row);
    return;
  }
  CompletePick(column, row, numSelecionadas_ + 1, equal);
}

void Game::CompletePick(int column, int row, int tiles, bool equal) {
  numSelecionadas_ = 0;
  Play(equal ? Sound::kMatch : Sound::kWrong);
  const std::uint8_t outcome = equal ? kRemovida : kCancelada;
  pecas_(column, row).Estado = outcome;
  for (int i = 0; i < tiles - 1; ++i) pecas_(selCol_[i], selLin_[i]).Estado = outcome;
  Redraw(column, row);
  for (int i = 0; i < tiles - 1; ++i) Redraw(selCol_[i], selLin_[i]);
  if (equal) {
    CalculaEscore();
  } else {
    escore_ = TReal6::FromDouble(escore_.ToLongDouble() - (tiles == 2 ? kWrongPairCost : kWrongThirdCost));
  }
  pecasRestantes_ -= tiles;
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

void Game::Play(Sound sound) {
  if (!options_.Mute) view_.PlaySound(sound);
}

void Game::Redraw(int column, int row) {
  try {
    DesenhaPeca(column, row);
  } catch (...) {
    if (!pictureError_) pictureError_ = std::current_exception();
  }
}

}  // namespace quillmont
