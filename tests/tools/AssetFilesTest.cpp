// The generated bitmaps and sounds beside the program, read back byte by
// byte: headers, sizes, a few telling pixels, and sounds that are short,
// audible and click-free.
#include "ExpectedBitmaps.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Read(const std::string& name) {
  std::ifstream in(std::string(QUILLMONT_ASSETS_DIR) + "/" + name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::uint32_t U32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
         static_cast<std::uint8_t>(s[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}
std::uint16_t U16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8);
}
std::int16_t Sample(const std::string& wav, std::size_t at) { return static_cast<std::int16_t>(U16(wav, at)); }

// 0xRRGGBB of pixel (x, y) counted from the top, in a bottom-up 24-bit bitmap.
std::uint32_t Pixel(const std::string& bmp, int x, int y) {
  const int width = static_cast<int>(U32(bmp, 18)), height = static_cast<int>(U32(bmp, 22));
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  const std::size_t at = U32(bmp, 10) + static_cast<std::size_t>((height - 1 - y) * rowBytes + x * 3);
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bmp[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bmp[at + 1])) << 8 | static_cast<std::uint8_t>(bmp[at]);
}

int CountColour(const std::string& bmp, std::uint32_t colour) {
  int n = 0;
  for (int y = 0; y < static_cast<int>(U32(bmp, 22)); ++y)
    for (int x = 0; x < static_cast<int>(U32(bmp, 18)); ++x) n += Pixel(bmp, x, y) == colour;
  return n;
}

TEST(AssetFiles, BitmapsAreUncompressed24BitOfTheirSizes) {
  for (const auto& f : quillmont::testing::kExpectedBitmaps) {
    const std::string bmp = Read(f.name);
    ASSERT_GE(bmp.size(), 54u) << f.name;
    EXPECT_EQ(bmp.substr(0, 2), "BM") << f.name;
    EXPECT_EQ(U32(bmp, 2), bmp.size()) << f.name;
    EXPECT_EQ(U32(bmp, 10), 54u) << f.name;
    EXPECT_EQ(U32(bmp, 14), 40u) << f.name;
    EXPECT_EQ(static_cast<int>(U32(bmp, 18)), f.width) << f.name;
    EXPECT_EQ(static_cast<int>(U32(bmp, 22)), f.height) << f.name;  // positive: bottom-up
    EXPECT_EQ(U16(bmp, 26), 1) << f.name;
    EXPECT_EQ(U16(bmp, 28), 24) << f.name;
    EXPECT_EQ(U32(bmp, 30), 0u) << f.name;  // BI_RGB
    const std::size_t data = static_cast<std::size_t>((f.width * 3 + 3) / 4 * 4 * f.height);
    EXPECT_EQ(U32(bmp, 34), data) << f.name;
    EXPECT_EQ(bmp.size(), 54u + data) << f.name;
  }
}

TEST(AssetFiles, FacesShowTheirWordAndBevel) {
  for (const char* face : {"newgame", "gallery", "rules", "exit"}) {
    const std::string raised = Read(std::string(face) + ".bmp");
    const std::string pressed = Read(std::string("d") + face + ".bmp");
    // Raised faces are lit from the top left, pressed ones from the bottom right.
    EXPECT_EQ(Pixel(raised, 0, 0), 0xFFFFFFu) << face;
    EXPECT_EQ(Pixel(raised, 74, 24), 0x000000u) << face;
    EXPECT_EQ(Pixel(pressed, 0, 0), 0x000000u) << face;
    EXPECT_EQ(Pixel(pressed, 74, 24), 0xFFFFFFu) << face;
    // The word is navy, the same number of pixels on both faces, one pixel
    // further right and down when pressed.
    const int navy = CountColour(raised, 0x000080u);
    EXPECT_GT(navy, 20) << face;
    EXPECT_EQ(CountColour(pressed, 0x000080u), navy) << face;
    for (int y = 2; y < 22; ++y)
      for (int x = 2; x < 72; ++x)
        if (Pixel(raised, x, y) == 0x000080u) {
          EXPECT_EQ(Pixel(pressed, x + 1, y + 1), 0x000080u) << face << " " << x << "," << y;
        }
  }
  // Different words make different faces.
  EXPECT_NE(Read("newgame.bmp"), Read("exit.bmp"));
  EXPECT_NE(Read("gallery.bmp"), Read("rules.bmp"));
}

