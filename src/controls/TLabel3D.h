#pragma once
// A text label drawn three times, in a highlight, a shadow and the face
// colour, at small offsets, so that it looks raised, lowered or floating.
#include <QColor>
#include <QPointer>
#include <QWidget>

#include "controls/Label3DMath.h"

class QShortcut;

namespace quillmont {

class TLabel3D : public QWidget {
  Q_OBJECT
 public:
  explicit TLabel3D(QWidget* parent = nullptr);

  // Setters do nothing when the value does not change.
  void SetCaption(const QString& caption);
  QString Caption() const { return caption_; }
  void SetFont(const QFont& font, QColor fontColor);
  QColor FontColor() const { return fontColor_; }
  void SetAlignment(Qt::Alignment alignment);  // AlignLeft, AlignRight or AlignHCenter
  void SetAutoSize(bool autoSize);
  void SetColorHigh(QColor color);
  void SetColorShadow(QColor color);
  QColor ColorShadow() const { return colorShadow_; }
  void SetDepthHigh(int depth);  // a negative depth is 0
  void SetDepthShadow(int depth);
  int DepthHigh() const { return depthHigh_; }
  int DepthShadow() const { return depthShadow_; }
  void SetStyle(LabelStyle style);
  void SetShowAccelChar(bool show);
  void SetWordWrap(bool wrap);
  void SetTransparent(bool transparent);
  void SetColor(QColor color);  // the background when not transparent
  void SetFocusControl(QWidget* control);
  QWidget* FocusControl() const { return focusControl_; }

  // Sizes the label to its text when AutoSize is on.
  void FitBounds();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString DrawnText(bool measuring) const;
  int TextFlags() const;
  void UpdateShortcut();

  QString caption_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  bool autoSize_ = true;
  QColor colorHigh_{255, 255, 255};
  QColor colorShadow_{0, 0, 0};
  QColor fontColor_{128, 128, 128};
  QColor color_;  // invalid: the parent's window colour
  int depthHigh_ = 1;
  int depthShadow_ = 1;
  QPointer<QWidget> focusControl_;
  bool showAccelChar_ = true;
  LabelStyle style_ = LabelStyle::lsRaised;
  bool wordWrap_ = false;
  bool transparent_ = false;
  QShortcut* shortcut_ = nullptr;
};

}  // namespace quillmont
