#include "shell/OkButton.h"

#include <QDialog>
#include <QIcon>

#include "controls/TGradient.h"

namespace quillmont {

QPushButton* MakeOkButton(QDialog* window, QRect bounds) {
  auto* button = new QPushButton(QIcon(QStringLiteral(":/images/ok-glyph.png")), QStringLiteral("OK"), window);
  button->setGeometry(bounds);
  button->setIconSize(QSize(18, 18));
  button->setDefault(true);
  button->setAutoDefault(true);
  QObject::connect(button, &QPushButton::clicked, window, &QDialog::accept);
  return button;
}

TGradient* MakeDialogGradient(QDialog* window) {
  auto* gradient = new TGradient(window);
  gradient->SetBeginColor(QColor(0, 128, 128));
  gradient->SetEndColor(QColor(202, 238, 255));
  gradient->SetDirection(TGradient::fdTopToBottom);
  return gradient;
}

}  // namespace quillmont
