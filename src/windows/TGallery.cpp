#include "windows/TGallery.h"

#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

#include "controls/Panel.h"
#include "controls/ProgramFont.h"
#include "controls/TLabel3D.h"
#include "controls/WindowCanvas.h"
#include "platform/TextFormats.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/LocaleFormats.h"
#include "records/BestPlayers.h"
#include "records/GameOptions.h"

namespace quillmont {
namespace {

void SetTextColour(QLabel* label, QColor colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect bounds, Qt::Alignment alignment, bool bold = false) {
  auto* label = new QLabel(text, parent);
  // Names come from files that others may write: never guessed to be HTML,
  // whose images Qt would go and read.
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(bounds);
  label->setAlignment(alignment | Qt::AlignTop);
  if (bold) label->setFont(ProgramFont(11, true));
  return label;
}

// A caption label sized to its text, as the designed fonts did: where our
// font is wider, it grows away from its aligned edge so no letter is cut.
// A right-aligned cell keeps its right edge and widens to the left when a
// long number or date would otherwise lose its first characters.
void FitRightAligned(QLabel* cell, int designLeft, int designWidth) {
  const int right = designLeft + designWidth;
  const int width = std::max(designWidth, cell->fontMetrics().horizontalAdvance(cell->text()));
  cell->setGeometry(right - width, cell->y(), width, cell->height());
}

QLabel* MakeCaption(QWidget* parent, const QString& text, QRect bounds, Qt::Alignment alignment, bool bold) {
  QLabel* label = MakeLabel(parent, text, bounds, alignment, bold);
  const int needed = label->fontMetrics().horizontalAdvance(text);
  if (needed > bounds.width()) {
    if (alignment & Qt::AlignRight) bounds.setLeft(bounds.right() + 1 - needed);
    else bounds.setWidth(needed);
    label->setGeometry(bounds);
  }
  return label;
}

TLabel3D* MakeTitle(QWidget* parent, QRect bounds) {
  auto* title = new TLabel3D(parent);
  title->setGeometry(bounds);
  title->SetFont(ProgramFont(QStringLiteral("MS Sans Serif"), 19, false), QColor(0, 0, 128));
  title->SetStyle(LabelStyle::lsRaised);
  title->SetColorHigh(Qt::white);
  title->SetColorShadow(Qt::black);
  title->SetDepthHigh(1);
  title->SetDepthShadow(1);
  title->SetTransparent(true);
  return title;
}

// The category title has a fixed width laid out for a narrow font. Where the
// first choice would cut the longest title, a narrower face of the same size
// is used, the same for every category so the title does not jump.
QFont CategoryTitleFont(int width) {
  return FirstFontThatFits(19, false, [width](const QFontMetrics& metrics) {
    int widest = 0;
    for (int index = 0; index < Category::kCount; ++index) {
      widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(Category::AtIndex(index).Title())));
    }
    return widest + 2 <= width;  // room for the raised edges too
  });
}

bool AskReset() {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Attention"), QStringLiteral("Reset gallery?"),
                  QMessageBox::Ok | QMessageBox::Cancel, nullptr);
  // Esc opens this question, so a second key at once (Enter) must not
  // empty the category: the safe answer is the default.
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace

GalleryFormats GalleryFormats::System() { return {SystemThousandsSeparator(), SystemShortDatePattern()}; }

