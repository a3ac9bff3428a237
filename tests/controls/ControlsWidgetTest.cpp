// The controls as widgets: what they paint, pixel for pixel, and what their
// setters trigger.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include "controls/ProgramFont.h"
#include "controls/TGauge.h"
#include "controls/TGradient.h"
#include "controls/TLabel3D.h"

namespace quillmont {
namespace {

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(TGradient, RowsOfTheBlueToBlackCaseInBothDirections) {
  TGradient gradient;
  gradient.resize(100, 100);
  QImage down = gradient.grab().toImage();
  EXPECT_EQ(Pixel(down, 0, 0), 0x0000FEu);
  EXPECT_EQ(Pixel(down, 50, 50), 0x00007Fu);
  EXPECT_EQ(Pixel(down, 99, 99), 0x000004u);
  const int rows[] = {0, 1, 2, 49, 50, 51, 98, 99};
  const int entries[] = {1, 4, 6, 125, 128, 130, 249, 251};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(Pixel(down, 37, rows[i]), static_cast<QRgb>(255 - entries[i])) << rows[i];
  }
  gradient.SetDirection(TGradient::fdBottomToTop);
  QImage up = gradient.grab().toImage();
  EXPECT_EQ(Pixel(up, 10, 99), static_cast<QRgb>(255 - 4));    // i = 1
  EXPECT_EQ(Pixel(up, 10, 0), static_cast<QRgb>(255 - 254));   // i = 100
  // Mirror images shifted by one row: row y going up is row 100 - y going down.
  for (int y = 1; y < 100; ++y) EXPECT_EQ(Pixel(up, 0, y), Pixel(down, 0, 100 - y)) << y;

  gradient.SetDirection(TGradient::fdLeftToRight);
  QImage across = gradient.grab().toImage();
  EXPECT_EQ(Pixel(across, 50, 3), 0x00007Fu);
  EXPECT_EQ(Pixel(across, 0, 90), 0x0000FEu);
}

TEST(TGradient, SettersAlwaysRebuild) {
  TGradient gradient;
  const int builds = gradient.PaletteBuilds();
  gradient.SetDirection(gradient.Direction());
  gradient.SetBeginColor(gradient.BeginColor());
  EXPECT_EQ(gradient.PaletteBuilds(), builds + 2);
  gradient.SetBeginColor(QColor(255, 255, 255));
  EXPECT_EQ(gradient.Palette()[0], MakeRgb(255, 255, 255));
}

// Leftmost and topmost pixel of a colour in an image.
QPoint FirstOf(const QImage& image, QRgb colour) {
  int left = image.width(), top = image.height();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Pixel(image, x, y) == colour) {
        left = std::min(left, x);
        top = std::min(top, y);
      }
  return {left, top};
}

// Rightmost and bottommost pixel of a colour.
QPoint LastOf(const QImage& image, QRgb colour) {
  int right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Pixel(image, x, y) == colour) {
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      }
  return {right, bottom};
}

// Each layer covers the one before, so the highlight shows at the top left
// of the text and the shadow at its bottom right.
TEST(TLabel3D, LayersLieAtTheirDepths) {
  QWidget parent;
  parent.resize(300, 100);
  TLabel3D label(&parent);
  label.SetFont(ProgramFont(40, true), QColor(0, 128, 192));
  label.SetColor(QColor(10, 200, 10));
  label.SetCaption("I");
  const QImage image = label.grab().toImage();
  EXPECT_EQ(FirstOf(image, 0x0080C0) - FirstOf(image, 0xFFFFFF), QPoint(1, 1));
  EXPECT_EQ(LastOf(image, 0x000000) - LastOf(image, 0x0080C0), QPoint(1, 1));
  EXPECT_EQ(Pixel(image, 0, 0), 0x0AC80Au);  // opaque: its own colour behind the text

  label.SetStyle(LabelStyle::lsLowered);
  const QImage lowered = label.grab().toImage();
  EXPECT_EQ(LastOf(lowered, 0xFFFFFF) - LastOf(lowered, 0x808080), QPoint(1, 1));  // white is the shadow now
  EXPECT_EQ(FirstOf(lowered, 0x808080) - FirstOf(lowered, 0x000000), QPoint(1, 1));

  const QSize raisedSize = label.size();
  label.SetStyle(LabelStyle::lsFloating);
  EXPECT_EQ(label.DepthHigh(), 0);
  EXPECT_EQ(label.DepthShadow(), 5);
  EXPECT_EQ(label.FontColor(), QColor(0, 0, 0));
  EXPECT_EQ(label.size(), raisedSize + QSize(3, 3));  // 0 + 5 instead of 1 + 1
}

