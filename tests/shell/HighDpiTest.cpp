// At a scale factor of 2 every picture pixel becomes a sharp 2 x 2 block,
// with no smoothing, in the cells of the real main window too.
#include <gtest/gtest.h>

#include <QPixmap>
#include <QTest>

#include "MainWindowHarness.h"
#include "game/TileDrawing.h"
#include "shell/PictureControl.h"

namespace quillmont::testing {
namespace {

// Every device pixel of the shot is the picture pixel it covers.
void ExpectDoubled(const QImage& shot, const PixelBuffer& picture) {
  ASSERT_EQ(shot.width(), 2 * picture.Width());
  ASSERT_EQ(shot.height(), 2 * picture.Height());
  int wrong = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      wrong += (shot.pixel(x, y) & 0xFFFFFFu) != picture.At(x / 2, y / 2);
  EXPECT_EQ(wrong, 0);
}

TEST(HighDpi, PicturesAreDoubledPixelForPixel) {
  ASSERT_DOUBLE_EQ(qApp->devicePixelRatio(), 2.0);
  TPeca peca;
  peca.Atributos = {1, 2, 3, 4};
  peca.Estado = kSelecionada;
  PixelBuffer picture;
  PaintTile(peca, picture);
  PictureControl control(nullptr, 0);
  control.resize(kTileSize, kTileSize);
  control.SetPicture(picture);
  ExpectDoubled(control.grab().toImage(), picture);

  MainWindowHarness h;
  TFormGame& form = h.Start();
  PictureControl* cell = form.Image(IndicePeca(5, 3));
  ExpectDoubled(cell->grab().toImage(), cell->Picture());
  // A click in the cell's lower right quarter still reaches that cell.
  QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(37, 37));
  EXPECT_EQ(form.Jogo().Peca(5, 3).Estado, kSelecionada);
}

}  // namespace
}  // namespace quillmont::testing
