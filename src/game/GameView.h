#pragma once
// Everything the rules cannot do themselves goes through this interface, in
// the order the rules call it. The main window implements it; tests implement
// it with a recorder and assert the order.
#include <cstdint>

#include "game/Cell.h"
#include "records/TReal6.h"

namespace quillmont {

// The sounds the rules ask for: a group matched, a pick cancelled, the end
// of a game.
enum class Sound { kMatch, kWrong, kEnd };

class GameView {
 public:
  virtual ~GameView() = default;

  // A cell's record or its visibility changed: the view shows it as
  // Game::Visible and Game::Peca now say. Hidden, or else the tile painted
  // for states 0 and 1, a picture of its own for 2 and 3. May throw when
  // that picture cannot be loaded; the cell then keeps its look.
  virtual void CellChanged(Cell cell) = 0;
  // Starts a sound; returns at once.
  virtual void PlaySound(Sound sound) = 0;
  // The counters: tiles left and the score (a whole number).
  virtual void ShowCounters(int tilesLeft, double score) = 0;
  // The Bonus Bar at progress out of maximum.
  virtual void ShowBar(int progress, int maximum) = 0;
  // The Bonus Bar can move again after a time when no tick could change it
  // (Game::BarMoves): its ticks are wanted from now on.
  virtual void BarMovesAgain() = 0;
  // The game is over, with this score and these tiles missed (cancelled
  // ones and those left): the window ranks the result and shows the
  // game-over message, or the gallery asking for the player's name.
  virtual void GameEnded(TReal6 escore, std::int32_t perdidas) = 0;
};

}  // namespace quillmont
