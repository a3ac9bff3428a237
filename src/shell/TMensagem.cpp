#include "shell/TMensagem.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include "controls/ProgramFont.h"
#include "controls/TGradient.h"
#include "shell/OkButton.h"

namespace quillmont {

TMensagem::TMensagem(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Quillmont"));
  setModal(true);
  resize(254, 179);
  move(200, 108);  // the frame where its bounds put it, not centred

  gradient1_ = MakeDialogGradient(this);

  label1_ = new QLabel(QStringLiteral("No more moves! Game over!"), this);
  label1_->setGeometry(24, 8, 201, 65);
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setWordWrap(true);
  label1_->setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 24, false));
  QPalette palette = label1_->palette();
  palette.setColor(QPalette::WindowText, QColor(64, 0, 64));
  label1_->setPalette(palette);
  label1_->setAttribute(Qt::WA_TranslucentBackground);

  bitBtn1_ = MakeOkButton(this, QRect(86, 104, 75, 25));
}

void TMensagem::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // Nothing to fit until the constructor has made the background.
  if (gradient1_ != nullptr) gradient1_->setGeometry(rect());
}

}  // namespace quillmont
