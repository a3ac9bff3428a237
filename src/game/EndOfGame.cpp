// Is a group left on the board, and what happens when none is.
#include <array>

#include "game/Game.h"

namespace quillmont {
namespace {

bool TakesPart(const TPeca& peca, bool visible) { return visible && peca.Estado == kNoTabuleiro; }

}  // namespace

bool Game::TemJogada() {
  // One pass counting the tiles of each combination: a group exists exactly
  // when some combination is on NumFits tiles still on the board, which is
  // what the search over pairs or triples in reading order finds.
  std::array<std::uint8_t, kCombinationCodes> count{};
  const int needed = category_.NumFits();
  for (int i = 0; i < kCells; ++i) {
    const TPeca& peca = pecas_(Cell::FromIndex(i));
    if (!TakesPart(peca, visible_[static_cast<std::size_t>(i)])) continue;
    const int code = CombinationCode(peca.Atributos);
    if (code < 0) {
      // Only a hand-built board gets here; the search itself then decides.
      if (TemJogadaReference()) return true;
      jogoTerminado_ = true;
      return false;
    }
    auto& n = count[static_cast<std::size_t>(code)];
    if (++n >= needed) return true;
  }
  jogoTerminado_ = true;
  return false;
}

bool Game::TemJogadaReference() const {
  const auto part = [this](int i) {
    return TakesPart(pecas_(Cell::FromIndex(i)), visible_[static_cast<std::size_t>(i)]);
  };
  const auto at = [this](int i) -> const TPeca& { return pecas_(Cell::FromIndex(i)); };
  for (int i = 0; i < kCells; ++i) {
    if (!part(i)) continue;
    for (int j = i + 1; j < kCells; ++j) {
      if (!part(j)) continue;
      if (category_.NumFits() == 2) {
        if (at(i).SameTile(at(j))) return true;
        continue;
      }
      for (int k = j + 1; k < kCells; ++k) {
        if (part(k) && at(i).SameTile(at(j)) && at(i).SameTile(at(k))) return true;
      }
    }
  }
  return false;
}

int Game::TilesCancelados() const {
  int cancelled = 0;
  for (int column = colIni_; column <= colFim_; ++column) {
    for (int row = linIni_; row <= linFim_; ++row) cancelled += pecas_(column, row).Estado == kCancelada;
  }
  return cancelled;
}

void Game::EndCheck() {
  if (!TemJogada()) FimJogo();
}

void Game::FimJogo() {
  Play(Sound::kEnd);
  KeepBarMoving();  // a full bar, already still, is emptied at the next tick
  view_.GameEnded(escore_, TilesCancelados() + pecasRestantes_);
}

}  // namespace quillmont
