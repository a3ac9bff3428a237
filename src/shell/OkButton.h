#pragma once
// The OK push button of the small windows: the check-mark glyph left of its
// caption, the window's default button, and closing the window with OK.
#include <QPushButton>

class QDialog;

namespace quillmont {

QPushButton* MakeOkButton(QDialog* window, QRect bounds);

class TGradient;
// The small windows' background: teal at the top to pale blue at the bottom.
TGradient* MakeDialogGradient(QDialog* window);

}  // namespace quillmont
