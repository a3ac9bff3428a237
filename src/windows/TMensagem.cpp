#include "windows/TMensagem.h"

#include <QLabel>

#include "controls/ProgramFont.h"

namespace quillmont {

TMensagem::TMensagem(QWidget* parent) : SmallWindow(QStringLiteral("Quillmont"), QRect(200, 108, 254, 179), parent) {
  messageLabel_ = new QLabel(QStringLiteral("No more moves! Game over!"), Canvas());
  messageLabel_->setGeometry(24, 8, 201, 65);
  messageLabel_->setAlignment(Qt::AlignCenter);
  messageLabel_->setWordWrap(true);
  messageLabel_->setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 24, false));
  QPalette palette = messageLabel_->palette();
  palette.setColor(QPalette::WindowText, QColor(64, 0, 64));
  messageLabel_->setPalette(palette);
  messageLabel_->setAttribute(Qt::WA_TranslucentBackground);

  MakeOkButton(QRect(86, 104, 75, 25));
}

}  // namespace quillmont
