#include "controls/TGauge.h"

#include <QPainter>

#include "controls/GaugeMath.h"

namespace quillmont {

TGauge::TGauge(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

int TGauge::Percent() const { return GaugePercent(progress_, maximum_); }

void TGauge::SetMaxValue(int maximum) {
  const int old = Percent();
  maximum_ = std::max(maximum, 0);
  progress_ = ClampProgress(progress_, maximum_);
  Changed(old);
}

void TGauge::SetProgress(int progress) {
  const int old = Percent();
  progress_ = ClampProgress(progress, maximum_);
  Changed(old);
}

void TGauge::Changed(int oldPercent) {
  if (Percent() == oldPercent) return;
  ++repaintRequests_;
  update();
}

void TGauge::SetForeColor(QColor color) {
  foreColor_ = color;
  update();
}

void TGauge::SetBackColor(QColor color) {
  backColor_ = color;
  update();
}

void TGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), backColor_);
  painter.fillRect(0, 0, GaugeFilledWidth(Percent(), width()), height(), foreColor_);
}

}  // namespace quillmont
