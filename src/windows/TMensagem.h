#pragma once
// The game-over message for a result that does not enter the best players.
#include "windows/SmallWindow.h"

class QLabel;

namespace quillmont {

class TMensagem : public SmallWindow {
  Q_OBJECT
 public:
  explicit TMensagem(QWidget* parent = nullptr);

  QLabel* MessageLabel() const { return messageLabel_; }

 private:
  QLabel* messageLabel_ = nullptr;
};

}  // namespace quillmont
