#pragma once
// The three-dimensional label's arithmetic: style presets, where each of its
// three text layers goes, and the bounds that fit its text.
#include "platform/PixelBuffer.h"

namespace quillmont {

enum class LabelStyle { lsRaised, lsLowered, lsFloating };

struct LabelLook {
  int depthHigh, depthShadow;
  Rgb colorHigh, colorShadow, fontColor;
};

// The preset a style change applies; the floating style keeps ColorHigh.
LabelLook StylePreset(LabelStyle style, Rgb currentColorHigh);

struct LayerOffsets {
  int highlight, face, shadow;  // the same in x and y
};
constexpr LayerOffsets LayerOffsetsFor(int depthHigh, int depthShadow) {
  return {0, depthHigh, depthHigh + depthShadow};
}

struct FitResult {
  int left, width, height;
};
// The size that holds a text extent and both depths; a right-aligned label
// keeps its right edge.
constexpr FitResult FitLabelBounds(int oldLeft, int oldWidth, bool rightAligned, int textWidth, int textHeight,
                                   int depthHigh, int depthShadow) {
  const int width = textWidth + depthHigh + depthShadow;
  const int height = textHeight + depthHigh + depthShadow;
  return {rightAligned ? oldLeft + oldWidth - width : oldLeft, width, height};
}

}  // namespace quillmont
