#include "controls/TGradient.h"

#include <QPainter>

#include "controls/QtRgb.h"

namespace quillmont {

TGradient::TGradient(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  resize(100, 100);
  Rebuild();
}

void TGradient::SetBeginColor(QColor color) {
  beginColor_ = color;
  Rebuild();
}

void TGradient::SetEndColor(QColor color) {
  endColor_ = color;
  Rebuild();
}

void TGradient::SetDirection(TFillDirection direction) {
  direction_ = direction;
  Rebuild();
}

void TGradient::Rebuild() {
  palette_ = BuildGradientPalette(ToRgb(beginColor_), ToRgb(endColor_));
  ++paletteBuilds_;
  update();
}

void TGradient::paintEvent(QPaintEvent*) {
  const int w = width();
  const int h = height();
  const bool vertical = direction_ == fdTopToBottom || direction_ == fdBottomToTop;
  const int extent = vertical ? h : w;
  // An empty extent has no lines to draw (the index formula would divide by it).
  if (extent <= 0) return;
  QPainter painter(this);
  for (int i = 0; i <= extent; ++i) {
    const QColor colour = ToQColor(palette_[static_cast<std::size_t>(GradientIndex(i, extent))]);
    switch (direction_) {
      case fdTopToBottom: painter.fillRect(0, i, w, 1, colour); break;
      case fdBottomToTop: painter.fillRect(0, h - i, w, 1, colour); break;
      case fdLeftToRight: painter.fillRect(i, 0, 1, h, colour); break;
      case fdRightToLeft: painter.fillRect(w - i, 0, 1, h, colour); break;
    }
  }
}

}  // namespace quillmont
