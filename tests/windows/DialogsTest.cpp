// The two small windows: their texts, places, colours and OK buttons, and the
// rules text surviving between showings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTimer>

#include "support/ModalWindows.h"
#include "controls/TGradient.h"
#include "windows/TFormRules.h"
#include "windows/TMensagem.h"

namespace quillmont {
namespace {

using testing::WhenModalShows;


QColor Pixel(QWidget* window, int x, int y) { return window->grab().toImage().pixelColor(x, y); }

// The fill both windows should show: teal at the top to pale blue at the bottom.
QImage ExpectedBackground(QSize size) {
  TGradient gradient;
  gradient.SetBeginColor(QColor(0, 128, 128));
  gradient.SetEndColor(QColor(202, 238, 255));
  gradient.SetDirection(TGradient::fdTopToBottom);
  gradient.resize(size);
  return gradient.grab().toImage();
}

// Compares a column of the window with the expected fill, top to bottom.
void ExpectBackgroundColumn(QWidget* window, int x, int fromY, int toY) {
  const QImage shown = window->grab().toImage();
  const QImage expected = ExpectedBackground(window->size());
  for (int y = fromY; y < toY; ++y) {
    ASSERT_EQ(shown.pixelColor(x, y), expected.pixelColor(x, y)) << "y " << y;
  }
}

const QStringList kRules{
    "The objective of the game is to remove all ",
    "tiles from the board, by clicking on the equal ",
    "ones. ",
    "",
    "If you are playing the Duos setting, you must ",
    "find two equal tiles. If you are playing the ",
    "Trios setting, you must find three equal tiles.",
    "",
    "But you will have to act fast, since higher ",
    "points are awarded when you match the tiles ",
    "while the Bonus Bar is running.",
};

QStringList Lines(const QPlainTextEdit* memo) {
  QStringList lines;
  for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
  return lines;
}

TEST(MensagemTest, MessageLooksAndCloses) {
  TMensagem mensagem;
  EXPECT_EQ(mensagem.windowTitle(), "Quillmont");
  EXPECT_EQ(mensagem.size(), QSize(254, 179));
  QLabel* label = mensagem.MessageLabel();
  EXPECT_EQ(label->text(), "No more moves! Game over!");
  EXPECT_EQ(label->geometry(), QRect(24, 8, 201, 65));
  EXPECT_EQ(label->font().pixelSize(), 24);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(64, 0, 64));
  EXPECT_TRUE(label->wordWrap());
  EXPECT_EQ(label->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  EXPECT_LE(label->heightForWidth(201), 65);  // both lines fit
  QPushButton* ok = mensagem.OkButton();
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(ok->geometry(), QRect(86, 104, 75, 25));
  EXPECT_FALSE(ok->icon().isNull());

  bool shown = false;
  WhenModalShows([&](QWidget* modal) {
    EXPECT_EQ(modal, &mensagem);
    EXPECT_EQ(mensagem.pos(), QPoint(200, 108));  // the frame, not centred
    EXPECT_EQ(mensagem.size(), QSize(254, 179));
    // The whole height is the gradient, also behind the transparent label.
    ExpectBackgroundColumn(&mensagem, 2, 0, 179);
    ExpectBackgroundColumn(&mensagem, 25, 9, 20);
    EXPECT_LT(Pixel(&mensagem, 2, 0).blue(), Pixel(&mensagem, 2, 178).blue());
    shown = true;
    QTest::keyClick(&mensagem, Qt::Key_Return);  // OK is the default button
  });
  EXPECT_EQ(mensagem.exec(), QDialog::Accepted);
  EXPECT_TRUE(shown);
  WhenModalShows([&](QWidget*) { QTest::mouseClick(mensagem.OkButton(), Qt::LeftButton); });
  EXPECT_EQ(mensagem.exec(), QDialog::Accepted);
}

TEST(FormRulesTest, RulesTextAndLook) {
  TFormRules rules;
  EXPECT_EQ(rules.windowTitle(), "Quillmont rules");
  EXPECT_EQ(rules.size(), QSize(379, 282));
  QPlainTextEdit* memo = rules.RulesBox();
  EXPECT_EQ(Lines(memo), kRules);  // trailing blanks kept
  EXPECT_EQ(memo->geometry(), QRect(53, 32, 265, 153));
  EXPECT_TRUE(memo->font().bold());
  EXPECT_EQ(memo->font().pixelSize(), 11);
  EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(242, 242, 255));
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_FALSE(memo->isReadOnly());
  EXPECT_EQ(rules.OkButton()->geometry(), QRect(148, 208, 75, 25));
  EXPECT_EQ(rules.OkButton()->text(), "OK");
  EXPECT_TRUE(rules.OkButton()->isDefault());
  EXPECT_FALSE(rules.OkButton()->icon().isNull());

  WhenModalShows([&](QWidget* modal) {
    EXPECT_EQ(modal, &rules);
    EXPECT_EQ(rules.pos(), QPoint(171, 124));
    ExpectBackgroundColumn(&rules, 2, 0, 282);
    // With no scroll bars, the whole text has to fit the box, one screen
    // line for each line of the rules.
    EXPECT_EQ(rules.RulesBox()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(rules.RulesBox()->document()->documentLayout()->documentSize().height(), kRules.size());
    EXPECT_EQ(Pixel(&rules, 53 + 130, 32 + 150), QColor(242, 242, 255));
    QTest::mouseClick(rules.OkButton(), Qt::LeftButton);
  });
  rules.ShowRules();
}

TEST(FormRulesTest, EditsLastAndEveryShowingRestoresCaptionAndText) {
  TFormRules rules;
  rules.setWindowTitle("Something else");
  rules.RulesBox()->setVisible(false);
  bool first = false;
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(rules.windowTitle(), "Quillmont rules");
    EXPECT_TRUE(rules.RulesBox()->isVisible());
    rules.RulesBox()->setFocus();
    rules.RulesBox()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(rules.RulesBox(), "Hello. ");
    QTest::keyClick(rules.RulesBox(), Qt::Key_Return);  // a new line in the memo, not OK
    EXPECT_TRUE(rules.isVisible());
    // Tab leaves the text for OK, as in any dialog, and adds nothing to it.
    QTest::keyClick(rules.RulesBox(), Qt::Key_Tab);
    EXPECT_TRUE(rules.OkButton()->hasFocus());
    first = true;
    QTest::mouseClick(rules.OkButton(), Qt::LeftButton);
  });
  rules.ShowRules();
  ASSERT_TRUE(first);
  QStringList expected = kRules;
  expected.prepend("Hello. ");
  bool second = false;
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(Lines(rules.RulesBox()), expected);
    second = true;
    rules.close();
  });
  rules.ShowRules();
  EXPECT_TRUE(second);
}

}  // namespace
}  // namespace quillmont
