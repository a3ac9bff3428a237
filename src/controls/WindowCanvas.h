#pragma once
// The surface a window's controls are placed on, at their designed pixels.
// A screen can be smaller than a design at the desktop's scale (a small
// screen at a high scale): the canvas then keeps the design's size and
// scrolls inside the window, and the window is kept within the screen's
// available area, so every control can still be reached. It scrolls rather
// than shrinks: the player keeps the scale they chose, and the tiles show
// exactly as on a large screen.
#include <QSize>
#include <QWidget>
#include <functional>

class QScrollArea;

namespace quillmont {

class WindowCanvas final : public QWidget {
  Q_OBJECT
 public:
  // Fills the window, which places its controls on the canvas. `design` is
  // the least size they need; the canvas grows with the window beyond it.
  // From the first show on, the window's minimum size never exceeds what the
  // screen holds, and each show cuts the window to the screen and moves its
  // frame inside.
  WindowCanvas(QWidget* window, QSize design);

  QScrollArea* ScrollArea() const { return scrollArea_; }

  // Called after each change of the canvas's size.
  std::function<void()> onResize;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QScrollArea* scrollArea_;
};

// Scrolls the canvas that holds the widget, if any, so that the widget and
// `margin` pixels round it show.
void ScrollIntoView(QWidget* widget, int margin);

}  // namespace quillmont
