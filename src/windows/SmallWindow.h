#pragma once
// The small modal windows (the game-over message, the rules): a caption, a
// place of their own, an OK button and a gradient background that follows
// their size. Their controls sit on a canvas that scrolls on a small screen.
#include <QDialog>

class QPushButton;

namespace quillmont {

class TGradient;
class WindowCanvas;

class SmallWindow : public QDialog {
  Q_OBJECT
 public:
  // frame: where the window goes and its size; not centred over the owner.
  SmallWindow(const QString& caption, QRect frame, QWidget* parent);

  QPushButton* OkButton() const { return okButton_; }

 protected:
  // Where the controls go.
  QWidget* Canvas() const;
  // The OK push button: the check-mark glyph left of its caption, the
  // window's default button, closing the window with OK.
  void MakeOkButton(QRect bounds);

 private:
  WindowCanvas* canvas_ = nullptr;
  TGradient* background_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace quillmont
