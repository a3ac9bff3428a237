#pragma once
// The game-over message for a result that does not enter the best players.
#include "windows/SmallWindow.h"

class QLabel;

namespace quillmont {

class TMensagem : public SmallWindow {
  Q_OBJECT
 public:
  explicit TMensagem(QWidget* parent = nullptr);

  QLabel* Label1() const { return label1_; }

 private:
  QLabel* label1_ = nullptr;
};

}  // namespace quillmont
