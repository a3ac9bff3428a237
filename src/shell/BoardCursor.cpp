#include "shell/BoardCursor.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>

#include "controls/WindowCanvas.h"

namespace quillmont {
namespace {

// The tile's outer rings, never covered: border, bevel and the two-pixel
// selection frame, so a selected tile under the cursor still shows as such.
constexpr int kRingsKept = 4;

// A white ring, a two-pixel black one and a white one again: on the pale
// removed and cancelled pictures the black stands out, on strong shades the
// white, and the black diagonals never hide both.
class CursorFrame final : public QWidget {
 public:
  explicit CursorFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect outer = rect();
    Ring(painter, outer, 1, Qt::white);
    Ring(painter, outer.adjusted(1, 1, -1, -1), 2, Qt::black);
    Ring(painter, outer.adjusted(3, 3, -3, -3), 1, Qt::white);
  }

 private:
  // The band between two squares; the tile shows through the middle.
  static void Ring(QPainter& painter, const QRect& outer, int width, const QColor& colour) {
    QPainterPath path;  // odd-even fill
    path.addRect(outer);
    path.addRect(outer.adjusted(width, width, -width, -width));
    painter.fillPath(path, colour);
  }
};

}  // namespace

BoardCursor::BoardCursor(QWidget* board, std::function<QWidget*(Cell)> cellAt)
    : QObject(board), board_(board), frame_(new CursorFrame(board)), cellAt_(std::move(cellAt)) {
  board_->setFocusPolicy(Qt::StrongFocus);
  board_->installEventFilter(this);
}

void BoardCursor::NewBoard(int colIni, int colFim, int linIni, int linFim) {
  colIni_ = colIni;
  colFim_ = colFim;
  linIni_ = linIni;
  linFim_ = linFim;
  cell_ = {colIni, linIni};
  Show(false);
}

bool BoardCursor::eventFilter(QObject* watched, QEvent* event) {
  if (watched != board_) return false;
  if (event->type() == QEvent::MouseButtonPress) {
    MouseClicked();  // beside the tiles; the cells report their own clicks
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  // Every key below stops here, so none reaches an option group.
  switch (key->key()) {
    case Qt::Key_Left: Move(-1, 0); return true;
    case Qt::Key_Right: Move(1, 0); return true;
    case Qt::Key_Up: Move(0, -1); return true;
    case Qt::Key_Down: Move(0, 1); return true;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // A held key picks once; repeats would flip the selection on and off.
      if (!key->isAutoRepeat()) {
        Show(true);
        emit Activated(cell_);
      }
      return true;
    default: return false;
  }
}

void BoardCursor::Move(int dColumn, int dRow) {
  cell_.column = std::clamp(cell_.column + dColumn, colIni_, colFim_);
  cell_.row = std::clamp(cell_.row + dRow, linIni_, linFim_);
  Show(true);
}

void BoardCursor::Show(bool visible) {
  if (visible) {
    QWidget* cell = cellAt_(cell_);
    frame_->setGeometry(cell->geometry().adjusted(kRingsKept, kRingsKept, -kRingsKept, -kRingsKept));
    frame_->raise();
    // On a screen too small for the window, the board scrolls with the cursor.
    ScrollIntoView(cell, cell->width() / 2);
  }
  frame_->setVisible(visible);
}

}  // namespace quillmont
