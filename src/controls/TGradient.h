#pragma once
// A background that fills its rectangle with a linear gradient of one-pixel
// lines. The palette is built when a colour or the direction is set, never
// while painting.
#include <QColor>
#include <QWidget>

#include "controls/GradientMath.h"

namespace quillmont {

class TGradient : public QWidget {
  Q_OBJECT
 public:
  enum TFillDirection { fdTopToBottom, fdBottomToTop, fdLeftToRight, fdRightToLeft };

  explicit TGradient(QWidget* parent = nullptr);

  // Each setter rebuilds the palette and repaints, even for the same value.
  void SetBeginColor(QColor color);
  void SetEndColor(QColor color);
  void SetDirection(TFillDirection direction);
  QColor BeginColor() const { return beginColor_; }
  TFillDirection Direction() const { return direction_; }
  const GradientPalette& Palette() const { return palette_; }
  int PaletteBuilds() const { return paletteBuilds_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Rebuild();

  QColor beginColor_{0, 0, 255};
  QColor endColor_{0, 0, 0};
  TFillDirection direction_ = fdTopToBottom;
  GradientPalette palette_{};
  int paletteBuilds_ = 0;
};

}  // namespace quillmont
