// screen_tiles SCREENSHOT: finds every tile still on the board in a
// screenshot by the tile's own pixels and prints one line per tile,
//   x y left top right bottom
// with (x, y) the tile's top-left pixel and the four quarters' colours as
// rrggbb, sampled on the fifth gradient line of each quarter. Equal tiles
// print equal colours. Plain C++: reads the X window dump of "xwd -root" at
// 24 or 32 bits per pixel, which is quick enough to take many times a second.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 39;

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  unsigned Pixel(int x, int y) const {
    const std::size_t i = 3 * (static_cast<std::size_t>(y) * width + x);
    return rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
  }
};

// The header is 25 big-endian words; the pixels follow the header and the
// colour map, in the byte order the header names.
bool ReadXwd(const std::string& bytes, Image& image) {
  const auto word = [&bytes](std::size_t at) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
    return static_cast<std::uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
  };
  if (bytes.size() < 100 || word(4) != 7 || word(8) != 2) return false;  // version 7, ZPixmap
  const std::uint32_t headerSize = word(0), width = word(16), height = word(20), msbFirst = word(28);
  const std::uint32_t bitsPerPixel = word(44), bytesPerLine = word(48), ncolors = word(76);
  if (word(56) != 0xFF0000 || word(60) != 0xFF00 || word(64) != 0xFF || (bitsPerPixel != 32 && bitsPerPixel != 24)) {
    return false;
  }
  const std::size_t start = headerSize + 12ull * ncolors;
  if (bytes.size() < start + static_cast<std::size_t>(bytesPerLine) * height) return false;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.rgb.resize(3ull * width * height);
  const std::size_t step = bitsPerPixel / 8;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + start + y * bytesPerLine + x * step;
      unsigned char* out = &image.rgb[3ull * (y * width + x)];
      for (int c = 0; c < 3; ++c) out[c] = msbFirst ? p[step - 3 + c] : p[2 - c];
    }
  }
  return true;
}

bool ReadScreenshot(const char* path, Image& image) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadXwd(bytes, image);
}

// A tile as painted: black outline and diagonals, white bevel along the top
// and left, grey along the bottom and right, and each quarter one shade along
// every line parallel to its edge.
bool IsTileAt(const Image& im, int x, int y) {
  constexpr unsigned kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080;
  for (int d = 0; d < kSize; d += 19) {
    if (im.Pixel(x + d, y) != kBlack || im.Pixel(x, y + d) != kBlack || im.Pixel(x + 38, y + d) != kBlack ||
        im.Pixel(x + d, y + 38) != kBlack) {
      return false;
    }
  }
  if (im.Pixel(x + 19, y + 19) != kBlack || im.Pixel(x + 10, y + 10) != kBlack || im.Pixel(x + 28, y + 10) != kBlack) {
    return false;
  }
  if (im.Pixel(x + 19, y + 1) != kWhite || im.Pixel(x + 1, y + 19) != kWhite || im.Pixel(x + 19, y + 37) != kGrey ||
      im.Pixel(x + 37, y + 19) != kGrey) {
    return false;
  }
  // Along the fifth line of each quarter the colour does not change.
  const int line = 5;
  for (int t = 8; t <= 30; t += 11) {
    if (im.Pixel(x + t, y + line) != im.Pixel(x + 19, y + line) ||
        im.Pixel(x + line, y + t) != im.Pixel(x + line, y + 19) ||
        im.Pixel(x + 38 - line, y + t) != im.Pixel(x + 38 - line, y + 19) ||
        im.Pixel(x + t, y + 38 - line) != im.Pixel(x + 19, y + 38 - line)) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Image image;
  if (argc != 2 || !ReadScreenshot(argv[1], image)) {
    std::fprintf(stderr, "usage: screen_tiles SCREENSHOT (an xwd dump)\n");
    return 2;
  }
  for (int y = 0; y + kSize <= image.height; ++y) {
    for (int x = 0; x + kSize <= image.width; ++x) {
      if (!IsTileAt(image, x, y)) continue;
      std::printf("%d %d %06x %06x %06x %06x\n", x, y, image.Pixel(x + 5, y + 19), image.Pixel(x + 19, y + 5),
                  image.Pixel(x + 33, y + 19), image.Pixel(x + 19, y + 33));
    }
  }
  return 0;
}
