// The pixels of a tile, read straight from its picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>

#include "game/TileDrawing.h"

namespace quillmont {
namespace {

TPeca Tile(int left, int top, int right, int bottom, std::uint8_t estado = kNoTabuleiro) {
  TPeca p;
  p.Atributos = {left, top, right, bottom};
  p.Estado = estado;
  return p;
}

PixelBuffer Painted(const TPeca& p, bool symbols = false) {
  PixelBuffer picture;
  PaintTile(p, picture, symbols);
  return picture;
}

// The quarter of a 39 x 39 tile that pixel (x, y) lies in: 0 left, 1 top,
// 2 right, 3 bottom; -1 on a diagonal or touching one, corners included.
int QuarterOf(int x, int y) {
  const int d1 = y - x, d2 = 38 - x - y;
  if (std::abs(d1) < 3 || std::abs(d2) < 3) return -1;
  if (d1 > 0) return d2 > 0 ? 0 : 3;
  return d2 > 0 ? 1 : 2;
}

// A shade of grey, by the weights qGray uses: what a player who tells no
// colour apart sees.
int Grey(Rgb c) { return (RedOf(c) * 11 + GreenOf(c) * 16 + BlueOf(c) * 5) / 32; }

using Pixels = std::set<std::pair<int, int>>;

// The pixels of one quarter where the two pictures differ.
Pixels Differing(const PixelBuffer& a, const PixelBuffer& b, int quarter) {
  Pixels pixels;
  for (int y = 0; y < kTileSize; ++y)
    for (int x = 0; x < kTileSize; ++x)
      if (a.At(x, y) != b.At(x, y) && QuarterOf(x, y) == quarter) pixels.emplace(x, y);
  return pixels;
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
  PaintTile(Tile(6, 1, 2, 3), small, true);
  EXPECT_EQ(small.Width(), 20);
  EXPECT_EQ(small.At(19, 19), MakeRgb(0, 0, 0));
}

// FNV-1a over the pixels of every tile a deal can make, plain and selected.
std::uint64_t AllTilesHash(bool symbols) {
  std::uint64_t hash = 14695981039346656037ull;
  for (int code = 0; code < 6 * 6 * 6 * 6; ++code)
    for (const std::uint8_t estado : {kNoTabuleiro, kSelecionada}) {
      const PixelBuffer p =
          Painted(Tile(code % 6 + 1, code / 6 % 6 + 1, code / 36 % 6 + 1, code / 216 + 1, estado), symbols);
      for (int i = 0; i < p.Width() * p.Height(); ++i) hash = (hash ^ p.Data()[i]) * 1099511628211ull;
    }
  return hash;
}

TEST(TileDrawing, WithoutSymbolsEveryPixelIsAsBeforeThereWereAny) {
  EXPECT_EQ(AllTilesHash(false), 0x0617d4b375a90395u);  // taken before the marks existed
  EXPECT_NE(AllTilesHash(true), 0x0617d4b375a90395u);
}

TEST(TileDrawing, SymbolsMarkEachQuarterByItsColourInsideTheAreaTheCursorLeavesFree) {
  std::array<std::array<Pixels, 4>, 7> marks;  // by colour and quarter, off tiles of one colour
  for (int c = 1; c <= 6; ++c) {
    const PixelBuffer plain = Painted(Tile(c, c, c, c)), marked = Painted(Tile(c, c, c, c), true);
    for (int y = 0; y < kTileSize; ++y)
      for (int x = 0; x < kTileSize; ++x)
        if (plain.At(x, y) != marked.At(x, y)) {
          EXPECT_EQ(marked.At(x, y), MakeRgb(0, 0, 0)) << c << " at " << x << "," << y;
          // Inside a quarter, clear of the diagonals, and off the cursor's rings.
          EXPECT_TRUE(QuarterOf(x, y) >= 0 && std::min({x, y, 38 - x, 38 - y}) >= kMarkAreaLow) << x << "," << y;
        }
    for (int q = 0; q < 4; ++q) {
      marks[c][q] = Differing(plain, marked, q);
      EXPECT_GE(marks[c][q].size(), 15u) << c << " in quarter " << q;
    }
  }
  // Any two marks differ in 15 pixels or more; in grey, tiles that differ in
  // one quarter differ there in 15 pixels by a third of the scale or more.
  for (int a = 1; a <= 6; ++a)
    for (int b = a + 1; b <= 6; ++b)
      for (int q = 0; q < 4; ++q) {
        const Pixels& one = marks[a][q];
        const Pixels& two = marks[b][q];
        const auto shared = std::count_if(one.begin(), one.end(), [&two](const auto& p) { return two.count(p) > 0; });
        EXPECT_GE(one.size() + two.size() - 2 * static_cast<std::size_t>(shared), 15u) << a << " and " << b;
        TPeca first = Tile(1, 2, 3, 4), second = first;
        first.Atributos[q] = a;
        second.Atributos[q] = b;
        const PixelBuffer p1 = Painted(first, true), p2 = Painted(second, true);
        int clear = 0;
        for (int y = 0; y < kTileSize; ++y)
          for (int x = 0; x < kTileSize; ++x) clear += std::abs(Grey(p1.At(x, y)) - Grey(p2.At(x, y))) >= 85;
        EXPECT_GE(clear, 15) << a << " and " << b << " in grey, quarter " << q;
      }
  // On a tile of four colours, selected or not, each quarter carries its own.
  for (const std::uint8_t estado : {kNoTabuleiro, kSelecionada}) {
    const TPeca mixed = Tile(5, 2, 6, 3, estado);
    for (int q = 0; q < 4; ++q)
      EXPECT_EQ(Differing(Painted(mixed), Painted(mixed, true), q), marks[mixed.Atributos[q]][q]) << q;
  }
}

}  // namespace
}  // namespace quillmont
