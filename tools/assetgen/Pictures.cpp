#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "PixelFont.h"

namespace assetgen {
namespace {

const Colour kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{128, 128, 128}, kSilver{192, 192, 192};
const Colour kNavy{0, 0, 128}, kTeal{0, 128, 128};
const Colour kClear{255, 255, 255, 0};

// A cell that has left play: a flat recess with the board's black grid line
// round it, a soft inner shadow top-left and light bottom-right.
Canvas Recess(Colour face, Colour shade) {
  Canvas c(39, 39, face);
  for (int y = 1; y <= 37; ++y)
    for (int x = 1; x <= 37; ++x) {
      // A gentle diagonal sheen keeps the flat face from looking dead.
      const double t = (x + y) / 74.0;
      c.Set(x, y, Mix(face, kWhite, 0.25 * t));
    }
  c.Outline(0, 0, 38, 38, kBlack, kBlack);
  c.Outline(1, 1, 37, 37, shade, kWhite);
  c.HLine(2, 36, 2, Mix(shade, face, 0.5));
  c.VLine(2, 2, 36, Mix(shade, face, 0.5));
  return c;
}

// A filled triangle, anti-aliased by sampling each pixel 4 x 4 times.
void FillTriangle(Canvas& c, double ax, double ay, double bx, double by, double cx, double cy, Colour ink) {
  const auto side = [](double x0, double y0, double x1, double y1, double x, double y) {
    return (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0);
  };
  const int x0 = static_cast<int>(std::floor(std::min({ax, bx, cx}))), x1 = static_cast<int>(std::ceil(std::max({ax, bx, cx})));
  const int y0 = static_cast<int>(std::floor(std::min({ay, by, cy}))), y1 = static_cast<int>(std::ceil(std::max({ay, by, cy})));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
          const double d1 = side(ax, ay, bx, by, px, py), d2 = side(bx, by, cx, cy, px, py), d3 = side(cx, cy, ax, ay, px, py);
          inside += (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
        }
      c.Blend(x, y, ink, inside / 16.0);
    }
}

}  // namespace

Canvas RemovedTile() {
  Canvas c = Recess({222, 238, 228}, {150, 170, 160});
  const Colour green{46, 160, 87};
  c.Stroke(11.5, 20.5, 17, 26, 3.2, green);
  c.Stroke(17, 26, 28, 13, 3.2, green);
  return c;
}

Canvas CancelledTile() {
  Canvas c = Recess({238, 224, 226}, {172, 150, 152});
  const Colour red{176, 38, 46};
  c.Stroke(13, 13, 26, 26, 3.2, red);
  c.Stroke(26, 13, 13, 26, 3.2, red);
  return c;
}

Canvas ToolbarFace(const std::string& word, bool pressed) {
  Canvas c(75, 25, kSilver);
  // A faint vertical sheen on the silver.
  for (int y = 0; y < 25; ++y) c.HLine(0, 74, y, Mix({206, 206, 206}, {184, 184, 184}, y / 24.0));
  const Colour outerLight = pressed ? kBlack : kWhite, outerDark = pressed ? kWhite : kBlack;
  const Colour innerLight = pressed ? kGrey : Colour{223, 223, 223}, innerDark = pressed ? Colour{223, 223, 223} : kGrey;
  c.Outline(0, 0, 74, 24, outerLight, outerDark);
  c.Outline(1, 1, 73, 23, innerLight, innerDark);
  const int shift = pressed ? 1 : 0;
  const int left = (75 - BoldTextWidth(word)) / 2 + shift;
  DrawBoldText(c, left, 8 + shift, word, kNavy);
  return c;
}

