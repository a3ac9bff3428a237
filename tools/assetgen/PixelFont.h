#pragma once
// A 5 x 9 pixel font (7 rows above the baseline, 2 below) for the words on
// the toolbar faces, drawn in a bold double stroke.
#include <string>

#include "Raster.h"

namespace assetgen {

int BoldTextWidth(const std::string& text);
constexpr int kTextHeight = 9;
void DrawBoldText(Canvas& canvas, int left, int top, const std::string& text, Colour colour);

}  // namespace assetgen
