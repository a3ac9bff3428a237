#pragma once
// Keyboard play on the board: the board takes the focus, the arrow keys move
// a cursor over the cells of the current board, and Space or Enter picks the
// cell under it. The cursor is a frame of its own laid over the cell's inner
// area, so the tiles are painted as always and their border, bevel and
// selection frame stay in sight.
#include <QObject>
#include <functional>

#include "game/Cell.h"

class QWidget;

namespace quillmont {

class BoardCursor : public QObject {
  Q_OBJECT
 public:
  // cellAt gives the control of a cell of the board.
  BoardCursor(QWidget* board, std::function<QWidget*(Cell)> cellAt);

  // A new board: the cursor goes to its top-left cell and hides until a key
  // moves or uses it.
  void NewBoard(int colIni, int colFim, int linIni, int linFim);
  // A mouse click on the board: the cursor hides where it is, so a mouse
  // player sees the tiles alone.
  void MouseClicked() { Show(false); }

 signals:
  // Space or Enter on the cursor's cell.
  void Activated(Cell cell);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Move(int dColumn, int dRow);
  void Show(bool visible);

  QWidget* board_;
  QWidget* frame_;
  std::function<QWidget*(Cell)> cellAt_;
  int colIni_ = 1, colFim_ = 1, linIni_ = 1, linFim_ = 1;
  Cell cell_;
};

}  // namespace quillmont
