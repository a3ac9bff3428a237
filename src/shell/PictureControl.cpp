#include "shell/PictureControl.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace quillmont {

PictureControl::PictureControl(QWidget* parent, int index) : QWidget(parent), index_(index) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureControl::SetPicture(PixelBuffer picture) {
  picture_ = std::move(picture);
  update();
}

void PictureControl::paintEvent(QPaintEvent*) {
  if (picture_.Empty()) return;
  QPainter painter(this);
  // Work in device pixels: each one whose centre lies inside the control
  // takes the picture pixel under that centre. At whole factors this gives
  // n x n copies; at fractional ones the tiles meet without gaps or blur.
  const QTransform toDevice = painter.deviceTransform();
  const qreal scale = toDevice.m11();
  const QRectF area = toDevice.mapRect(QRectF(0, 0, std::min(width(), picture_.Width()),
                                              std::min(height(), picture_.Height())));
  const int left = static_cast<int>(std::ceil(area.left() - 0.5));
  const int top = static_cast<int>(std::ceil(area.top() - 0.5));
  const int right = static_cast<int>(std::ceil(area.right() - 0.5));  // one past the last
  const int bottom = static_cast<int>(std::ceil(area.bottom() - 0.5));
  if (right <= left || bottom <= top) return;
  QImage device(right - left, bottom - top, QImage::Format_RGB32);
  std::vector<int> columns(static_cast<std::size_t>(device.width()));
  for (int x = 0; x < device.width(); ++x) {
    columns[static_cast<std::size_t>(x)] = std::min(picture_.Width() - 1,
        static_cast<int>(std::floor((left + x + 0.5 - toDevice.dx()) / scale)));
  }
  for (int y = 0; y < device.height(); ++y) {
    const int row = std::min(picture_.Height() - 1, static_cast<int>(std::floor((top + y + 0.5 - toDevice.dy()) / scale)));
    auto* line = reinterpret_cast<QRgb*>(device.scanLine(y));
    for (int x = 0; x < device.width(); ++x) line[x] = 0xFF000000u | picture_.At(columns[static_cast<std::size_t>(x)], row);
  }
  painter.setWorldTransform(toDevice.inverted());
  painter.drawImage(QPoint(left, top), device);
}

void PictureControl::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(this, event->button());
  event->accept();
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
  // Only a left press holds the mouse until the release, wherever that is;
  // after a press with another button the release counts over the control.
  if (event->button() == Qt::LeftButton || rect().contains(event->position().toPoint())) {
    emit MouseReleased(this, event->button());
  }
  event->accept();
}

}  // namespace quillmont
