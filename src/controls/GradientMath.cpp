#include "controls/GradientMath.h"

#include <cmath>

namespace quillmont {

GradientPalette BuildGradientPalette(Rgb begin, Rgb end) {
  GradientPalette palette{};
  const auto channel = [](int b, int e, int k) {
    return static_cast<int>(std::nearbyint(b + k * ((e - b) / 255.0)));
  };
  for (int k = 0; k < 255; ++k) {
    palette[static_cast<std::size_t>(k)] =
        MakeRgb(channel(RedOf(begin), RedOf(end), k), channel(GreenOf(begin), GreenOf(end), k),
                channel(BlueOf(begin), BlueOf(end), k));
  }
  return palette;
}

int GradientIndex(int line, int extent) {
  // Worked out on the exact fraction (253 * line + extent) / extent: in floating
  // point 253 / extent * line can land just beside a true half (in double, row
  // 50 of 100 gives 127.49999... instead of 127.5) and round the wrong way.
  const long long numerator = 253LL * line + extent;
  long long quotient = numerator / extent;
  const long long twiceRest = 2 * (numerator % extent);
  if (twiceRest > extent || (twiceRest == extent && quotient % 2 != 0)) ++quotient;
  return static_cast<int>(quotient);
}

}  // namespace quillmont
