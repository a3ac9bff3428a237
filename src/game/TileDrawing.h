#pragma once
// The pixels of a tile: four triangular quarters, each a gradient of 18
// one-pixel lines from a strong shade at the edge to a pale one at the
// centre, black border and diagonals, a one-pixel bevel, and for a selected
// tile a dark red frame. With symbols, each quarter also carries a small
// black mark of its colour number, for players who do not see every colour.
#include <array>
#include <cstdint>

#include "game/TPeca.h"
#include "platform/PixelBuffer.h"

namespace quillmont {

constexpr int kTileSize = 39;

struct TileColour {
  int startRed, startGreen, startBlue;
  int endRed, endGreen, endBlue;
};

// By colour number 1..6: yellow, blue, red, green, violet, grey.
constexpr std::array<TileColour, 6> TabelaCores{{
    {251, 231, 12, 253, 254, 199},
    {12, 101, 246, 159, 249, 251},
    {246, 75, 78, 253, 218, 219},
    {12, 166, 109, 167, 235, 210},
    {199, 67, 229, 236, 207, 243},
    {179, 159, 159, 255, 255, 255},
}};

// The shade of gradient line i (1 outermost .. 18 innermost) of a colour.
Rgb QuarterLineColour(int colourNumber, int line);

// Paints the tile of a cell in state 0 or 1 over the picture, which becomes
// 39 x 39 when empty. A 39 x 39 picture keeps nothing of what it showed.
void PaintTile(const TPeca& peca, PixelBuffer& picture, bool symbols = false);

// The marks lie in this square (rings 8 and deeper): the keyboard cursor
// covers rings 4 to 7, the border, bevel and selection frame rings 0 to 3.
constexpr int kMarkAreaLow = 8;
constexpr int kMarkAreaHigh = kTileSize - 1 - kMarkAreaLow;

}  // namespace quillmont
