#pragma once
// The OK push button of the small windows: the check-mark glyph left of its
// caption, the window's default button, and closing the window with OK.
#include <QPushButton>

class QDialog;

namespace quillmont {

QPushButton* MakeOkButton(QDialog* window, QRect bounds);

}  // namespace quillmont
