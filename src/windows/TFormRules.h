#pragma once
// The rules window. Its text can be edited, and the edits last for the run.
#include "windows/SmallWindow.h"

class QPlainTextEdit;

namespace quillmont {

class TFormRules : public SmallWindow {
  Q_OBJECT
 public:
  explicit TFormRules(QWidget* parent = nullptr);

  // The toolbar's Rules action: caption and text in view, shown modally.
  void ShowRules();

  QPlainTextEdit* RulesBox() const { return rulesBox_; }

 private:
  QPlainTextEdit* rulesBox_ = nullptr;
};

}  // namespace quillmont
