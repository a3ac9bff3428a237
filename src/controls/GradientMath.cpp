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
  return static_cast<int>(std::nearbyint(253.0 / extent * line + 1));
}

}  // namespace quillmont
