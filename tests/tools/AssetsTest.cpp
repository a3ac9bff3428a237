// The generated pictures and sounds, read back: headers, sizes, a few
// telling pixels, and sounds that are short, audible and click-free.
#include <gtest/gtest.h>

#include <QImage>
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

TEST(Assets, BitmapsAreUncompressed24BitOfTheirSizes) {
  const struct {
    const char* name;
    int width, height;
  } files[] = {{"ok.bmp", 39, 39},       {"nok.bmp", 39, 39},      {"newgame.bmp", 75, 25}, {"dnewgame.bmp", 75, 25},
               {"gallery.bmp", 75, 25},  {"dgallery.bmp", 75, 25}, {"rules.bmp", 75, 25},   {"drules.bmp", 75, 25},
               {"exit.bmp", 75, 25},     {"dexit.bmp", 75, 25}};
  for (const auto& f : files) {
    const std::string bmp = Read(f.name);
    ASSERT_GE(bmp.size(), 54u) << f.name;
    EXPECT_EQ(bmp.substr(0, 2), "BM") << f.name;
    EXPECT_EQ(U32(bmp, 2), bmp.size()) << f.name;
    EXPECT_EQ(static_cast<int>(U32(bmp, 18)), f.width) << f.name;
    EXPECT_EQ(static_cast<int>(U32(bmp, 22)), f.height) << f.name;
    EXPECT_EQ(U16(bmp, 28), 24) << f.name;
    EXPECT_EQ(U32(bmp, 30), 0u) << f.name;
    EXPECT_EQ(bmp.size(), 54u + static_cast<std::size_t>((f.width * 3 + 3) / 4 * 4 * f.height)) << f.name;
    const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(bmp.data()), static_cast<int>(bmp.size()), "BMP");
    EXPECT_EQ(image.size(), QSize(f.width, f.height)) << f.name;
  }
  // Raised faces are lit from the top left, pressed ones from the bottom right;
  // the word is navy.
  const QImage raised(QString(QUILLMONT_ASSETS_DIR) + "/newgame.bmp");
  const QImage pressed(QString(QUILLMONT_ASSETS_DIR) + "/dnewgame.bmp");
  EXPECT_EQ(raised.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(raised.pixel(74, 24) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(pressed.pixel(0, 0) & 0xFFFFFF, 0x000000u);
  int navy = 0;
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 75; ++x) navy += (raised.pixel(x, y) & 0xFFFFFF) == 0x000080u;
  EXPECT_GT(navy, 20);
  // The removed and cancelled faces keep the board's black grid line.
  const QImage ok(QString(QUILLMONT_ASSETS_DIR) + "/ok.bmp");
  EXPECT_EQ(ok.pixel(0, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(ok.pixel(38, 20) & 0xFFFFFF, 0u);
}

TEST(Assets, SoundsAreShortAudibleAndDistinct) {
  std::string previous;
  for (const char* name : {"acerto.wav", "erro.wav", "fim.wav"}) {
    const std::string wav = Read(name);
    ASSERT_GE(wav.size(), 44u) << name;
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U16(wav, 20), 1) << "PCM";
    EXPECT_EQ(U16(wav, 34), 16) << "bits";
    const std::uint32_t rate = U32(wav, 24), bytes = U32(wav, 40);
    EXPECT_EQ(wav.size(), 44u + bytes);
    EXPECT_LT(static_cast<double>(bytes) / 2 / (rate * U16(wav, 22)), 1.0) << name;
    int peak = 0;
    for (std::size_t i = 44; i + 1 < wav.size(); i += 2) peak = std::max(peak, std::abs(static_cast<std::int16_t>(U16(wav, i))));
    EXPECT_GT(peak, 10000) << name;
    EXPECT_LT(std::abs(static_cast<std::int16_t>(U16(wav, 44))), 200) << name;
    EXPECT_LT(std::abs(static_cast<std::int16_t>(U16(wav, wav.size() - 2))), 200) << name;
    EXPECT_NE(wav, previous);
    previous = wav;
  }
}

TEST(Assets, PicturesInsideTheProgram) {
  EXPECT_EQ(QImage(":/images/band.png").size(), QSize(757, 39));
  EXPECT_EQ(QImage(":/images/ok-glyph.png").size(), QSize(18, 18));
  EXPECT_EQ(QImage(":/images/reset-glyph.png").size(), QSize(36, 18));
  const QImage icon(":/images/quillmont.png");
  ASSERT_EQ(icon.size(), QSize(64, 64));
  EXPECT_TRUE(icon.hasAlphaChannel());
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);  // transparent corner
  EXPECT_EQ(qAlpha(QImage(":/images/ok-glyph.png").pixel(0, 0)), 0);
}

}  // namespace
