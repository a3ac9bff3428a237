#include "windows/TMensagem.h"

#include <QLabel>

#include "controls/ProgramFont.h"

namespace quillmont {

TMensagem::TMensagem(QWidget* parent) : SmallWindow(QStringLiteral("Quillmont"), QRect(200, 108, 254, 179), parent) {
  label1_ = new QLabel(QStringLiteral("No more moves! Game over!"), Canvas());
  label1_->setGeometry(24, 8, 201, 65);
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setWordWrap(true);
  label1_->setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 24, false));
  QPalette palette = label1_->palette();
  palette.setColor(QPalette::WindowText, QColor(64, 0, 64));
  label1_->setPalette(palette);
  label1_->setAttribute(Qt::WA_TranslucentBackground);

  MakeOkButton(QRect(86, 104, 75, 25));
}

}  // namespace quillmont
