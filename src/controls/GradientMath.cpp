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
  // Worked out in extended precision: in plain double 253 / 100 * 50 falls
  // just short of the half and row 50 of a 100-pixel gradient would round down.
  return static_cast<int>(std::nearbyint(253.0L / extent * line + 1));
}

}  // namespace quillmont
