#pragma once
// Every picture of the program, drawn by code.
#include <string>

#include "Raster.h"

namespace assetgen {

Canvas RemovedTile();    // "ok.bmp"
Canvas CancelledTile();  // "nok.bmp"
Canvas ToolbarFace(const std::string& word, bool pressed);
Canvas BottomBand();     // 757 x 39
Canvas OkGlyph();        // 18 x 18
Canvas ResetGlyph();     // 36 x 18: normal, disabled
Canvas ApplicationIcon(int size);

}  // namespace assetgen
