// The generated pictures as the toolkit sees them: the bitmaps beside the
// program decode, and the pictures compiled into it load from resources.
#include "ExpectedBitmaps.h"
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstdlib>

namespace {

TEST(Assets, BitmapsDecodeToTheirSizes) {
  for (const auto& f : quillmont::testing::kExpectedBitmaps) {
    const QImage image(QString(QUILLMONT_ASSETS_DIR) + "/" + f.name);
    EXPECT_EQ(image.size(), QSize(f.width, f.height)) << f.name;
  }
  const QImage raised(QString(QUILLMONT_ASSETS_DIR) + "/newgame.bmp");
  EXPECT_EQ(raised.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(raised.pixel(74, 24) & 0xFFFFFF, 0x000000u);
}

TEST(Assets, PicturesInsideTheProgram) {
  EXPECT_EQ(QImage(":/images/band.png").size(), QSize(757, 39));
  const QImage ok(":/images/ok-glyph.png");
  ASSERT_EQ(ok.size(), QSize(18, 18));
  EXPECT_EQ(qAlpha(ok.pixel(0, 0)), 0);  // transparent background
  EXPECT_EQ(QImage(":/images/reset-glyph.png").size(), QSize(36, 18));
  const QImage icon(":/images/quillmont.png");
  ASSERT_EQ(icon.size(), QSize(64, 64));
  EXPECT_TRUE(icon.hasAlphaChannel());
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);  // transparent corner
  // The four quarters: yellow left, blue top, red right, green bottom.
  const auto near = [](QRgb p, int r, int g, int b) {
    return std::abs(qRed(p) - r) < 40 && std::abs(qGreen(p) - g) < 40 && std::abs(qBlue(p) - b) < 40;
  };
  EXPECT_TRUE(near(icon.pixel(8, 32), 251, 231, 12));
  EXPECT_TRUE(near(icon.pixel(32, 8), 12, 101, 246));
  EXPECT_TRUE(near(icon.pixel(55, 32), 246, 75, 78));
  EXPECT_TRUE(near(icon.pixel(32, 55), 12, 166, 109));
}

}  // namespace
