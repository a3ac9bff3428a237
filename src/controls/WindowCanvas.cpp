#include "controls/WindowCanvas.h"

#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace quillmont {
namespace {

// The frame a window manager may draw round a window before it is first
// mapped, while that of its owner is unknown too: a generous title bar and
// borders, so that the minimum size leaves room for the real one.
constexpr QMargins kGuessedFrame(8, 40, 8, 8);
// At a fractional scale, logical pixels round: a one-pixel border of the
// frame may count as none, and the screen may count one pixel more than it
// holds. A pixel more of frame on each side covers both.
constexpr QMargins kRounding(1, 1, 1, 1);

QMargins FrameOf(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  const QRect inside = window->geometry();
  return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
          frame.bottom() - inside.bottom()};
}

// The window's frame once the window manager has drawn it, else its owner's.
std::optional<QMargins> KnownFrame(const QWidget* window) {
  if (const QMargins own = FrameOf(window); !own.isNull()) return own;
  if (window->parentWidget() != nullptr) {
    if (const QMargins owner = FrameOf(window->parentWidget()->window()); !owner.isNull()) return owner;
  }
  return std::nullopt;
}

// Keeps a window within its screen's available area. Each show fits it
// before it is mapped; once the window manager's frame is known, it is
// fitted once more with the real frame. Moves of the player's own after
// that are left alone.
class ScreenFit final : public QObject {
 public:
  explicit ScreenFit(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || fitting_) return false;
    switch (event->type()) {
      case QEvent::Show:
        // A restore from the taskbar is the window system's own show.
        if (event->spontaneous()) break;
        wanted_ = QRect(window_->pos(), window_->size());
        frameFitted_ = false;
        Fit();
        break;
      case QEvent::Move:
      case QEvent::Resize:
        if (!frameFitted_ && window_->isVisible() && !FrameOf(window_).isNull()) {
          frameFitted_ = true;
          Fit();
        }
        break;
      default: break;
    }
    return false;
  }

 private:
  void Fit() {
    const QScreen* screen = window_->screen();
    if (screen == nullptr) return;
    fitting_ = true;
    if (!wantedMinimum_) wantedMinimum_ = window_->minimumSize();
    const QRect available = screen->availableGeometry();
    const auto room = [&available](QMargins frame) { return available.size().shrunkBy(frame).expandedTo({1, 1}); };
    const std::optional<QMargins> known = KnownFrame(window_);
    // Without a frame known, the window is placed as if it had none (as
    // without a window manager); once the frame shows, it is placed again.
    const QMargins frame = known.value_or(QMargins()) + kRounding;
    window_->setMinimumSize(wantedMinimum_->boundedTo(room(known.value_or(kGuessedFrame) + kRounding)));
    if ((window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) == 0) {
      const QSize size = wanted_.size().boundedTo(room(frame));
      const QSize outer = size.grownBy(frame);
      // Where the frame's top-left corner was to go: while the window manager
      // takes the window over, the window may report passing places.
      const QPoint at(std::clamp(wanted_.x(), available.left(),
                                 std::max(available.left(), available.left() + available.width() - outer.width())),
                      std::clamp(wanted_.y(), available.top(),
                                 std::max(available.top(), available.top() + available.height() - outer.height())));
      if (size != window_->size()) window_->resize(size);
      if (at != window_->pos()) window_->move(at);
    }
    fitting_ = false;
  }

  QWidget* window_;
  std::optional<QSize> wantedMinimum_;  // the window's own, taken at its first show
  QRect wanted_;                        // its frame's place and its size when last shown
  bool frameFitted_ = true;
  bool fitting_ = false;
};

class FramelessScrollArea final : public QScrollArea {
 public:
  explicit FramelessScrollArea(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    // Lays the viewport out at once, in the area's top-left corner: a window
    // not shown yet already has its controls where the design puts them.
    setViewportMargins(0, 0, 0, 0);
  }
};

}  // namespace

WindowCanvas::WindowCanvas(QWidget* window, QSize design) : scrollArea_(new FramelessScrollArea(window)) {
  setMinimumSize(design);
  setAutoFillBackground(true);  // the window's own background colour
  // Tab goes from control to control; the area scrolls to each in turn.
  scrollArea_->setFocusPolicy(Qt::NoFocus);
  scrollArea_->setWidgetResizable(true);
  scrollArea_->setWidget(this);
  scrollArea_->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scrollArea_);
  new ScreenFit(window);
}

bool WindowCanvas::eventFilter(QObject* watched, QEvent* event) {
  // The view shrank (the window did, or scroll bars came): the control with
  // the focus stays in view where it fits in it.
  if (watched == scrollArea_->viewport() && event->type() == QEvent::Resize) {
    QWidget* focus = window()->focusWidget();
    const QSize view = scrollArea_->viewport()->size();
    if (focus != nullptr && isAncestorOf(focus) && focus->width() <= view.width() &&
        focus->height() <= view.height()) {
      ScrollIntoView(focus, 0);
    }
  }
  return false;
}

void WindowCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (onResize) onResize();
}

void ScrollIntoView(QWidget* widget, int margin) {
  for (QWidget* ancestor = widget->parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget()) {
    const auto* canvas = qobject_cast<WindowCanvas*>(ancestor);
    if (canvas == nullptr) continue;
    // The whole widget, not only a text box's cursor; where it is larger
    // than the view, its top-left part.
    const QRect wanted = QRect(widget->mapTo(canvas, QPoint(0, 0)), widget->size()).marginsAdded({margin, margin, margin, margin});
    const QSize view = canvas->ScrollArea()->viewport()->size();
    const auto scroll = [](QScrollBar* bar, int start, int length, int shown) {
      if (start < bar->value() || length > shown) bar->setValue(start);
      else if (start + length > bar->value() + shown) bar->setValue(start + length - shown);
    };
    scroll(canvas->ScrollArea()->horizontalScrollBar(), wanted.left(), wanted.width(), view.width());
    scroll(canvas->ScrollArea()->verticalScrollBar(), wanted.top(), wanted.height(), view.height());
    return;
  }
}

}  // namespace quillmont
