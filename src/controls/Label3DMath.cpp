#include "controls/Label3DMath.h"

namespace quillmont {

LabelLook StylePreset(LabelStyle style, Rgb currentColorHigh) {
  constexpr Rgb white = MakeRgb(255, 255, 255), black = MakeRgb(0, 0, 0), grey = MakeRgb(128, 128, 128);
  switch (style) {
    case LabelStyle::lsLowered: return {1, 1, black, white, grey};
    case LabelStyle::lsFloating: return {0, 5, currentColorHigh, grey, black};
    case LabelStyle::lsRaised:
    default: return {1, 1, white, black, grey};
  }
}

}  // namespace quillmont
