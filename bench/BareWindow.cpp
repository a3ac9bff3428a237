// The yardstick for start-up: the least a Qt Widgets program can do to show
// what the game shows at start, one maximised window of 160 labels holding
// 39 x 39 pictures of tiles and one line of text, with nothing read from disk.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include "game/TileDrawing.h"

int main(int argc, char** argv) {
  using namespace quillmont;
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  window.setMinimumSize(16 * 38 + 1, 10 * 38 + 1);
  for (int k = 0; k < 160; ++k) {
    TPeca peca;
    peca.Atributos = {1 + k % 4, 1 + k / 4 % 4, 1 + k / 16 % 4, 1 + k / 64 % 4};
    PixelBuffer picture;
    PaintTile(peca, picture);
    QImage image(kTileSize, kTileSize, QImage::Format_RGB32);
    for (int y = 0; y < kTileSize; ++y) {
      for (int x = 0; x < kTileSize; ++x) {
        const Rgb c = picture.At(x, y);
        image.setPixel(x, y, qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
      }
    }
    auto* label = new QLabel(&window);
    label->setPixmap(QPixmap::fromImage(image));
    label->setGeometry(1 + (k % 16) * 38, 1 + (k / 16) * 38, kTileSize, kTileSize);
  }
  auto* text = new QLabel(QStringLiteral("Pieces left: 160    Score: 0"), &window);
  text->setGeometry(1, 1 + 10 * 38 + 8, 16 * 38, 24);
  window.showMaximized();  // as the game shows itself
  return QApplication::exec();
}
