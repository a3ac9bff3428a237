#include "shell/SmallWindow.h"

#include <QIcon>
#include <QPushButton>
#include <QResizeEvent>

#include "controls/TGradient.h"

namespace quillmont {

SmallWindow::SmallWindow(const QString& caption, QRect frame, QWidget* parent) : QDialog(parent) {
  setWindowTitle(caption);
  setModal(true);
  resize(frame.size());
  move(frame.topLeft());
  // Teal at the top to pale blue at the bottom.
  gradient1_ = new TGradient(this);
  gradient1_->SetBeginColor(QColor(0, 128, 128));
  gradient1_->SetEndColor(QColor(202, 238, 255));
  gradient1_->SetDirection(TGradient::fdTopToBottom);
  gradient1_->setGeometry(rect());
}

void SmallWindow::MakeOkButton(QRect bounds) {
  bitBtn1_ = new QPushButton(QIcon(QStringLiteral(":/images/ok-glyph.png")), QStringLiteral("OK"), this);
  bitBtn1_->setGeometry(bounds);
  bitBtn1_->setIconSize(QSize(18, 18));
  bitBtn1_->setDefault(true);
  bitBtn1_->setAutoDefault(true);
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
}

void SmallWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (gradient1_ != nullptr) gradient1_->setGeometry(rect());
}

}  // namespace quillmont
