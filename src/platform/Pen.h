#pragma once
// A pen with the line rules the tile drawing counts pixels by: a line from P
// to Q covers P and not Q. Horizontal, vertical and 45-degree lines only are
// exact; anything else is stepped along its longer axis. Pixels outside the
// buffer are clipped.
#include "platform/PixelBuffer.h"

namespace quillmont {

class Pen {
 public:
  explicit Pen(PixelBuffer& target) : target_(target) {}

  void SetColor(Rgb color) { color_ = color; }
  void MoveTo(int x, int y) { x_ = x; y_ = y; }
  void LineTo(int x, int y);

 private:
  PixelBuffer& target_;
  Rgb color_ = 0;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace quillmont
