#include "shell/OkButton.h"

#include <QDialog>
#include <QIcon>

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

}  // namespace quillmont