TEST(TLabel3D, SizingDepthsAndAccelerators) {
  QWidget window;
  window.resize(400, 200);
  TLabel3D label(&window);
  EXPECT_EQ(label.size(), QSize(0, 0));
  label.SetCaption("");
  label.SetCaption("x");
  label.SetCaption("");
  const QFontMetrics metrics(label.font());
  EXPECT_EQ(label.width(), metrics.horizontalAdvance(' ') + 2);
  EXPECT_EQ(label.height(), metrics.height() + 2);

  label.SetDepthHigh(-3);
  EXPECT_EQ(label.DepthHigh(), 0);

  // Right-aligned: a longer caption grows to the left.
  label.SetAlignment(Qt::AlignRight);
  label.move(200, 10);
  label.SetCaption("short");
  const int right = label.x() + label.width();
  label.SetCaption("a much longer caption");
  EXPECT_EQ(label.x() + label.width(), right);
  label.SetFont(ProgramFont(30, false), QColor(1, 2, 3));
  EXPECT_EQ(label.x() + label.width(), right);

  // "&" with ShowAccelChar off is text; on, it marks Alt+N for FocusControl.
  TLabel3D amp(&window);
  amp.SetShowAccelChar(false);
  amp.SetCaption("&&");
  TLabel3D shown(&window);
  shown.SetCaption("&&");
  EXPECT_GT(amp.width(), shown.width());

  QLineEdit edit(&window);
  edit.move(0, 150);
  TLabel3D name(&window);
  name.SetCaption("&Name");
  name.SetFocusControl(&edit);
  window.show();
  QApplication::setActiveWindow(&window);
  QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
  EXPECT_TRUE(edit.hasFocus());

  const QString longCaption(300, QChar('w'));
  TLabel3D cut(&window);
  cut.SetCaption(longCaption);
  TLabel3D exact(&window);
  exact.SetCaption(longCaption.left(255));
  EXPECT_EQ(cut.width(), exact.width());
}

TEST(TLabel3D, BreaksLinesWithoutWordWrapAndShowsThroughWhenTransparent) {
  QWidget parent;
  parent.resize(200, 200);
  parent.setAutoFillBackground(true);
  QPalette palette = parent.palette();
  palette.setColor(QPalette::Window, QColor(200, 10, 10));
  parent.setPalette(palette);
  TLabel3D label(&parent);
  label.SetAutoSize(false);
  label.setGeometry(0, 0, 60, 120);
  label.SetFont(ProgramFont(16, false), QColor(0, 0, 255));
  label.SetCaption("one two three four");
  const QImage image = label.grab().toImage();
  int lastBlueRow = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Pixel(image, x, y) == 0x0000FF) lastBlueRow = y;
  EXPECT_GT(lastBlueRow, 40);  // more than two lines of 16 pixels
  label.SetTransparent(true);
  const QImage through = parent.grab(label.geometry()).toImage();
  EXPECT_EQ(Pixel(through, 59, 119), 0xC80A0Au);
}

TEST(TGauge, FillsItsPercentAndRepaintsOnlyOnChange) {
  TGauge gauge;
  gauge.resize(209, 25);
  gauge.SetForeColor(QColor(0, 128, 192));
  gauge.SetBackColor(QColor(138, 217, 255));
  gauge.SetMaxValue(260);
  gauge.SetProgress(130);
  const QImage half = gauge.grab().toImage();
  EXPECT_EQ(Pixel(half, 103, 12), 0x0080C0u);
  EXPECT_EQ(Pixel(half, 104, 12), 0x8AD9FFu);
  const int requests = gauge.RepaintRequests();
  gauge.SetProgress(131);  // still 50 %
  EXPECT_EQ(gauge.RepaintRequests(), requests);
  gauge.SetProgress(133);
  EXPECT_EQ(gauge.RepaintRequests(), requests + 1);
  gauge.SetProgress(5000);
  EXPECT_EQ(gauge.Progress(), 260);
  gauge.SetProgress(-4);
  EXPECT_EQ(gauge.Progress(), 0);
  EXPECT_EQ(Pixel(gauge.grab().toImage(), 0, 0), 0x8AD9FFu);
}

}  // namespace
}  // namespace quillmont
