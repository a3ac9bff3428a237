// At every scale factor, whole or fractional, each device pixel of a picture
// control shows the picture pixel under its centre, with no smoothing: the
// tiles of the real board meet without gaps, and a click anywhere in a
// cell's square picks that cell. On a screen smaller than the windows at the
// factor, every window stays on the screen and every control can be reached.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cmath>

#include "MainWindowHarness.h"
#include "controls/WindowCanvas.h"
#include "game/TileDrawing.h"
#include "records/TGallery.h"
#include "shell/PictureControl.h"
#include "shell/TFormRules.h"
#include "shell/TMensagem.h"

namespace quillmont::testing {
namespace {

// The 1x picture pixel under the centre of device pixel i.
int Source(int i, qreal ratio) { return static_cast<int>(std::floor((i + 0.5) / ratio)); }

TEST(HighDpi, PicturesFillTheirControlsPixelForPixel) {
  const qreal ratio = qApp->devicePixelRatio();
  ASSERT_DOUBLE_EQ(ratio, std::atof(QUILLMONT_TEST_SCALE));
  TPeca peca;
  peca.Atributos = {1, 2, 3, 4};
  peca.Estado = kSelecionada;
  PixelBuffer picture;
  PaintTile(peca, picture);
  PictureControl control(nullptr, 0);
  control.resize(kTileSize, kTileSize);
  control.SetPicture(picture);
  const QImage alone = control.grab().toImage();
  // The device pixels whose centres lie inside the control.
  const int inside = static_cast<int>(std::ceil(kTileSize * ratio - 0.5));
  ASSERT_GE(alone.width(), inside);
  ASSERT_GE(alone.height(), inside);
  int wrong = 0;
  for (int y = 0; y < inside; ++y)
    for (int x = 0; x < inside; ++x)
      wrong += (alone.pixel(x, y) & 0xFFFFFFu) != picture.At(Source(x, ratio), Source(y, ratio));
  EXPECT_EQ(wrong, 0);

  // The whole board: the tiles as they lie at 1x (38 apart, each over its
  // left and upper neighbour's last pixel), sampled at every device pixel.
  MainWindowHarness h;
  TFormGame& form = h.Start();
  const Game& game = form.Jogo();
  const int x0 = 1 + (game.ColIni() - 1) * 38, y0 = 1 + (game.LinIni() - 1) * 38;
  const int x1 = 1 + (game.ColFim() - 1) * 38 + kTileSize, y1 = 1 + (game.LinFim() - 1) * 38 + kTileSize;
  PixelBuffer board(x1, y1);
  for (int k = 0; k < 160; ++k) {
    const PictureControl* cell = form.Image(k);
    if (!cell->isVisible()) continue;
    for (int y = 0; y < kTileSize; ++y)
      for (int x = 0; x < kTileSize; ++x) board.Set(cell->x() + x, cell->y() + y, cell->Picture().At(x, y));
  }
  const QImage shot = form.Panel7()->grab().toImage();
  wrong = 0;
  for (int y = static_cast<int>(std::ceil(y0 * ratio)); y < static_cast<int>(std::floor(y1 * ratio)); ++y)
    for (int x = static_cast<int>(std::ceil(x0 * ratio)); x < static_cast<int>(std::floor(x1 * ratio)); ++x)
      wrong += (shot.pixel(x, y) & 0xFFFFFFu) != board.At(Source(x, ratio), Source(y, ratio));
  EXPECT_EQ(wrong, 0);

  // A click in the lower right corner of a cell's square reaches that cell.
  PictureControl* cell = form.Image(IndicePeca(5, 3));
  QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(37, 37));
  EXPECT_EQ(game.Peca(5, 3).Estado, kSelecionada);
}

// The window lies within the screen's available area, and the widget shows
// whole in it: no ancestor, the scrolling canvas's viewport included, cuts
// any of it off.
::testing::AssertionResult InReach(QWidget* widget) {
  QWidget* window = widget->window();
  const QRect screen = window->screen()->availableGeometry();
  if (!screen.adjusted(-1, -1, 1, 1).contains(window->frameGeometry())) {  // logical pixels round
    QRect f = window->frameGeometry(), g = window->geometry();
    return ::testing::AssertionFailure() << window->windowTitle().toStdString() << " leaves the screen " << f.x() << " " << f.y() << " " << f.width() << " " << f.height() << " g " << g.x() << " " << g.y() << " " << g.width() << " " << g.height() << " s " << screen.width() << " " << screen.height();
  }
  QRect area = widget->rect();
  for (QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
    area.translate(w->pos());
    if (!w->parentWidget()->rect().contains(area)) return ::testing::AssertionFailure() << "cut off";
  }
  return ::testing::AssertionSuccess();
}

// A click where the widget shows, delivered by its place in the window as a
// pointer's is: it reaches the widget only when nothing hides it.
void ClickWhereItShows(QWidget* widget) {
  QWidget* window = widget->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, widget->rect().center()));
}

