#pragma once
// The arithmetic of the gradient fill, apart from any widget: the 255
// palette entries between two colours and which entry each line uses.
#include <array>

#include "platform/PixelBuffer.h"

namespace quillmont {

using GradientPalette = std::array<Rgb, 255>;

// Entry k = round(b + k * (e - b) / 255) per channel; entry 0 is the begin
// colour, the end colour itself (k = 255) is never reached.
GradientPalette BuildGradientPalette(Rgb begin, Rgb end);

// The entry of line `line` (0..extent) for a control `extent` pixels long:
// round(253 / extent * line + 1), halves to even. extent > 0, line >= 0.
int GradientIndex(int line, int extent);

}  // namespace quillmont
