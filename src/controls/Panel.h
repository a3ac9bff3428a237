#pragma once
// A panel of the windows: filled with its own colour, inside a plain box or a
// raised or sunken bevel of the given width.
#include <QColor>
#include <QFrame>
#include <QPalette>

namespace quillmont {

inline QFrame* MakePanel(QWidget* parent, QColor colour, QFrame::Shape shape, QFrame::Shadow shadow, int lineWidth) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(shape | shadow);
  panel->setLineWidth(lineWidth);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, colour);
  panel->setPalette(palette);
  return panel;
}

}  // namespace quillmont
