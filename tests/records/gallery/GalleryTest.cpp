// The gallery window driven offscreen: the marked row, typing a name, OK
// against the close box, Reset, viewing mode.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "controls/TLabel3D.h"
#include "records/Ranking.h"
#include "records/SharedState.h"
#include "records/TGallery.h"

namespace quillmont {
namespace {

template <typename Action>
void WhenModalShows(Action action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}

QColor TextColour(QLabel* label) { return label->palette().color(QPalette::WindowText); }

class GalleryTest : public ::testing::Test {
 protected:
  GalleryTest() {
    shared.Board = 1;
    shared.NumColors = 5;
    shared.NumFits = 2;
    shared.Player = "Marta";
    for (int r = 1; r <= 4; ++r) {
      TRecorde& e = shared.Tabela.At(1, 5, 2, r);
      e.Nome = "P" + std::to_string(r);
      e.Escore = TReal6::FromDouble(r == 1 ? 1234567 : 10000 - 1000 * r);
      e.Perdidas = r;
      e.Data = 45292;
    }
    gallery.onTableChanged = [this] { ++changes; };
  }

  void RankThird() {
    shared.PosicaoRanking = RankResult(shared.Tabela, 1, 5, 2, TReal6::FromDouble(7500), 3, 45293);
    ASSERT_EQ(shared.PosicaoRanking, 3);
  }

  SharedState shared;
  TGallery gallery{shared, GalleryFormats{",", "M/d/yy"}};
  int changes = 0;
};

TEST_F(GalleryTest, NameEntryMarksTheRowAndTypingFollows) {
  RankThird();
  bool checked = false;
  WhenModalShows([&](QWidget* modal) {
    EXPECT_EQ(modal, &gallery);
    EXPECT_EQ(gallery.windowTitle(), "Quillmont Gallery");
    EXPECT_EQ(gallery.LBCateg()->Caption(), "Duos - Standard - Medium board");
    EXPECT_TRUE(gallery.Edit1()->hasFocus());
    EXPECT_EQ(gallery.Edit1()->text(), "Marta");
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "Marta");
    EXPECT_EQ(gallery.Cell(3, 2)->text(), "7,500");
    EXPECT_EQ(gallery.Cell(3, 4)->text(), "1/2/24");
    EXPECT_EQ(gallery.Cell(1, 2)->text(), "1,234,567");
    for (int c = 0; c < 5; ++c) {
      EXPECT_EQ(TextColour(gallery.Cell(3, c)), QColor(255, 0, 0));
      EXPECT_EQ(TextColour(gallery.Cell(2, c)), QColor(0, 0, 0));
    }
    EXPECT_EQ(gallery.Cell(15, 1)->text(), "");
    EXPECT_EQ(gallery.Cell(15, 2)->text(), "0");
    EXPECT_EQ(gallery.Cell(15, 4)->text(), "");
    gallery.Edit1()->clear();
    const QString typed = "Alexandra Konstantin!";  // 21 characters
    for (int i = 0; i < typed.size(); ++i) {
      QTest::keyClick(gallery.Edit1(), typed[i].toLatin1());
      EXPECT_EQ(gallery.Cell(3, 1)->text(), typed.left(i + 1));
    }
    QTest::keyClick(gallery.Edit1(), Qt::Key_Return);  // OK is the default button
    checked = true;
  });
  gallery.ShowForNameEntry();
  EXPECT_TRUE(checked);
  EXPECT_EQ(shared.Player, "Alexandra Konstantin");
  EXPECT_EQ(shared.Tabela.At(1, 5, 2, 3).Nome, "Alexandra Konstantin");
  EXPECT_EQ(changes, 1);

  // Opened from the toolbar before a new deal: still marked, no name box.
  WhenModalShows([&](QWidget*) {
    EXPECT_FALSE(gallery.Edit1()->isVisible());
    EXPECT_FALSE(gallery.Label81()->isVisible());
    EXPECT_EQ(TextColour(gallery.Cell(3, 1)), QColor(255, 0, 0));
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "Alexandra Konstantin");
    gallery.close();
  });
  gallery.ShowForViewing();
  shared.PosicaoRanking = kNoRank;
  WhenModalShows([&](QWidget*) {
    for (int r = 1; r <= 15; ++r) EXPECT_EQ(TextColour(gallery.Cell(r, 1)), QColor(0, 0, 0));
    gallery.close();
  });
  gallery.ShowForViewing();
}

