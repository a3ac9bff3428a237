#pragma once
// The game-over message for a result that does not enter the best players.
#include <QDialog>

class QLabel;
class QPushButton;

namespace quillmont {

class TGradient;

class TMensagem : public QDialog {
  Q_OBJECT
 public:
  explicit TMensagem(QWidget* parent = nullptr);

  QLabel* Label1() const { return label1_; }
  QPushButton* BitBtn1() const { return bitBtn1_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  TGradient* gradient1_ = nullptr;
  QLabel* label1_ = nullptr;
  QPushButton* bitBtn1_ = nullptr;
};

}  // namespace quillmont