Canvas BottomBand() {
  Canvas c(757, 39, kWhite);
  const Colour light{178, 222, 222}, mid{64, 168, 168};
  c.HLine(0, 756, 3, mid);
  c.HLine(0, 756, 35, mid);
  c.HLine(0, 756, 5, light);
  c.HLine(0, 756, 33, light);
  for (int i = 0; i * 38 < 757 + 38; ++i) {
    const double cx = 19 + i * 38, cy = 19;
    // A quill-like leaf: a diamond of four strokes with a teal heart.
    c.Stroke(cx - 11, cy, cx, cy - 10, 1.6, kTeal);
    c.Stroke(cx, cy - 10, cx + 11, cy, 1.6, kTeal);
    c.Stroke(cx + 11, cy, cx, cy + 10, 1.6, kTeal);
    c.Stroke(cx, cy + 10, cx - 11, cy, 1.6, kTeal);
    c.Disc(cx, cy, 4.2, mid);
    c.Disc(cx, cy, 1.8, kWhite);
    c.Disc(cx + 19, cy, 1.7, light);  // between two ornaments
  }
  return c;
}

Canvas OkGlyph() {
  Canvas c(18, 18, kClear);
  const Colour green{0, 140, 40};
  c.Stroke(3, 9.5, 7, 13.5, 2.6, green);
  c.Stroke(7, 13.5, 15, 4.5, 2.6, green);
  return c;
}

Canvas ResetGlyph() {
  Canvas c(36, 18, kClear);
  for (int half = 0; half < 2; ++half) {
    const Colour ink = half == 0 ? Colour{0, 100, 140} : Colour{150, 150, 150};
    const double ox = half * 18 + 9, oy = 9.5, r = 5.3;
    // A clockwise arc round the right, bottom and left, open at the top.
    const double from = -0.25 * std::numbers::pi, to = 1.15 * std::numbers::pi;
    double px = ox + r * std::cos(from), py = oy + r * std::sin(from);
    for (int i = 1; i <= 40; ++i) {
      const double a = from + (to - from) * i / 40;
      const double x = ox + r * std::cos(a), y = oy + r * std::sin(a);
      c.Stroke(px, py, x, y, 2.1, ink);
      px = x;
      py = y;
    }
    // A filled head at the arc's end, pointing on along the arc.
    const double tx = -std::sin(to), ty = std::cos(to);  // along the arc
    const double nx = std::cos(to), ny = std::sin(to);   // away from the centre
    FillTriangle(c, px + 3.2 * nx, py + 3.2 * ny, px - 3.2 * nx, py - 3.2 * ny, px + 4.2 * tx, py + 4.2 * ty, ink);
  }
  return c;
}

Canvas ApplicationIcon(int size) {
  Canvas c(size, size, kClear);
  const Colour starts[4] = {{251, 231, 12}, {12, 101, 246}, {246, 75, 78}, {12, 166, 109}};
  const Colour ends[4] = {{253, 254, 199}, {159, 249, 251}, {253, 218, 219}, {167, 235, 210}};
  const double m = size / 16.0;  // margin
  const double lo = m, hi = size - m, mid = size / 2.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      if (px < lo || px > hi || py < lo || py > hi) continue;
      const double dl = px - lo, dt = py - lo, dr = hi - px, db = hi - py;
      const double nearest = std::min({dl, dt, dr, db});
      const int quarter = nearest == dl ? 0 : nearest == dt ? 1 : nearest == dr ? 2 : 3;
      const double depth = nearest / (mid - lo);
      c.Set(x, y, Mix(starts[quarter], ends[quarter], std::clamp(depth * 0.9, 0.0, 1.0)));
    }
  const double line = std::max(1.5, size / 28.0);
  c.Stroke(lo, lo, hi, hi, line, kBlack);
  c.Stroke(lo, hi, hi, lo, line, kBlack);
  c.Stroke(lo, lo, hi, lo, line * 1.4, kBlack);
  c.Stroke(hi, lo, hi, hi, line * 1.4, kBlack);
  c.Stroke(hi, hi, lo, hi, line * 1.4, kBlack);
  c.Stroke(lo, hi, lo, lo, line * 1.4, kBlack);
  return c;
}

}  // namespace assetgen
