#include "controls/TLabel3D.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QShortcut>

#include "controls/QtRgb.h"

namespace quillmont {
namespace {

constexpr int kMaxCaption = 255;

}  // namespace

TLabel3D::TLabel3D(QWidget* parent) : QWidget(parent) { resize(0, 0); }

void TLabel3D::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
  FitBounds();
  UpdateShortcut();
}

void TLabel3D::SetFont(const QFont& font, QColor fontColor) {
  fontColor_ = fontColor;
  setFont(font);  // the font change fits the bounds
  update();
}

void TLabel3D::SetAlignment(Qt::Alignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  update();
}

void TLabel3D::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  FitBounds();
}

void TLabel3D::SetColorHigh(QColor color) {
  if (color == colorHigh_) return;
  colorHigh_ = color;
  update();
}

void TLabel3D::SetColorShadow(QColor color) {
  if (color == colorShadow_) return;
  colorShadow_ = color;
  update();
}

void TLabel3D::SetDepthHigh(int depth) {
  depth = std::max(depth, 0);
  if (depth == depthHigh_) return;
  depthHigh_ = depth;
  FitBounds();
  update();
}

void TLabel3D::SetDepthShadow(int depth) {
  depth = std::max(depth, 0);
  if (depth == depthShadow_) return;
  depthShadow_ = depth;
  FitBounds();
  update();
}

void TLabel3D::SetStyle(LabelStyle style) {
  if (style == style_) return;
  style_ = style;
  const LabelLook look = StylePreset(style, ToRgb(colorHigh_));
  depthHigh_ = look.depthHigh;
  depthShadow_ = look.depthShadow;
  colorHigh_ = ToQColor(look.colorHigh);
  colorShadow_ = ToQColor(look.colorShadow);
  fontColor_ = ToQColor(look.fontColor);
  FitBounds();
  update();
}

void TLabel3D::SetShowAccelChar(bool show) {
  if (show == showAccelChar_) return;
  showAccelChar_ = show;
  UpdateShortcut();
  update();
}

void TLabel3D::SetWordWrap(bool wrap) {
  if (wrap == wordWrap_) return;
  wordWrap_ = wrap;
  FitBounds();
}

void TLabel3D::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TLabel3D::SetColor(QColor color) {
  color_ = color;
  update();
}

void TLabel3D::SetFocusControl(QWidget* control) {
  focusControl_ = control;
  UpdateShortcut();
}

QString TLabel3D::DrawnText(bool measuring) const {
  const QString text = caption_.left(kMaxCaption);
  if (measuring && (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&")))) return QStringLiteral(" ");
  return text;
}

int TLabel3D::TextFlags() const {
  int flags = Qt::TextExpandTabs;
  if (showAccelChar_) flags |= Qt::TextShowMnemonic;
  return flags;
}

void TLabel3D::FitBounds() {
  if (!autoSize_) return;
  const int depth = depthHigh_ + depthShadow_;
  int flags = TextFlags();
  QRect bounds(0, 0, 1 << 20, 1 << 20);
  if (wordWrap_) {
    flags |= Qt::TextWordWrap;
    bounds.setWidth(std::max(width() - depth, 1));
  }
  const QRect text = QFontMetrics(font()).boundingRect(bounds, flags, DrawnText(true));
  const FitResult fit = FitLabelBounds(x(), width(), alignment_.testFlag(Qt::AlignRight), text.width(), text.height(),
                                       depthHigh_, depthShadow_);
  setGeometry(fit.left, y(), fit.width, fit.height);
}

void TLabel3D::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Until a colour of its own is set, the label follows its parent's (through the palette).
  if (!transparent_) painter.fillRect(rect(), color_.isValid() ? color_ : palette().color(QPalette::Window));
  painter.setFont(font());
  const int flags = TextFlags() | Qt::TextWordWrap | static_cast<int>(alignment_ & Qt::AlignHorizontal_Mask);
  const QString text = DrawnText(false);
  const LayerOffsets at = LayerOffsetsFor(depthHigh_, depthShadow_);
  const QRect r = rect().adjusted(0, 0, -at.shadow, -at.shadow);
  painter.setPen(colorHigh_);
  painter.drawText(r.translated(at.highlight, at.highlight), flags, text);
  painter.setPen(colorShadow_);
  painter.drawText(r.translated(at.shadow, at.shadow), flags, text);
  painter.setPen(isEnabled() ? fontColor_ : palette().color(QPalette::Disabled, QPalette::WindowText));
  painter.drawText(r.translated(at.face, at.face), flags, text);
}

void TLabel3D::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitBounds();
}

void TLabel3D::UpdateShortcut() {
  delete shortcut_;
  shortcut_ = nullptr;
  const QKeySequence key = QKeySequence::mnemonic(caption_);
  if (!focusControl_ || !showAccelChar_ || key.isEmpty()) return;
  shortcut_ = new QShortcut(key, this);
  connect(shortcut_, &QShortcut::activated, this, [this] {
    // The companion must be able to take the focus: enabled and shown.
    if (isEnabled() && focusControl_ && focusControl_->isEnabled() && focusControl_->isVisible())
      focusControl_->setFocus(Qt::ShortcutFocusReason);
  });
}

}  // namespace quillmont