// Tab until the widget has the focus, as a keyboard player reaches it.
void TabTo(QWidget* widget) {
  for (int i = 0; i < 20 && QApplication::focusWidget() != widget; ++i) PressKey(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), widget);
}

TEST(HighDpi, OnASmallScreenEveryWindowFitsAndEveryControlCanBeReached) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nBoard=2\n");
  TFormGame& form = h.Start();
  const QRect screen = form.screen()->availableGeometry();
  ASSERT_TRUE(screen.width() < 783 || screen.height() < 562) << "the window's design fits this screen";
  EXPECT_TRUE(InReach(&form));
  form.showMaximized();
  QApplication::processEvents();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

  // Every tile of the big board, by the keyboard's cursor: it scrolls the
  // board along, and a click picks the tile where it shows.
  const Game& game = form.Jogo();
  std::pair<int, int> at{game.ColIni(), game.LinIni()};
  for (at.second = game.LinIni(); at.second <= game.LinFim(); ++at.second) {
    const bool right = (at.second - game.LinIni()) % 2 == 0;
    for (int step = game.ColIni(); step <= game.ColFim(); ++step) {
      if (step > game.ColIni()) {
        PressKey(right ? Qt::Key_Right : Qt::Key_Left);
        at.first += right ? 1 : -1;
      }
      EXPECT_TRUE(InReach(form.Image(IndicePeca(at.first, at.second)))) << at.first << "," << at.second;
    }
    if (at.second < game.LinFim()) PressKey(Qt::Key_Down);
  }
  --at.second;
  ClickWhereItShows(form.Image(IndicePeca(at.first, at.second)));
  EXPECT_EQ(game.Peca(at.first, at.second).Estado, kSelecionada);

  // From the far corner, Tab brings each option group, Mute and Symbols into view.
  ScrollIntoView(form.ToolbarImage(0), 0);
  for (int stop = 1; stop <= 5; ++stop) {
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(InReach(QApplication::focusWidget())) << "stop " << stop;
  }
  EXPECT_EQ(QApplication::focusWidget(), form.CheckBox2());
  // The scroll bars bring every choice into view, and a click where it
  // shows takes it.
  for (int g = 1; g <= 3; ++g) {
    for (QAbstractButton* choice : form.RadioGroup(g)->buttons()) {
      ScrollIntoView(choice, 0);
      EXPECT_TRUE(InReach(choice)) << choice->text().toStdString();
      ClickWhereItShows(choice);
      EXPECT_TRUE(choice->isChecked()) << choice->text().toStdString();
    }
  }
  for (QCheckBox* box : {form.CheckBox1(), form.CheckBox2()}) {
    ScrollIntoView(box, 0);
    ClickWhereItShows(box);
    EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
  }
  EXPECT_EQ(h.Settings(), "[Quillmont]\nBoard=2\nMute=1\nSymbols=1\n");

  // The gallery's name box and buttons.
  TGallery gallery(h.shared, GalleryFormats{",", "M/d/yy"}, &form);
  int resets = 0;
  gallery.confirmReset = [&resets] { return ++resets, false; };
  WhenModalShows([&](QWidget*) {
    for (QWidget* control : std::initializer_list<QWidget*>{gallery.Edit1(), gallery.BitBtn2(), gallery.BitBtn1()}) {
      TabTo(control);
      EXPECT_TRUE(InReach(control));
    }
    ClickWhereItShows(gallery.Edit1());
    QTest::keyClicks(gallery.Edit1(), "Ana");
    ClickWhereItShows(gallery.BitBtn2());
    ClickWhereItShows(gallery.BitBtn1());
  });
  EXPECT_EQ(gallery.ShowForNameEntry(), QDialog::Accepted);
  EXPECT_EQ(h.shared.Player, "Ana");
  EXPECT_EQ(resets, 1);

  // The rules and the game-over message.
  TFormRules rules(&form);
  TMensagem mensagem(&form);
  for (SmallWindow* window : std::initializer_list<SmallWindow*>{&rules, &mensagem}) {
    WhenModalShows([window](QWidget*) {
      EXPECT_TRUE(InReach(window->BitBtn1())) << window->windowTitle().toStdString();
      ClickWhereItShows(window->BitBtn1());
    });
    EXPECT_EQ(window->exec(), QDialog::Accepted) << window->windowTitle().toStdString();
  }
}

}  // namespace
}  // namespace quillmont::testing
