// At every scale factor, whole or fractional, each device pixel of a picture
// control shows the picture pixel under its centre, with no smoothing: the
// tiles of the real board meet without gaps, and a click anywhere in a
// cell's square picks that cell.
#include <gtest/gtest.h>

#include <QFrame>
#include <QPixmap>
#include <QTest>
#include <cmath>

#include "MainWindowHarness.h"
#include "game/TileDrawing.h"
#include "shell/PictureControl.h"

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

}  // namespace
}  // namespace quillmont::testing
