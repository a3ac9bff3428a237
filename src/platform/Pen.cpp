#include "platform/Pen.h"

#include <algorithm>
#include <cstdlib>

namespace quillmont {

void Pen::LineTo(int x, int y) {
  const int dx = x - x_;
  const int dy = y - y_;
  const int steps = std::max(std::abs(dx), std::abs(dy));
  // Integer stepping: exact for the axis-parallel and diagonal lines the
  // program draws, and a reasonable line for anything else.
  for (int i = 0; i < steps; ++i) {
    const int px = x_ + (dx * i) / steps;
    const int py = y_ + (dy * i) / steps;
    if (target_.Contains(px, py)) target_.Set(px, py, color_);
  }
  x_ = x;
  y_ = y;
}

}  // namespace quillmont
