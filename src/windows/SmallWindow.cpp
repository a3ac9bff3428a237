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
  background_ = new TGradient(canvas_);
  background_->SetBeginColor(QColor(0, 128, 128));
  background_->SetEndColor(QColor(202, 238, 255));
  background_->SetDirection(TGradient::fdTopToBottom);
  canvas_->onResize = [this] { background_->setGeometry(canvas_->rect()); };
}

QWidget* SmallWindow::Canvas() const { return canvas_; }

void SmallWindow::MakeOkButton(QRect bounds) {
  okButton_ = new QPushButton(QIcon(QStringLiteral(":/images/ok-glyph.png")), QStringLiteral("OK"), canvas_);
  okButton_->setGeometry(bounds);
  okButton_->setIconSize(QSize(18, 18));
  okButton_->setDefault(true);
  okButton_->setAutoDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillmont
