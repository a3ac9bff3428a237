#pragma once
// The Bonus Bar's arithmetic: progress held within 0..maximum, the whole
// percentage it shows (truncated) and the width of its filled part.
#include <algorithm>

namespace quillmont {

constexpr int ClampProgress(int progress, int maximum) { return std::clamp(progress, 0, std::max(maximum, 0)); }
constexpr int GaugePercent(int progress, int maximum) {
  return maximum <= 0 ? 0 : static_cast<int>(100LL * ClampProgress(progress, maximum) / maximum);
}
constexpr int GaugeFilledWidth(int percent, int width) { return width * percent / 100; }

}  // namespace quillmont
