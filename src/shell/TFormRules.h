#pragma once
// The rules window. Its text can be edited, and the edits last for the run.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace quillmont {

class TGradient;

class TFormRules : public QDialog {
  Q_OBJECT
 public:
  explicit TFormRules(QWidget* parent = nullptr);

  // The toolbar's Rules action: caption and text in view, shown modally.
  void ShowRules();

  QPlainTextEdit* Memo1() const { return memo1_; }
  QPushButton* BitBtn1() const { return bitBtn1_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  TGradient* gradient1_ = nullptr;
  QPlainTextEdit* memo1_ = nullptr;
  QPushButton* bitBtn1_ = nullptr;
};

}  // namespace quillmont
