// The pixels of a tile, read straight from its picture.
#include <gtest/gtest.h>

#include "game/TileDrawing.h"

namespace quillmont {
namespace {

TPeca Tile(int left, int top, int right, int bottom, std::uint8_t estado = kNoTabuleiro) {
  TPeca p;
  p.Atributos = {left, top, right, bottom};
  p.Estado = estado;
  return p;
}

PixelBuffer Painted(const TPeca& p) {
  PixelBuffer picture;
  PaintTile(p, picture);
  return picture;
}

TEST(TileDrawing, LineTwoAndLineEighteenShadesOfEveryColour) {
  const Rgb line2[6] = {MakeRgb(251, 232, 23),  MakeRgb(20, 109, 246), MakeRgb(246, 83, 86),
                        MakeRgb(21, 170, 114),  MakeRgb(201, 75, 229), MakeRgb(183, 164, 164)};
  const Rgb line18[6] = {MakeRgb(251, 248, 199), MakeRgb(148, 237, 246), MakeRgb(246, 211, 214),
                         MakeRgb(165, 234, 194), MakeRgb(233, 203, 229), MakeRgb(247, 244, 244)};
  for (int c = 1; c <= 6; ++c) {
    EXPECT_EQ(QuarterLineColour(c, 2), line2[c - 1]) << c;
    EXPECT_EQ(QuarterLineColour(c, 18), line18[c - 1]) << c;
    const PixelBuffer p = Painted(Tile(c, c, c, c));
    EXPECT_EQ(p.At(2, 10), line2[c - 1]) << c;    // left quarter, line 2
    EXPECT_EQ(p.At(18, 19), line18[c - 1]) << c;  // the single pixel of left line 18
    EXPECT_EQ(p.At(19, 18), line18[c - 1]) << c;  // top
    EXPECT_EQ(p.At(20, 19), line18[c - 1]) << c;  // right
    EXPECT_EQ(p.At(19, 20), line18[c - 1]) << c;  // bottom
  }
}

TEST(TileDrawing, BorderDiagonalsAndBevel) {
  const PixelBuffer p = Painted(Tile(1, 2, 3, 4));
  ASSERT_EQ(p.Width(), 39);
  ASSERT_EQ(p.Height(), 39);
  const Rgb black = MakeRgb(0, 0, 0), white = MakeRgb(255, 255, 255), grey = MakeRgb(128, 128, 128);
  EXPECT_EQ(p.At(19, 19), black);
  EXPECT_EQ(p.At(1, 1), white);
  EXPECT_EQ(p.At(37, 37), grey);
  EXPECT_EQ(p.At(1, 37), grey);
  EXPECT_EQ(p.At(37, 1), black);
  for (int k = 0; k <= 38; ++k) {
    EXPECT_EQ(p.At(k, 0), black);
    EXPECT_EQ(p.At(k, 38), black);
    EXPECT_EQ(p.At(0, k), black);
    EXPECT_EQ(p.At(38, k), black);
  }
  for (int k = 2; k <= 36; ++k) {
    EXPECT_EQ(p.At(k, k), black) << k;
    EXPECT_EQ(p.At(k, 38 - k), black) << k;
  }
  // Each quarter shows its own colour.
  EXPECT_EQ(p.At(2, 19), QuarterLineColour(1, 2));
  EXPECT_EQ(p.At(19, 2), QuarterLineColour(2, 2));
  EXPECT_EQ(p.At(36, 19), QuarterLineColour(3, 2));
  EXPECT_EQ(p.At(19, 36), QuarterLineColour(4, 2));
  // Four equal colours still show the black diagonals between quarters.
  const PixelBuffer same = Painted(Tile(5, 5, 5, 5));
  EXPECT_EQ(same.At(10, 10), black);
  EXPECT_EQ(same.At(10, 28), black);
}

TEST(TileDrawing, SelectionFrameAndDeselection) {
  PixelBuffer picture;
  TPeca tile = Tile(2, 3, 4, 5, kSelecionada);
  PaintTile(tile, picture);
  const Rgb red = MakeRgb(160, 30, 30);
  EXPECT_EQ(picture.At(2, 2), red);
  EXPECT_EQ(picture.At(36, 36), red);
  EXPECT_EQ(picture.At(3, 20), red);
  EXPECT_EQ(picture.At(35, 20), red);
  EXPECT_EQ(picture.At(1, 20), MakeRgb(255, 255, 255));
  EXPECT_EQ(picture.At(4, 20), QuarterLineColour(2, 4));
  tile.Estado = kNoTabuleiro;
  PaintTile(tile, picture);
  EXPECT_EQ(picture, Painted(Tile(2, 3, 4, 5)));
  // A state above 3 is drawn like state 0.
  EXPECT_EQ(Painted(Tile(2, 3, 4, 5, 7)), Painted(Tile(2, 3, 4, 5)));
}

TEST(TileDrawing, PaintingOverAnOldPictureLeavesNothingOfIt) {
  PixelBuffer picture(39, 39, MakeRgb(1, 2, 3));
  PaintTile(Tile(6, 1, 2, 3), picture);
  EXPECT_EQ(picture, Painted(Tile(6, 1, 2, 3)));
  // A smaller picture is painted as far as it reaches.
  PixelBuffer small(20, 20, MakeRgb(1, 2, 3));
  PaintTile(Tile(6, 1, 2, 3), small);
  EXPECT_EQ(small.Width(), 20);
  EXPECT_EQ(small.At(19, 19), MakeRgb(0, 0, 0));
}

TEST(TileDrawing, LeftPlayStatesNameTheirPictures) {
  EXPECT_STREQ(PictureFileForState(kRemovida), "ok.bmp");
  EXPECT_STREQ(PictureFileForState(kCancelada), "nok.bmp");
  EXPECT_EQ(PictureFileForState(kNoTabuleiro), nullptr);
  EXPECT_EQ(PictureFileForState(kSelecionada), nullptr);
}

}  // namespace
}  // namespace quillmont
