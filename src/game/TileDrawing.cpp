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

}  // namespace

Rgb QuarterLineColour(int colourNumber, int line) {
  const TileColour& c = TabelaCores[static_cast<std::size_t>(std::clamp(colourNumber, 1, 6) - 1)];
  // The step is truncated first and then multiplied, so the innermost line
  // may fall short of the end shade.
  const auto shade = [line](int start, int end) { return start + (line - 1) * ((end - start) / 17); };
  return MakeRgb(shade(c.startRed, c.endRed), shade(c.startGreen, c.endGreen), shade(c.startBlue, c.endBlue));
}

void PaintTile(const TPeca& peca, PixelBuffer& picture) {
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
}

const char* PictureFileForState(std::uint8_t estado) {
  switch (estado) {
    case kRemovida: return "ok.bmp";
    case kCancelada: return "nok.bmp";
    default: return nullptr;
  }
}

}  // namespace quillmont
