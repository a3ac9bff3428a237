#pragma once
// Reading a tile's quarters off its pixels, as a player who sees no colour
// would: which quarter a pixel lies in, and its shade of grey.
#include <cstdlib>

#include "platform/PixelBuffer.h"

namespace quillmont::testing {

// The quarter of a 39 x 39 tile that pixel (x, y) lies in: 0 left, 1 top,
// 2 right, 3 bottom; -1 on a diagonal or touching one, corners included.
inline int QuarterOf(int x, int y) {
  const int d1 = y - x, d2 = 38 - x - y;
  if (std::abs(d1) < 3 || std::abs(d2) < 3) return -1;
  if (d1 > 0) return d2 > 0 ? 0 : 3;
  return d2 > 0 ? 1 : 2;
}

// The weights qGray uses.
inline int Grey(Rgb c) { return (RedOf(c) * 11 + GreenOf(c) * 16 + BlueOf(c) * 5) / 32; }

}  // namespace quillmont::testing