TGallery::TGallery(BestPlayers& bestPlayers, GameOptions& options, GalleryFormats formats, QWidget* parent)
    : QDialog(parent),
      confirmReset(AskReset),
      bestPlayers_(bestPlayers),
      options_(options),
      formats_(std::move(formats)) {
  category_ = options_.category;
  setWindowTitle(QStringLiteral("Quillmont Gallery"));
  setModal(true);
  setFont(ProgramFont(11));
  // A short date with a four-digit year needs more than the designed 49
  // pixels: the date column, the panels and the window grow to the right.
  const QString widestDate = QString::fromStdString(FormatShortDate(2088, 12, 28, formats_.shortDatePattern));
  dateWidth_ = std::max(49, fontMetrics().horizontalAdvance(widestDate));
  const int extra = dateWidth_ - 49;
  // The window frame goes to the designed place, not centred over the owner.
  resize(403 + extra, 437);
  move(200, 108);
  QWidget* canvas = new WindowCanvas(this, size());
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(240, 240, 240));
  setPalette(palette);

  const QFont titleFont = CategoryTitleFont(265);
  title_ = MakeTitle(canvas, QRect(143, 0, 104, 26));
  title_->SetAutoSize(false);
  title_->SetAlignment(Qt::AlignHCenter);
  title_->SetFont(titleFont, QColor(0, 0, 128));
  title_->SetCaption(QStringLiteral("Best Players"));
  // Widened about its centre where our font needs more room than designed.
  const int titleWidth = std::max(104, QFontMetrics(titleFont).horizontalAdvance(title_->Caption()) + 2);
  title_->setGeometry(143 + 52 - titleWidth / 2, 0, titleWidth, 26);
  categoryTitle_ = MakeTitle(canvas, QRect(65, 24, 265, 26));
  categoryTitle_->SetAutoSize(false);
  categoryTitle_->SetFont(titleFont, QColor(0, 0, 128));
  categoryTitle_->SetAlignment(Qt::AlignHCenter);
  categoryTitle_->setGeometry(65, 24, 265, 26);

  nameCaption_ = MakeCaption(canvas, QStringLiteral("Player's name:"), QRect(8, 352, 68, 13), Qt::AlignLeft, false);

  okButton_ = new QPushButton(QIcon(QStringLiteral(":/images/ok-glyph.png")), QStringLiteral("OK"), canvas);
  okButton_->setGeometry(222, 364, 75, 25);
  okButton_->setIconSize(QSize(18, 18));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn1Click(); }); });

  // Two raised bevels of 2 pixels, and two lowered bevels of 1 pixel.
  rowsPanel_ = MakePanel(canvas, QColor(187, 231, 247), QFrame::Panel, QFrame::Raised, 4);
  rowsPanel_->setGeometry(6, 56, 379 + extra, 289);
  headingPanel_ = MakePanel(rowsPanel_, QColor(162, 218, 249), QFrame::Panel, QFrame::Sunken, 2);
  headingPanel_->setGeometry(8, 8, 361 + extra, 25);
  MakeCaption(headingPanel_, QStringLiteral("Rank"), QRect(8, 6, 31, 13), Qt::AlignRight, true);
  MakeCaption(headingPanel_, QStringLiteral("Name"), QRect(48, 6, 33, 13), Qt::AlignLeft, true);
  MakeCaption(headingPanel_, QStringLiteral("Score"), QRect(212, 6, 34, 13), Qt::AlignRight, true);
  MakeCaption(headingPanel_, QStringLiteral("Missed"), QRect(257, 6, 40, 13), Qt::AlignRight, true);
  MakeCaption(headingPanel_, QStringLiteral("Date"), QRect(325 + extra, 6, 28, 13), Qt::AlignRight, true);
  BuildRows();

  nameBox_ = new QLineEdit(canvas);
  nameBox_->setGeometry(8, 368, 177, 21);
  connect(nameBox_, &QLineEdit::textChanged, this, [this] { Guarded([this] { Edit1Change(); }); });

  const QPixmap glyphs(QStringLiteral(":/images/reset-glyph.png"));
  QIcon resetIcon;
  if (!glyphs.isNull()) {
    resetIcon.addPixmap(glyphs.copy(0, 0, 18, 18), QIcon::Normal);
    resetIcon.addPixmap(glyphs.copy(18, 0, 18, 18), QIcon::Disabled);
  }
  resetButton_ = new QPushButton(resetIcon, QStringLiteral("Reset"), canvas);
  resetButton_->setGeometry(304, 364, 75, 25);
  resetButton_->setIconSize(QSize(18, 18));
  resetButton_->setAutoDefault(false);
  connect(resetButton_, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn2Click(); }); });

  setTabOrder(okButton_, nameBox_);
  setTabOrder(nameBox_, resetButton_);

  // Shortcuts of the whole window: the scroll area round the controls would
  // take Page Up and Page Down as plain keys.
  browseKeys_ = {new QShortcut(QKeySequence(Qt::Key_PageUp), this),
                 new QShortcut(QKeySequence(Qt::Key_PageDown), this)};
  connect(browseKeys_[0], &QShortcut::activated, this, [this] { Guarded([this] { Browse(-1); }); });
  connect(browseKeys_[1], &QShortcut::activated, this, [this] { Guarded([this] { Browse(1); }); });
  rowsPanel_->installEventFilter(this);
  SetBrowsing(false);
}

void TGallery::SetBrowsing(bool on) {
  browsing_ = on;
  wheelAngle_ = 0;
  for (QShortcut* key : browseKeys_) key->setEnabled(on);
  categoryTitle_->setToolTip(on ? QStringLiteral("Page Up / Page Down: other categories") : QString());
}

void TGallery::ShowCategory(Category category) {
  category_ = category;
  AtualizaGaleria();
  ShowTitle();
}

void TGallery::ShowTitle() { categoryTitle_->SetCaption(QString::fromLatin1(category_.Title())); }

void TGallery::Browse(int step) {
  if (browsing_) ShowCategory(Category::AtIndex(category_.Index() + step));
}

bool TGallery::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over the rows turns the categories; in name entry it scrolls
  // the window as anywhere else.
  if (watched == rowsPanel_ && event->type() == QEvent::Wheel && browsing_) {
    // A touchpad sends small angles: a step for every notch's worth. Down
    // (towards the player) is the next category, as Page Down.
    wheelAngle_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
    for (; wheelAngle_ <= -120; wheelAngle_ += 120) Guarded([this] { Browse(1); });
    for (; wheelAngle_ >= 120; wheelAngle_ -= 120) Guarded([this] { Browse(-1); });
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TGallery::BuildRows() {
  struct Column {
    int left, width;
    Qt::Alignment alignment;
  };
  const Column columns[5] = {{16, 28, Qt::AlignRight},
                             {56, 145, Qt::AlignLeft},
                             {214, 40, Qt::AlignRight},
                             {269, 36, Qt::AlignRight},
                             {310, dateWidth_, Qt::AlignRight}};
  for (int r = 1; r <= 15; ++r) {
    for (int c = 0; c < 5; ++c) {
      const Column& column = columns[c];
      rows_[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c)] =
          MakeLabel(rowsPanel_, c == 0 ? QString::number(r) : QString(),
                    QRect(column.left, 22 + 16 * r, column.width, 13), column.alignment);
    }
  }
}

