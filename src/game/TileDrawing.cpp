#include "game/TileDrawing.h"

#include <algorithm>

#include "platform/Pen.h"

namespace quillmont {
namespace {

constexpr Rgb kBlack = MakeRgb(0, 0, 0);
constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr Rgb kGrey = MakeRgb(128, 128, 128);
constexpr Rgb kSelectionRed = MakeRgb(160, 30, 30);

void Line(Pen& pen, int x0, int y0, int x1, int y1) {
  pen.MoveTo(x0, y0);
  pen.LineTo(x1, y1);
}

void Rectangle(Pen& pen, int low, int high) {
  pen.MoveTo(low, low);
  pen.LineTo(low, high);
  pen.LineTo(high, high);
  pen.LineTo(high, low);
  pen.LineTo(low, low);
}

// The marks by colour number, as they lie in the left quarter: column u runs
// from the mark area's left edge towards the centre, row v from 5 above the
// middle row to 5 below it. Every '#' keeps u + |v| <= 8, so no mark touches
// a diagonal, not even at a corner. The other quarters show the same mark
// turned with their quarter.
constexpr int kMarkRows = 11;
constexpr int kMarkColumns = 8;
using MarkPattern = std::array<const char*, kMarkRows>;
constexpr std::array<MarkPattern, 6> kMarks{{
    {"........",  // 1 dot
     "........",
     "........",
     "..###...",
     ".#####..",
     ".#####..",
     ".#####..",
     "..###...",
     "........",
     "........",
     "........"},
    {"........",  // 2 bar, along the tile's edge
     "..###...",
     "..###...",
     "..###...",
     "..###...",
     "..###...",
     "..###...",
     "..###...",
     "..###...",
     "..###...",
     "........"},
    {"........",  // 3 cross
     "...#....",
     "...#....",
     "...#....",
     "...#....",
     "#######.",
     "...#....",
     "...#....",
     "...#....",
     "...#....",
     "........"},
    {"........",  // 4 ring
     "........",
     "..###...",
     ".#...#..",
     "#.....#.",
     "#.....#.",
     "#.....#.",
     ".#...#..",
     "..###...",
     "........",
     "........"},
    {"........",  // 5 triangle, pointing at the centre
     "#.......",
     "##......",
     "###.....",
     "####....",
     "#####...",
     "####....",
     "###.....",
     "##......",
     "#.......",
     "........"},
    {"........",  // 6 two dots, one behind the other
     "........",
     "........",
     "........",
     "###..###",
     "###..###",
     "###..###",
     "........",
     "........",
     "........",
     "........"},
}};

// Pixel (u, v) of a mark in quarter 0 left, 1 top, 2 right, 3 bottom: the
// left quarter's position turned a quarter clockwise per step about the
// tile's centre.
void SetMarkPixel(PixelBuffer& picture, int quarter, int u, int v) {
  constexpr int c = kTileSize / 2;
  int x = kMarkAreaLow + u, y = c + v;
  for (int turn = 0; turn < quarter; ++turn) {
    const int turned = 2 * c - y;
    y = x;
    x = turned;
  }
  if (picture.Contains(x, y)) picture.Set(x, y, kBlack);
}

void DrawMarks(const TPeca& peca, PixelBuffer& picture) {
  for (int quarter = 0; quarter < 4; ++quarter) {
    const int colour = peca.Atributos[static_cast<std::size_t>(quarter)];
    if (colour < 1 || colour > kMaxColors) continue;
    const MarkPattern& mark = kMarks[static_cast<std::size_t>(colour - 1)];
    for (int row = 0; row < kMarkRows; ++row)
      for (int u = 0; u < kMarkColumns; ++u)
        if (mark[static_cast<std::size_t>(row)][u] == '#') SetMarkPixel(picture, quarter, u, row - kMarkRows / 2);
  }
}

}  // namespace

Rgb QuarterLineColour(int colourNumber, int line) {
  const TileColour& c = TabelaCores[static_cast<std::size_t>(std::clamp(colourNumber, 1, 6) - 1)];
  // The step is truncated first and then multiplied, so the innermost line
  // may fall short of the end shade.
  const auto shade = [line](int start, int end) { return start + (line - 1) * ((end - start) / 17); };
  return MakeRgb(shade(c.startRed, c.endRed), shade(c.startGreen, c.endGreen), shade(c.startBlue, c.endBlue));
}

void PaintTile(const TPeca& peca, PixelBuffer& picture, bool symbols) {
  if (picture.Empty()) picture = PixelBuffer(kTileSize, kTileSize);
  Pen pen(picture);

  pen.SetColor(kBlack);
  Rectangle(pen, 0, 38);
  Line(pen, 0, 0, 38, 38);
  Line(pen, 0, 38, 38, 0);

  for (int i = 1; i <= 18; ++i) {
    pen.SetColor(QuarterLineColour(peca.Atributos[0], i));
    Line(pen, i, i + 1, i, 38 - i);  // left
    pen.SetColor(QuarterLineColour(peca.Atributos[1], i));
    Line(pen, i + 1, i, 38 - i, i);  // top
    pen.SetColor(QuarterLineColour(peca.Atributos[2], i));
    Line(pen, 38 - i, i + 1, 38 - i, 38 - i);  // right
    pen.SetColor(QuarterLineColour(peca.Atributos[3], i));
    Line(pen, i + 1, 38 - i, 38 - i, 38 - i);  // bottom
  }

  pen.SetColor(kWhite);
  Line(pen, 1, 1, 37, 1);
  Line(pen, 1, 1, 1, 37);
  pen.SetColor(kGrey);
  pen.LineTo(37, 37);
  pen.LineTo(37, 1);

  if (peca.Estado == kSelecionada) {
    pen.SetColor(kSelectionRed);
    Rectangle(pen, 2, 36);
    Rectangle(pen, 3, 35);
  }
  if (symbols) DrawMarks(peca, picture);
}

}  // namespace quillmont
