#pragma once
// A small RGBA canvas with the few anti-aliased shapes the pictures need.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace assetgen {

struct Colour {
  double r = 0, g = 0, b = 0, a = 1;  // 0..255 channels, alpha 0..1
};

inline Colour Mix(Colour x, Colour y, double t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

class Canvas {
 public:
  Canvas(int width, int height, Colour fill) : w_(width), h_(height), px_(static_cast<std::size_t>(width * height), fill) {}

  int Width() const { return w_; }
  int Height() const { return h_; }
  const Colour& At(int x, int y) const { return px_[static_cast<std::size_t>(y * w_ + x)]; }

  void Set(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<std::size_t>(y * w_ + x)] = c;
  }
  // Paints c over the pixel with the given coverage (0..1).
  void Blend(int x, int y, Colour c, double coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || coverage <= 0) return;
    Colour& d = px_[static_cast<std::size_t>(y * w_ + x)];
    const double a = std::clamp(coverage, 0.0, 1.0) * c.a;
    const double outA = a + d.a * (1 - a);
    if (outA <= 0) return;
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
  }
  void FillRect(int x0, int y0, int x1, int y1, Colour c) {  // inclusive
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y, c);
  }
  void HLine(int x0, int x1, int y, Colour c) { FillRect(x0, y, x1, y, c); }
  void VLine(int x, int y0, int y1, Colour c) { FillRect(x, y0, x, y1, c); }
  // A rectangle's outline: top and left in one colour, then bottom and right
  // in the other, which takes the two far corners.
  void Outline(int x0, int y0, int x1, int y1, Colour topLeft, Colour bottomRight) {
    HLine(x0, x1, y0, topLeft);
    VLine(x0, y0, y1, topLeft);
    HLine(x0, x1, y1, bottomRight);
    VLine(x1, y0, y1, bottomRight);
  }

  // A thick anti-aliased stroke from (ax, ay) to (bx, by), round caps.
  void Stroke(double ax, double ay, double bx, double by, double thickness, Colour c) {
    const int x0 = static_cast<int>(std::floor(std::min(ax, bx) - thickness)), x1 = static_cast<int>(std::ceil(std::max(ax, bx) + thickness));
    const int y0 = static_cast<int>(std::floor(std::min(ay, by) - thickness)), y1 = static_cast<int>(std::ceil(std::max(ay, by) + thickness));
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        const double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
        const double d = std::hypot(px - (ax + t * dx), py - (ay + t * dy));
        Blend(x, y, c, thickness / 2 + 0.5 - d);
      }
  }
  // A filled anti-aliased disc.
  void Disc(double cx, double cy, double radius, Colour c) {
    for (int y = static_cast<int>(cy - radius - 1); y <= static_cast<int>(cy + radius + 1); ++y)
      for (int x = static_cast<int>(cx - radius - 1); x <= static_cast<int>(cx + radius + 1); ++x)
        Blend(x, y, c, radius + 0.5 - std::hypot(x + 0.5 - cx, y + 0.5 - cy));
  }

 private:
  int w_, h_;
  std::vector<Colour> px_;
};

}  // namespace assetgen
