#pragma once
// Everything the rules cannot do themselves goes through this interface, in
// the order the rules call it. The main window implements it; tests implement
// it with a recorder and assert the order.
#include <cstdint>
#include <string_view>

#include "records/TReal6.h"

namespace quillmont {

// Every wave file the rules play, for a player that gets them ready early.
inline constexpr const char* kWaveFiles[] = {"acerto.wav", "erro.wav", "fim.wav"};

class GameView {
 public:
  virtual ~GameView() = default;

  // Shows or hides the control of cell (column 1..16, row 1..10).
  virtual void SetCellVisible(int column, int row, bool visible) = 0;
  // Brings the picture of a cell that holds a tile in line with its record
  // (DesenhaPeca): paints the tile for states 0 and 1, loads
  // "ok.bmp"/"nok.bmp" for 2 and 3. May throw when a bitmap cannot be loaded;
  // the picture then keeps its look. An empty cell is hidden by the rules
  // through SetCellVisible instead.
  virtual void DesenhaPeca(int column, int row) = 0;
  // Starts a wave file from the program's folder; returns at once.
  virtual void PlaySound(std::string_view fileName) = 0;
  // Panel4 and Panel5: tiles left and the score (a whole number).
  virtual void ShowCounters(int tilesLeft, double score) = 0;
  virtual void SetGaugeMaximum(int maximum) = 0;
  virtual void SetGaugeProgress(int progress) = 0;
  // The Bonus Bar can move again after a time when no tick could change it
  // (Game::BarMoves): its ticks are wanted from now on.
  virtual void BarMovesAgain() = 0;
  // The game is over, with this score and these tiles missed (cancelled
  // ones and those left): the window ranks the result and shows the
  // game-over message, or the gallery asking for the player's name.
  virtual void GameEnded(TReal6 escore, std::int32_t perdidas) = 0;
};

}  // namespace quillmont