TEST_F(GalleryTest, CloseBoxKeepsTheFormerName) {
  RankThird();
  WhenModalShows([&](QWidget*) {
    QTest::keyClicks(gallery.Edit1(), "XYZ");
    gallery.close();
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(shared.Player, "Marta");
  EXPECT_EQ(shared.Tabela.At(1, 5, 2, 3).Nome, "Marta");
}

TEST_F(GalleryTest, EscAsksBeforeResetAndCancelKeepsTheTable) {
  const TTabelaRecordes before = shared.Tabela;
  bool asked = false;
  WhenModalShows([&](QWidget*) {
    WhenModalShows([&](QWidget* box) {
      auto* message = qobject_cast<QMessageBox*>(box);
      ASSERT_NE(message, nullptr);
      EXPECT_EQ(message->text(), "Reset gallery?");
      EXPECT_EQ(message->windowTitle(), "Attention");
      asked = true;
      message->button(QMessageBox::Cancel)->click();
      QTimer::singleShot(0, &gallery, [this] { gallery.close(); });
    });
    QTest::keyClick(&gallery, Qt::Key_Escape);
  });
  gallery.ShowForViewing();
  EXPECT_TRUE(asked);
  EXPECT_EQ(shared.Tabela, before);
  EXPECT_EQ(changes, 0);
}

TEST_F(GalleryTest, ResetEmptiesTheCategoryOnShowOnly) {
  shared.Tabela.At(0, 4, 2, 1).Nome = "Other";
  shared.Tabela.At(0, 4, 2, 1).Escore = TReal6::FromDouble(5);
  gallery.confirmReset = [] { return true; };
  WhenModalShows([&](QWidget*) {
    QTest::mouseClick(gallery.BitBtn2(), Qt::LeftButton);
    for (int r = 1; r <= 15; ++r) {
      EXPECT_EQ(gallery.Cell(r, 1)->text(), "");
      EXPECT_EQ(gallery.Cell(r, 2)->text(), "0");
      EXPECT_EQ(gallery.Cell(r, 3)->text(), "0");
      EXPECT_EQ(gallery.Cell(r, 4)->text(), "");
    }
    gallery.close();
  });
  gallery.ShowForViewing();
  for (int r = 1; r <= 15; ++r) EXPECT_EQ(shared.Tabela.At(1, 5, 2, r), TRecorde{});
  EXPECT_EQ(shared.Tabela.At(0, 4, 2, 1).Nome, "Other");
  EXPECT_EQ(changes, 1);
}

TEST_F(GalleryTest, ResetDuringNameEntryLeavesNoPhantomName) {
  RankThird();
  gallery.confirmReset = [] { return true; };
  WhenModalShows([&](QWidget*) {
    QTest::mouseClick(gallery.BitBtn2(), Qt::LeftButton);
    QTest::mouseClick(gallery.BitBtn1(), Qt::LeftButton);
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(shared.Tabela.At(1, 5, 2, 3), TRecorde{});
  EXPECT_EQ(shared.Player, "Marta");
}

TEST_F(GalleryTest, TabOrderAndNonLatin1Names) {
  RankThird();
  WhenModalShows([&](QWidget*) {
    gallery.BitBtn1()->setFocus();
    QTest::keyClick(gallery.BitBtn1(), Qt::Key_Tab);
    EXPECT_TRUE(gallery.Edit1()->hasFocus());
    QTest::keyClick(gallery.Edit1(), Qt::Key_Tab);
    EXPECT_TRUE(gallery.BitBtn2()->hasFocus());
    gallery.Edit1()->setText(QString::fromUtf8("Zo\u00eb \u65e5"));
    QTest::mouseClick(gallery.BitBtn1(), Qt::LeftButton);
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(shared.Player, "Zo\xEB ?");
  EXPECT_EQ(shared.Tabela.At(1, 5, 2, 3).Nome, "Zo\xEB ?");
}

}  // namespace
}  // namespace quillmont
