#include "shell/PictureControl.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

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
  // The buffer's pixels are 0x00RRGGBB; RGB32 ignores the top byte.
  const QImage image(reinterpret_cast<const uchar*>(picture_.Data()), picture_.Width(), picture_.Height(),
                     picture_.Width() * 4, QImage::Format_RGB32);
  QPainter painter(this);
  const qreal ratio = devicePixelRatioF();
  const qreal whole = std::max<qreal>(1.0, std::floor(ratio));
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // Draw at a whole multiple of the device pixels, then let the logical
  // coordinate system carry it: crisp at 1x and 2x alike.
  painter.scale(whole / ratio, whole / ratio);
  painter.drawImage(QPointF(0, 0), image);
}

void PictureControl::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(this, event->button());
  event->accept();
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseReleased(this, event->button());
  event->accept();
}

}  // namespace quillmont
