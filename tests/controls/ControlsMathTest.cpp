// The controls' arithmetic without any widget: palette entries, line
// indices, the gauge's percentage and the label's fitted bounds.
#include <gtest/gtest.h>

#include "controls/GaugeMath.h"
#include "controls/GradientMath.h"
#include "controls/Label3DMath.h"

namespace quillmont {
namespace {

TEST(GradientMath, PaletteRunsFromBeginTowardsEnd) {
  const GradientPalette blue = BuildGradientPalette(MakeRgb(0, 0, 255), MakeRgb(0, 0, 0));
  EXPECT_EQ(blue[0], MakeRgb(0, 0, 255));
  EXPECT_EQ(blue[1], MakeRgb(0, 0, 254));
  EXPECT_EQ(blue[128], MakeRgb(0, 0, 127));
  EXPECT_EQ(blue[251], MakeRgb(0, 0, 4));
  EXPECT_EQ(blue[254], MakeRgb(0, 0, 1));  // the end colour itself is never reached

  // Each channel on its own, rounded to nearest: 10 + 100 * 245 / 255 = 106.08.
  const GradientPalette mixed = BuildGradientPalette(MakeRgb(10, 200, 0), MakeRgb(255, 0, 128));
  EXPECT_EQ(mixed[100], MakeRgb(106, 122, 50));

  for (Rgb begin : {MakeRgb(255, 255, 255), MakeRgb(0, 0, 0), MakeRgb(1, 2, 3), MakeRgb(255, 0, 127)}) {
    for (Rgb end : {MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), MakeRgb(90, 91, 92)}) {
      EXPECT_EQ(BuildGradientPalette(begin, end)[0], begin);
    }
  }
}

TEST(GradientMath, LineIndexRoundsHalvesToEven) {
  const int rows[] = {0, 1, 2, 49, 50, 51, 98, 99, 100};
  const int entries[] = {1, 4, 6, 125, 128, 130, 249, 251, 254};
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(GradientIndex(rows[i], 100), entries[i]) << rows[i];
  // 253 / 2 * 1 + 1 = 127.5 -> 128; 253 / 4 * 2 + 1 = 127.5 -> 128; 253 / 6 * 3 + 1 = 127.5.
  EXPECT_EQ(GradientIndex(1, 2), 128);
  EXPECT_EQ(GradientIndex(2, 4), 128);
  // 253 / 10 * 5 + 1 = 127.5 too, and 253 / 20 * 2 + 1 = 26.3.
  EXPECT_EQ(GradientIndex(5, 10), 128);
  EXPECT_EQ(GradientIndex(2, 20), 26);
  // 253 / 506 * 1 + 1 = 1.5 -> 2; 253 / 506 * 3 + 1 = 2.5 -> 2.
  EXPECT_EQ(GradientIndex(1, 506), 2);
  EXPECT_EQ(GradientIndex(3, 506), 2);
  // Every line of every extent stays inside the palette's used range 1..254.
  for (int extent = 1; extent <= 700; ++extent) {
    for (int line = 0; line <= extent; ++line) {
      const int k = GradientIndex(line, extent);
      ASSERT_GE(k, 1);
      ASSERT_LE(k, 254);
    }
  }
}

TEST(GaugeMath, PercentIsTruncatedAndProgressHeldInRange) {
  EXPECT_EQ(GaugePercent(130, 260), 50);
  EXPECT_EQ(GaugePercent(259, 260), 99);
  EXPECT_EQ(GaugePercent(2, 260), 0);
  EXPECT_EQ(GaugePercent(3, 260), 1);
  EXPECT_EQ(GaugePercent(5, 0), 0);
  EXPECT_EQ(GaugePercent(2'000'000'000, 2'000'000'000), 100);  // no overflow
  EXPECT_EQ(GaugeFilledWidth(50, 209), 104);
  EXPECT_EQ(GaugeFilledWidth(100, 209), 209);
  EXPECT_EQ(ClampProgress(-4, 260), 0);
  EXPECT_EQ(ClampProgress(300, 260), 260);
  EXPECT_EQ(ClampProgress(7, -1), 0);
}

TEST(Label3DMath, LayersPresetsAndFittedBounds) {
  const LayerOffsets raised = LayerOffsetsFor(1, 1);
  EXPECT_EQ(raised.highlight, 0);
  EXPECT_EQ(raised.face, 1);
  EXPECT_EQ(raised.shadow, 2);
  const LayerOffsets floating = LayerOffsetsFor(0, 5);
  EXPECT_EQ(floating.face, 0);
  EXPECT_EQ(floating.shadow, 5);

  const Rgb white = MakeRgb(255, 255, 255), black = 0, grey = MakeRgb(128, 128, 128);
  const LabelLook lowered = StylePreset(LabelStyle::lsLowered, MakeRgb(9, 9, 9));
  EXPECT_EQ(lowered.colorHigh, black);
  EXPECT_EQ(lowered.colorShadow, white);
  EXPECT_EQ(lowered.fontColor, grey);
  const LabelLook afloat = StylePreset(LabelStyle::lsFloating, MakeRgb(9, 9, 9));
  EXPECT_EQ(afloat.depthHigh, 0);
  EXPECT_EQ(afloat.depthShadow, 5);
  EXPECT_EQ(afloat.colorHigh, MakeRgb(9, 9, 9));
  EXPECT_EQ(afloat.colorShadow, grey);
  EXPECT_EQ(afloat.fontColor, black);
  const LabelLook up = StylePreset(LabelStyle::lsRaised, MakeRgb(9, 9, 9));
  EXPECT_EQ(up.colorHigh, white);
  EXPECT_EQ(up.colorShadow, black);

  const FitResult left = FitLabelBounds(176, 89, false, 80, 24, 1, 1);
  EXPECT_EQ(left.left, 176);
  EXPECT_EQ(left.width, 82);
  EXPECT_EQ(left.height, 26);
  const FitResult right = FitLabelBounds(100, 50, true, 70, 10, 0, 5);
  EXPECT_EQ(right.left + right.width, 150);
  EXPECT_EQ(right.width, 75);
  EXPECT_EQ(right.height, 15);
}

}  // namespace
}  // namespace quillmont
