#include "windows/SmallWindow.h"

#include <QIcon>
#include <QPushButton>

#include "controls/TGradient.h"
#include "controls/WindowCanvas.h"

namespace quillmont {

SmallWindow::SmallWindow(const QString& caption, QRect frame, QWidget* parent) : QDialog(parent) {
  setWindowTitle(caption);
  setModal(true);
  resize(frame.size());
  move(frame.topLeft());
  canvas_ = new WindowCanvas(this, frame.size());
  // Teal at the top to pale blue at the bottom.
  gradient1_ = new TGradient(canvas_);
  gradient1_->SetBeginColor(QColor(0, 128, 128));
  gradient1_->SetEndColor(QColor(202, 238, 255));
  gradient1_->SetDirection(TGradient::fdTopToBottom);
  canvas_->onResize = [this] { gradient1_->setGeometry(canvas_->rect()); };
}

QWidget* SmallWindow::Canvas() const { return canvas_; }

void SmallWindow::MakeOkButton(QRect bounds) {
  bitBtn1_ = new QPushButton(QIcon(QStringLiteral(":/images/ok-glyph.png")), QStringLiteral("OK"), canvas_);
  bitBtn1_->setGeometry(bounds);
  bitBtn1_->setIconSize(QSize(18, 18));
  bitBtn1_->setDefault(true);
  bitBtn1_->setAutoDefault(true);
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillmont
