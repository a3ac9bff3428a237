#include "windows/TFormRules.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>

#include "controls/ProgramFont.h"

namespace quillmont {
namespace {

const QStringList& RulesLines() {
  static const QStringList lines{
      QStringLiteral("The objective of the game is to remove all "),
      QStringLiteral("tiles from the board, by clicking on the equal "),
      QStringLiteral("ones. "),
      QString(),
      QStringLiteral("If you are playing the Duos setting, you must "),
      QStringLiteral("find two equal tiles. If you are playing the "),
      QStringLiteral("Trios setting, you must find three equal tiles."),
      QString(),
      QStringLiteral("But you will have to act fast, since higher "),
      QStringLiteral("points are awarded when you match the tiles "),
      QStringLiteral("while the Bonus Bar is running."),
  };
  return lines;
}

// The rules were broken into lines for a narrow bold font. Where the first
// choice is wider and a line would wrap, with no scroll bar to reach the end,
// a narrower face of the same size keeps every line whole and in view.
QFont MemoFont(const QPlainTextEdit* memo) {
  const int margins = 2 * (memo->frameWidth() + static_cast<int>(memo->document()->documentMargin()));
  const int width = memo->width() - margins;
  const int height = memo->height() - margins;
  return FirstFontThatFits(11, true, [width, height](const QFontMetrics& metrics) {
    int widest = 0;
    for (const QString& line : RulesLines()) widest = std::max(widest, metrics.horizontalAdvance(line.trimmed()));
    return widest <= width && metrics.lineSpacing() * RulesLines().size() <= height;
  });
}

}  // namespace

TFormRules::TFormRules(QWidget* parent)
    : SmallWindow(QStringLiteral("Quillmont rules"), QRect(171, 124, 379, 282), parent) {
  rulesBox_ = new QPlainTextEdit(Canvas());
  rulesBox_->setGeometry(53, 32, 265, 153);
  rulesBox_->document()->setDocumentMargin(2);  // the small inner margin of an edit box
  rulesBox_->setFont(MemoFont(rulesBox_));
  rulesBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  rulesBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rulesBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette palette = rulesBox_->palette();
  palette.setColor(QPalette::Base, QColor(242, 242, 255));
  rulesBox_->setPalette(palette);
  rulesBox_->setPlainText(RulesLines().join(QLatin1Char('\n')));
  // The rules hold no tabs: Tab goes on to OK, as in any dialog, while Enter
  // still makes a new line.
  rulesBox_->setTabChangesFocus(true);

  MakeOkButton(QRect(148, 208, 75, 25));
}

void TFormRules::ShowRules() {
  setWindowTitle(QStringLiteral("Quillmont rules"));
  rulesBox_->setVisible(true);
  exec();
}

}  // namespace quillmont
