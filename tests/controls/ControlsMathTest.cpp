// The controls' arithmetic without any widget.
#include <gtest/gtest.h>

#include "controls/GaugeMath.h"
#include "controls/GradientMath.h"
#include "controls/Label3DMath.h"

namespace quillmont {
namespace {

TEST(GradientMath, PaletteAndIndexFormula) {
  const GradientPalette blue = BuildGradientPalette(MakeRgb(0, 0, 255), MakeRgb(0, 0, 0));
  const int rows[] = {0, 1, 2, 49, 50, 51, 98, 99};
  const int entries[] = {1, 4, 6, 125, 128, 130, 249, 251};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(GradientIndex(rows[i], 100), entries[i]) << rows[i];
  EXPECT_EQ(blue[1], MakeRgb(0, 0, 254));
  EXPECT_EQ(blue[128], MakeRgb(0, 0, 127));
  EXPECT_EQ(blue[251], MakeRgb(0, 0, 4));
  EXPECT_EQ(GradientIndex(100, 100), 254);
  for (Rgb begin : {MakeRgb(255, 255, 255), MakeRgb(202, 238, 255), MakeRgb(0, 128, 128), MakeRgb(1, 2, 3)}) {
    EXPECT_EQ(BuildGradientPalette(begin, MakeRgb(0, 0, 0))[0], begin);
    EXPECT_EQ(BuildGradientPalette(begin, MakeRgb(255, 0, 255))[0], begin);
  }
}

TEST(GaugeMath, PercentIsTruncatedAndProgressHeld) {
  EXPECT_EQ(GaugePercent(130, 260), 50);
  EXPECT_EQ(GaugeFilledWidth(50, 209), 104);
  EXPECT_EQ(GaugePercent(259, 260), 99);
  EXPECT_EQ(GaugePercent(900, 260), 100);
  EXPECT_EQ(GaugePercent(-5, 260), 0);
  EXPECT_EQ(GaugePercent(5, 0), 0);
  EXPECT_EQ(ClampProgress(300, 260), 260);
}

TEST(Label3DMath, PresetsOffsetsAndFitting) {
  const Rgb white = MakeRgb(255, 255, 255), black = MakeRgb(0, 0, 0), grey = MakeRgb(128, 128, 128);
  const LabelLook raised = StylePreset(LabelStyle::lsRaised, MakeRgb(1, 2, 3));
  EXPECT_EQ(raised.colorHigh, white);
  EXPECT_EQ(raised.colorShadow, black);
  EXPECT_EQ(raised.fontColor, grey);
  const LabelLook lowered = StylePreset(LabelStyle::lsLowered, MakeRgb(1, 2, 3));
  EXPECT_EQ(lowered.colorHigh, black);
  EXPECT_EQ(lowered.colorShadow, white);
  const LabelLook floating = StylePreset(LabelStyle::lsFloating, MakeRgb(1, 2, 3));
  EXPECT_EQ(floating.depthHigh, 0);
  EXPECT_EQ(floating.depthShadow, 5);
  EXPECT_EQ(floating.colorHigh, MakeRgb(1, 2, 3));
  EXPECT_EQ(floating.fontColor, black);
  const LayerOffsets o = LayerOffsetsFor(1, 1);
  EXPECT_EQ(o.highlight, 0);
  EXPECT_EQ(o.face, 1);
  EXPECT_EQ(o.shadow, 2);
  const FitResult right = FitLabelBounds(100, 50, true, 60, 20, 1, 1);
  EXPECT_EQ(right.left + right.width, 150);
  EXPECT_EQ(right.height, 22);
  EXPECT_EQ(FitLabelBounds(100, 50, false, 60, 20, 0, 5).left, 100);
}

}  // namespace
}  // namespace quillmont