TEST(AssetFiles, RemovedAndCancelledFacesKeepTheGridLine) {
  for (const char* name : {"ok.bmp", "nok.bmp"}) {
    const std::string bmp = Read(name);
    for (int i = 0; i < 39; ++i) {
      EXPECT_EQ(Pixel(bmp, i, 0), 0u) << name;
      EXPECT_EQ(Pixel(bmp, i, 38), 0u) << name;
      EXPECT_EQ(Pixel(bmp, 0, i), 0u) << name;
      EXPECT_EQ(Pixel(bmp, 38, i), 0u) << name;
    }
  }
  // The check mark is green, the cross red: count strongly tinted pixels.
  const auto tinted = [](const std::string& bmp, int channel) {
    int n = 0;
    for (int y = 5; y < 34; ++y)
      for (int x = 5; x < 34; ++x) {
        const std::uint32_t p = Pixel(bmp, x, y);
        const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        n += channel == 1 ? (g > r + 60 && g > b + 40) : (r > g + 80 && r > b + 80);
      }
    return n;
  };
  EXPECT_GT(tinted(Read("ok.bmp"), 1), 30);
  EXPECT_EQ(tinted(Read("ok.bmp"), 0), 0);
  EXPECT_GT(tinted(Read("nok.bmp"), 0), 30);
  EXPECT_EQ(tinted(Read("nok.bmp"), 1), 0);
}

TEST(AssetFiles, SoundsAreShortAudibleAndDistinct) {
  std::string sounds[3];
  int index = 0;
  for (const char* name : {"acerto.wav", "erro.wav", "fim.wav"}) {
    const std::string wav = Read(name);
    ASSERT_GE(wav.size(), 44u) << name;
    EXPECT_EQ(wav.substr(0, 4), "RIFF") << name;
    EXPECT_EQ(U32(wav, 4), wav.size() - 8) << name;
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ") << name;
    EXPECT_EQ(U32(wav, 16), 16u) << name;
    EXPECT_EQ(U16(wav, 20), 1) << name << ": PCM";
    EXPECT_EQ(U16(wav, 22), 1) << name << ": mono";
    EXPECT_EQ(U32(wav, 24), 22050u) << name;
    EXPECT_EQ(U32(wav, 28), 44100u) << name;
    EXPECT_EQ(U16(wav, 32), 2) << name;
    EXPECT_EQ(U16(wav, 34), 16) << name << ": bits";
    EXPECT_EQ(wav.substr(36, 4), "data") << name;
    const std::uint32_t bytes = U32(wav, 40);
    ASSERT_EQ(wav.size(), 44u + bytes) << name;
    const double seconds = bytes / 2.0 / 22050;
    EXPECT_GT(seconds, 0.2) << name;
    EXPECT_LT(seconds, 1.0) << name;
    int peak = 0;
    for (std::size_t i = 44; i + 1 < wav.size(); i += 2) peak = std::max(peak, std::abs(Sample(wav, i)));
    EXPECT_GT(peak, 10000) << name;
    EXPECT_LT(peak, 32767) << name << ": no clipping";
    // Faded in and out, so playback starts and stops without a click.
    for (std::size_t k = 0; k < 8; ++k) {
      EXPECT_LT(std::abs(Sample(wav, 44 + 2 * k)), 300) << name;
      EXPECT_LT(std::abs(Sample(wav, wav.size() - 2 - 2 * k)), 300) << name;
    }
    sounds[index++] = wav;
  }
  EXPECT_NE(sounds[0], sounds[1]);
  EXPECT_NE(sounds[1], sounds[2]);
  EXPECT_NE(sounds[0], sounds[2]);
}

}  // namespace
