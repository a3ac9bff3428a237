// The controls' less travelled paths: repaints, mirrored directions, mouse
// pass-through, the floating and disabled looks, accelerators that must not
// fire, and the gauge's empty range.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include "controls/ProgramFont.h"
#include "controls/TGauge.h"
#include "controls/TGradient.h"
#include "controls/TLabel3D.h"

namespace quillmont {
namespace {

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

int CountOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += At(image, x, y) == colour ? 1 : 0;
  return count;
}

QPoint LastOf(const QImage& image, QRgb colour) {
  QPoint last(-1, -1);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (At(image, x, y) == colour) last = QPoint(std::max(last.x(), x), std::max(last.y(), y));
  return last;
}

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class ClickRecorder : public QWidget {
 public:
  int presses = 0;
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

TEST(TGradientEdges, SameDirectionRepaintsAndPaintingNeverRebuilds) {
  QWidget window;
  window.resize(120, 120);
  TGradient gradient(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  PaintCounter counter;
  gradient.installEventFilter(&counter);
  QApplication::processEvents();
  const int paintsBefore = counter.paints;
  const int builds = gradient.PaletteBuilds();
  gradient.SetDirection(gradient.Direction());
  QApplication::processEvents();
  EXPECT_GT(counter.paints, paintsBefore);
  EXPECT_EQ(gradient.PaletteBuilds(), builds + 1);
  gradient.grab();
  gradient.repaint();
  EXPECT_EQ(gradient.PaletteBuilds(), builds + 1);  // painting uses the palette as it stands
}

TEST(TGradientEdges, RightToLeftMirrorsLeftToRightAndWhiteStartsThePalette) {
  TGradient gradient;
  gradient.SetBeginColor(QColor(255, 255, 255));
  gradient.SetEndColor(QColor(0, 0, 0));
  EXPECT_EQ(gradient.Palette()[0], MakeRgb(255, 255, 255));
  gradient.SetDirection(TGradient::fdLeftToRight);
  const QImage across = gradient.grab().toImage();
  gradient.SetDirection(TGradient::fdRightToLeft);
  const QImage back = gradient.grab().toImage();
  EXPECT_EQ(At(across, 0, 5), 0xFEFEFEu);     // entry 1: the exact begin colour is never drawn
  EXPECT_EQ(At(back, 99, 5), 0xFBFBFBu);      // entry 4 at x = 100 - 1
  EXPECT_EQ(At(back, 0, 60), 0x010101u);      // entry 254 at x = 100 - 100
  for (int x = 1; x < 100; ++x) EXPECT_EQ(At(back, x, 7), At(across, 100 - x, 7)) << x;
  // Every column is one colour from top to bottom.
  for (int y = 0; y < 100; ++y) ASSERT_EQ(At(back, 42, y), At(back, 42, 0));
}

TEST(TGradientEdges, MouseGoesToTheControlBehind) {
  ClickRecorder window;
  window.resize(200, 200);
  TGradient gradient(&window);
  gradient.resize(200, 200);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(window.presses, 1);
}

TEST(TLabel3DEdges, FloatingFaceCoversTheHighlightAndDisabledFaceTurnsGrey) {
  QWidget parent;
  TLabel3D label(&parent);
  QFont font = ProgramFont(40, true);
  font.setStyleStrategy(QFont::NoAntialias);
  label.SetFont(font, QColor(0, 128, 192));
  label.SetColor(QColor(10, 200, 10));
  label.SetCaption("H");
  label.SetStyle(LabelStyle::lsFloating);
  const QImage floating = label.grab().toImage();
  EXPECT_EQ(CountOf(floating, 0xFFFFFF), 0);  // white highlight hidden under the black face
  EXPECT_GT(CountOf(floating, 0x000000), 0);
  EXPECT_EQ(LastOf(floating, 0x808080) - LastOf(floating, 0x000000), QPoint(5, 5));

  // A style set again changes nothing, colours set after it stay.
  label.SetColorShadow(QColor(200, 0, 0));
  label.SetStyle(LabelStyle::lsFloating);
  EXPECT_EQ(label.ColorShadow(), QColor(200, 0, 0));

  label.SetStyle(LabelStyle::lsRaised);
  const QColor disabled = label.palette().color(QPalette::Disabled, QPalette::WindowText);
  label.setEnabled(false);
  const QImage grey = label.grab().toImage();
  const QRgb face = disabled.rgb() & 0xFFFFFF;
  ASSERT_NE(face, 0xFFFFFFu);
  ASSERT_NE(face, 0x000000u);
  EXPECT_GT(CountOf(grey, face), 0);
  EXPECT_EQ(CountOf(grey, 0x808080), 0);  // the font colour is not used
  EXPECT_EQ(LastOf(grey, 0x000000) - LastOf(grey, face), QPoint(1, 1));
  EXPECT_GT(CountOf(grey, 0xFFFFFF), 0);
}

TEST(TLabel3DEdges, AmpersandAloneAndWrappedAutoSize) {
  QWidget parent;
  TLabel3D hidden(&parent);
  hidden.SetColor(QColor(10, 200, 10));
  hidden.SetCaption("&");
  const QFontMetrics metrics(hidden.font());
  EXPECT_EQ(hidden.width(), metrics.horizontalAdvance(' ') + 2);  // measured as one space
  EXPECT_EQ(CountOf(hidden.grab().toImage(), 0x0AC80A), hidden.width() * hidden.height());  // nothing drawn

  TLabel3D literal(&parent);
  literal.SetColor(QColor(10, 200, 10));
  literal.SetShowAccelChar(false);
  literal.SetCaption("&");
  const QImage image = literal.grab().toImage();
  EXPECT_LT(CountOf(image, 0x0AC80A), image.width() * image.height());  // the "&" is drawn
  TLabel3D doubled(&parent);
  doubled.SetCaption("&&");  // one "&" drawn with ShowAccelChar on
  EXPECT_EQ(literal.size(), doubled.size());
  EXPECT_GT(literal.width(), hidden.width());

  // With WordWrap the fitted height holds every line broken at the width.
  TLabel3D wrapped(&parent);
  wrapped.SetAutoSize(false);
  wrapped.resize(50, 10);
  wrapped.SetWordWrap(true);
  wrapped.SetCaption("alpha beta gamma delta");
  wrapped.SetAutoSize(true);
  EXPECT_GE(wrapped.height(), 3 * metrics.lineSpacing());
  EXPECT_LE(wrapped.width(), 52);
}

TEST(TLabel3DEdges, AcceleratorNeedsShowAccelCharAnEnabledLabelAndALiveControl) {
  QWidget window;
  window.resize(300, 200);
  QLineEdit other(&window);
  auto* edit = new QLineEdit(&window);
  edit->move(0, 40);
  TLabel3D label(&window);
  label.move(0, 100);
  label.SetCaption("&Kind");
  label.SetFocusControl(edit);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  other.setFocus();

  label.SetShowAccelChar(false);
  QTest::keyClick(&other, Qt::Key_K, Qt::AltModifier);
  EXPECT_TRUE(other.hasFocus());

  label.SetShowAccelChar(true);
  label.setEnabled(false);
  QTest::keyClick(&other, Qt::Key_K, Qt::AltModifier);
  EXPECT_TRUE(other.hasFocus());

  label.setEnabled(true);
  QTest::keyClick(&other, Qt::Key_K, Qt::AltModifier);
  EXPECT_TRUE(edit->hasFocus());

  other.setFocus();
  delete edit;  // the label forgets its companion
  EXPECT_EQ(label.FocusControl(), nullptr);
  QTest::keyClick(&other, Qt::Key_K, Qt::AltModifier);
  EXPECT_TRUE(other.hasFocus());
}

TEST(TGaugeEdges, EmptyRangeFullBarAndShrinkingMaximum) {
  TGauge gauge;
  gauge.resize(209, 25);
  gauge.SetForeColor(QColor(0, 128, 192));
  gauge.SetBackColor(QColor(138, 217, 255));
  gauge.SetMaxValue(0);
  gauge.SetProgress(10);
  EXPECT_EQ(gauge.Progress(), 0);
  EXPECT_EQ(gauge.Percent(), 0);
  EXPECT_EQ(CountOf(gauge.grab().toImage(), 0x8AD9FF), 209 * 25);

  gauge.SetMaxValue(260);
  const int requests = gauge.RepaintRequests();
  gauge.SetProgress(260);
  EXPECT_EQ(gauge.RepaintRequests(), requests + 1);
  EXPECT_EQ(CountOf(gauge.grab().toImage(), 0x0080C0), 209 * 25);
  gauge.SetMaxValue(100);  // progress follows the smaller maximum, still 100 %
  EXPECT_EQ(gauge.Progress(), 100);
  EXPECT_EQ(gauge.RepaintRequests(), requests + 1);
  gauge.SetProgress(99);
  const QImage almost = gauge.grab().toImage();
  EXPECT_EQ(At(almost, 205, 3), 0x0080C0u);  // 209 * 99 / 100 = 206 columns, 0 to 205
  EXPECT_EQ(At(almost, 206, 3), 0x8AD9FFu);
}

}  // namespace
}  // namespace quillmont

namespace quillmont {
namespace {

TEST(TLabel3DEdges, OpaqueLabelFollowsItsParentsColourUntilGivenItsOwn) {
  QWidget parent;
  TLabel3D label(&parent);
  label.SetCaption("x");
  QPalette palette = parent.palette();
  palette.setColor(QPalette::Window, QColor(20, 30, 40));
  parent.setPalette(palette);  // set after the label was made
  EXPECT_EQ(At(label.grab().toImage(), 0, 0), 0x141E28u);
  label.SetColor(QColor(1, 2, 3));
  EXPECT_EQ(At(label.grab().toImage(), 0, 0), 0x010203u);
}

}  // namespace
}  // namespace quillmont
