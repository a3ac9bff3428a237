#pragma once
// A picture as the cell controls hold it: 32-bit pixels, 0x00RRGGBB, row-major.
#include <cstdint>
#include <vector>

namespace quillmont {

using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int red, int green, int blue) {
  return (static_cast<Rgb>(red & 0xFF) << 16) | (static_cast<Rgb>(green & 0xFF) << 8) |
         static_cast<Rgb>(blue & 0xFF);
}
constexpr int RedOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Rgb c) { return static_cast<int>(c & 0xFF); }

class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(int width, int height, Rgb fill = 0)
      : width_(width), height_(height),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Unchecked access: callers stay inside the buffer (the pen clips for them).
  Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, Rgb c) { pixels_[Index(x, y)] = c; }

  const Rgb* Data() const { return pixels_.data(); }
  Rgb* Data() { return pixels_.data(); }

  bool operator==(const PixelBuffer&) const = default;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

}  // namespace quillmont