void TGallery::AtualizaGaleria() {
  for (int r = 1; r <= 15; ++r) {
    const TRecorde& entry = bestPlayers_.Tabela().At(category_, r);
    const std::array<std::string, 5> texts = FormatGalleryRow(entry, r, formats_);
    for (int c = 0; c < 5; ++c) Cell(r, c)->setText(QString::fromStdString(texts[static_cast<std::size_t>(c)]));
    FitRightAligned(Cell(r, 2), 214, 40);
    FitRightAligned(Cell(r, 3), 269, 36);
    FitRightAligned(Cell(r, 4), 310, dateWidth_);
    for (int c = 0; c < 5; ++c) SetTextColour(Cell(r, c), Qt::black);
  }
  // The result was ranked in the category on show.
  if (const int marked = bestPlayers_.MarkedRow(category_); marked < kNoRank) {
    for (int c = 0; c < 5; ++c) SetTextColour(Cell(marked, c), QColor(255, 0, 0));
  }
}

int TGallery::Open(bool nameEntry) {
  nameBox_->setVisible(nameEntry);
  nameCaption_->setVisible(nameEntry);
  category_ = options_.category;
  SetBrowsing(!nameEntry);
  AtualizaGaleria();
  const int result = exec();
  SetBrowsing(false);
  return result;
}

int TGallery::ShowForNameEntry() {
  const int result = Open(true);
  bestPlayers_.Name(options_.Player);
  if (onTableChanged) onTableChanged();
  return result;
}

void TGallery::ShowForViewing() { Open(false); }

void TGallery::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Only our own show opens the window; the window system's (a restore after
  // minimising) would put the offered name back over the one being typed.
  if (event->spontaneous()) return;
  Guarded([this] { FormShow(); });
}

void TGallery::FormShow() {
  if (nameBox_->isVisibleTo(this)) {
    const std::string& player = options_.Player.Text();
    nameBox_->setText(QString::fromLatin1(player.data(), static_cast<qsizetype>(player.size())));
  }
  // The marked row shows the name being entered; opened only for viewing,
  // it shows the name that was stored.
  if (nameBox_->isVisibleTo(this) && bestPlayers_.PosicaoRanking() < kNoRank) {
    Cell(bestPlayers_.PosicaoRanking(), 1)->setText(nameBox_->text());
  }
  if (nameBox_->isVisibleTo(this)) {
    nameBox_->setFocus();
    ScrollIntoView(nameBox_, 0);  // on a small screen
  }
  ShowTitle();
}

void TGallery::Edit1Change() {
  // Names are single bytes: a typed or pasted character that Latin-1 cannot
  // hold is refused at once, so what shows is what is stored, and a control
  // character becomes a space. setText brings us back here with the clean text.
  const QString text = nameBox_->text();
  QString clean, refused;
  int cursor = nameBox_->cursorPosition();
  for (int i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c > 0xFF) {
      if (i < nameBox_->cursorPosition()) --cursor;
      refused += text[i];
      continue;
    }
    clean += IsControlCode(c) ? QLatin1Char(' ') : text[i];
  }
  if (!refused.isEmpty()) {
    // Said where the player looks, so a letter does not vanish unexplained.
    QToolTip::showText(nameBox_->mapToGlobal(QPoint(0, nameBox_->height())),
                       QStringLiteral("\u201C%1\u201D cannot be kept: the table holds only the letters of "
                                      "Western European languages (Latin-1).")
                           .arg(refused),
                       nameBox_);
  }
  if (clean != text) {
    nameBox_->setText(clean);
    nameBox_->setCursorPosition(cursor);
    return;
  }
  // After a Reset the marked row is empty for good; it no longer echoes the name.
  if (bestPlayers_.AwaitsName()) Cell(bestPlayers_.PosicaoRanking(), 1)->setText(text);
}

void TGallery::BitBtn1Click() {
  // Only a name asked for is taken: opened for viewing, the hidden box must
  // not overwrite the name remembered.
  if (nameBox_->isVisibleTo(this)) {
    options_.Player = PlayerName(nameBox_->text().toLatin1().toStdString());
  }
  accept();
}

void TGallery::BitBtn2Click() {
  if (!confirmReset || !confirmReset()) return;
  bestPlayers_.ResetCategory(category_);
  AtualizaGaleria();
  if (onTableChanged) onTableChanged();
}

void TGallery::keyPressEvent(QKeyEvent* event) {
  // Esc is the Reset button's key here; it does not close the window.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    resetButton_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace quillmont
