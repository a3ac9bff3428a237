#pragma once
// An image control: shows its picture unscaled from the top-left corner, cut
// to the control's size. On a scaled screen every device pixel takes the
// picture pixel under its centre, without smoothing, so tiles and faces stay
// crisp and fill their controls at whole and fractional factors alike.
#include <QWidget>

#include "platform/PixelBuffer.h"

namespace quillmont {

class PictureControl : public QWidget {
  Q_OBJECT
 public:
  PictureControl(QWidget* parent, int index);

  // Which control this is among its siblings: the cell index (0..159) for
  // the board, the button's slot for the toolbar.
  int Index() const { return index_; }

  PixelBuffer& Picture() { return picture_; }
  const PixelBuffer& Picture() const { return picture_; }
  void SetPicture(PixelBuffer picture);
  // Call after drawing into Picture().
  void PictureChanged() { update(); }

 signals:
  void MousePressed(quillmont::PictureControl* sender, Qt::MouseButton button);
  void MouseReleased(quillmont::PictureControl* sender, Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int index_;
  PixelBuffer picture_;
};

}  // namespace quillmont
