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
#include "windows/TGallery.h"
#include "shell/PictureControl.h"
#include "windows/TFormRules.h"
#include "windows/TMensagem.h"

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
  for (int k = 0; k < kCells; ++k) {
    const PictureControl* cell = form.Image(k);
    if (!cell->isVisible()) continue;
    for (int y = 0; y < kTileSize; ++y)
      for (int x = 0; x < kTileSize; ++x) board.Set(cell->x() + x, cell->y() + y, cell->Picture().At(x, y));
  }
  const QImage shot = form.BoardPanel()->grab().toImage();
  wrong = 0;
  for (int y = static_cast<int>(std::ceil(y0 * ratio)); y < static_cast<int>(std::floor(y1 * ratio)); ++y)
    for (int x = static_cast<int>(std::ceil(x0 * ratio)); x < static_cast<int>(std::floor(x1 * ratio)); ++x)
      wrong += (shot.pixel(x, y) & 0xFFFFFFu) != board.At(Source(x, ratio), Source(y, ratio));
  EXPECT_EQ(wrong, 0);

  // A click in the lower right corner of a cell's square reaches that cell.
  PictureControl* cell = form.Image(Cell{5, 3}.Index());
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
    return ::testing::AssertionFailure() << window->windowTitle().toStdString() << " leaves the screen";
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

TEST(HighDpi, OnASmallScreenEveryWindowFitsAndEveryControlCanBeReached) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nBoard=2\n");
  TFormGame& form = h.Start();
  ASSERT_TRUE(form.screen()->availableGeometry().width() < 783 || form.screen()->availableGeometry().height() < 562);
  EXPECT_TRUE(InReach(&form));
  form.showMaximized();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

  // The keyboard's cursor scrolls the board along to its far corner, where
  // a click picks the tile; from there Tab scrolls to each of its stops.
  const Game& game = form.Jogo();
  for (int i = 0; i < kColumns; ++i) {
    PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Down);
  }
  PictureControl* corner = form.Image(Cell{game.ColFim(), game.LinFim()}.Index());
  EXPECT_TRUE(InReach(corner));
  ClickWhereItShows(corner);
  EXPECT_EQ(game.Peca(game.ColFim(), game.LinFim()).Estado, kSelecionada);
  for (int stop = 1; stop <= 5; ++stop) {
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(InReach(QApplication::focusWidget())) << "stop " << stop;
  }
  // Scrolled to, every choice, Mute and Symbols takes a click where it shows.
  std::vector<QAbstractButton*> controls{form.MuteBox(), form.SymbolsBox()};
  for (QButtonGroup* group : {form.LevelGroup(), form.BoardGroup(), form.SettingGroup()})
    for (QAbstractButton* choice : group->buttons()) controls.push_back(choice);
  for (QAbstractButton* control : controls) {
    ScrollIntoView(control, 0);
    EXPECT_TRUE(InReach(control)) << control->text().toStdString();
    ClickWhereItShows(control);
    EXPECT_TRUE(control->isChecked()) << control->text().toStdString();
  }
  EXPECT_EQ(h.Settings(), "[Quillmont]\nBoard=2\nMute=1\nSymbols=1\n");

  // The gallery shows its name box at once; Reset and OK take clicks.
  TGallery gallery(form.Records(), form.Options(), GalleryFormats{",", "M/d/yy"}, &form);
  int resets = 0;
  gallery.confirmReset = [&resets] { return ++resets, false; };
  WhenModalShows([&](QWidget*) {
    EXPECT_TRUE(InReach(gallery.NameBox()));
    QTest::keyClicks(gallery.NameBox(), "Ana");
    for (QPushButton* button : {gallery.ResetButton(), gallery.OkButton()}) {
      ScrollIntoView(button, 0);
      EXPECT_TRUE(InReach(button)) << button->text().toStdString();
      ClickWhereItShows(button);
    }
  });
  EXPECT_EQ(gallery.ShowForNameEntry(), QDialog::Accepted);
  EXPECT_EQ(h.form->Options().Player.Text(), "Ana");
  EXPECT_EQ(resets, 1);

  // The rules and the game-over message.
  TFormRules rules(&form);
  TMensagem mensagem(&form);
  for (SmallWindow* window : std::initializer_list<SmallWindow*>{&rules, &mensagem}) {
    WhenModalShows([window](QWidget*) {
      EXPECT_TRUE(InReach(window->OkButton())) << window->windowTitle().toStdString();
      ClickWhereItShows(window->OkButton());
    });
    EXPECT_EQ(window->exec(), QDialog::Accepted) << window->windowTitle().toStdString();
  }
}

}  // namespace
}  // namespace quillmont::testing
