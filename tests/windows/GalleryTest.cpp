// The gallery window driven offscreen: the marked row, typing a name, OK
// against the close box, Reset, viewing mode and its browsing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/ModalWindows.h"
#include "controls/TLabel3D.h"
#include "platform/Clock.h"
#include "records/RecordsFile.h"
#include "records/RecordsStore.h"
#include "records/TDataHora.h"
#include "platform/qt/ErrorReport.h"
#include "records/BestPlayers.h"
#include "records/GameOptions.h"
#include "platform/qt/LocaleFormats.h"
#include "windows/TGallery.h"

namespace quillmont {
namespace {

using testing::WhenModalShows;


QColor TextColour(QLabel* label) { return label->palette().color(QPalette::WindowText); }

// Answers the real "Reset gallery?" box once it shows: with a click on the
// given button, or with Enter where the focus is (NoButton).
void AnswerResetBox(QMessageBox::StandardButton answer, bool* asked) {
  WhenModalShows([answer, asked](QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "Reset gallery?");
    EXPECT_EQ(message->windowTitle(), "Attention");
    EXPECT_EQ(message->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(message->parentWidget(), nullptr);
    EXPECT_NE(message->button(QMessageBox::Ok), nullptr);
    *asked = true;
    if (answer == QMessageBox::NoButton) {
      QTest::keyClick(message->focusWidget() != nullptr ? message->focusWidget() : message, Qt::Key_Return);
    } else {
      message->button(answer)->click();
    }
  });
}

class GalleryTest : public ::testing::Test {
 protected:
  GalleryTest() {
    std::filesystem::create_directories(file.parent_path());
    options.category = Category(1, 5, 2);
    options.Player = PlayerName("Marta");
    TTabelaRecordes table;
    for (int r = 1; r <= 4; ++r) {
      TRecorde& e = table.At({1, 5, 2}, r);
      e.Nome = "P" + std::to_string(r);
      e.Escore = TReal6::FromDouble(r == 1 ? 1234567 : 10000 - 1000 * r);
      e.Perdidas = r;
      e.Data = 45292;
    }
    Keep(table);
    gallery.onTableChanged = [this] { ++changes; };
  }
  ~GalleryTest() override { std::filesystem::remove_all(file.parent_path()); }

  // The best players as the file holding `table` gives them.
  void Keep(const TTabelaRecordes& table) {
    { std::ofstream(file, std::ios::binary) << FormatRecords(table); }
    best.Load();
  }
  TTabelaRecordes InFile() const {
    std::ifstream in(file, std::ios::binary);
    return ParseRecords(std::string(std::istreambuf_iterator<char>(in), {}));
  }

  void RankThird() {
    best.RankFinishedGame(options.category, TReal6::FromDouble(7500), 3, Today(SystemClock{}));
    ASSERT_EQ(best.PosicaoRanking(), 3);
  }

  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("qm-gallery-" + std::to_string(::getpid())) / "QUILLMONT.REC";
  BestPlayers best{RecordsStore(file.string(), "")};
  GameOptions options;
  TGallery gallery{best, options, GalleryFormats{",", "M/d/yy"}};
  int changes = 0;
};

TEST_F(GalleryTest, NameEntryMarksTheRowAndTypingFollows) {
  RankThird();
  bool checked = false;
  WhenModalShows([&](QWidget* modal) {
    EXPECT_EQ(modal, &gallery);
    EXPECT_EQ(gallery.windowTitle(), "Quillmont Gallery");
    EXPECT_EQ(gallery.pos(), QPoint(200, 108));
    EXPECT_EQ(gallery.CategoryTitle()->Caption(), "Duos - Standard - Medium board");
    EXPECT_TRUE(gallery.NameBox()->hasFocus());
    EXPECT_EQ(gallery.NameBox()->text(), "Marta");
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "Marta");
    EXPECT_EQ(gallery.Cell(3, 2)->text(), "7,500");
    EXPECT_EQ(gallery.Cell(3, 4)->text(), QDate::currentDate().toString("M/d/yy"));
    EXPECT_EQ(gallery.Cell(2, 4)->text(), "1/1/24");
    EXPECT_EQ(gallery.Cell(1, 2)->text(), "1,234,567");
    QLabel* score = gallery.Cell(1, 2);  // wide enough for every digit, right edge kept
    EXPECT_GE(score->width(), score->fontMetrics().horizontalAdvance(score->text()));
    EXPECT_EQ(score->geometry().right(), 214 + 40 - 1);
    EXPECT_EQ(gallery.Cell(2, 2)->geometry(), QRect(214, 54, 40, 13));
    for (int c = 0; c < 5; ++c) {
      EXPECT_EQ(TextColour(gallery.Cell(3, c)), QColor(255, 0, 0));
      EXPECT_EQ(TextColour(gallery.Cell(2, c)), QColor(0, 0, 0));
    }
    EXPECT_EQ(gallery.Cell(15, 1)->text(), "");
    EXPECT_EQ(gallery.Cell(15, 2)->text(), "0");
    EXPECT_EQ(gallery.Cell(15, 4)->text(), "");
    gallery.NameBox()->clear();
    const QString typed = " Alexandra Konstantinova";  // 24 characters, a leading blank
    for (int i = 0; i < typed.size(); ++i) {
      QTest::keyClicks(gallery.NameBox(), typed.mid(i, 1));
      EXPECT_EQ(gallery.Cell(3, 1)->text(), typed.left(i + 1));
    }
    QTest::keyClicks(gallery.NameBox(), "X");
    QTest::keyClick(gallery.NameBox(), Qt::Key_Return);  // OK is the default button
    checked = true;
  });
  // The owner is told only once the name is in the table, so its write holds it.
  std::string storedWhenTold;
  gallery.onTableChanged = [&] {
    ++changes;
    storedWhenTold = best.Tabela().At({1, 5, 2}, 3).Nome;
  };
  EXPECT_EQ(gallery.ShowForNameEntry(), QDialog::Accepted);
  EXPECT_TRUE(checked);
  EXPECT_EQ(options.Player.Text(), " Alexandra Konstanti");  // first 20, nothing trimmed
  EXPECT_EQ(best.Tabela().At({1, 5, 2}, 3).Nome, " Alexandra Konstanti");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(storedWhenTold, " Alexandra Konstanti");

  // Opened from the toolbar before a new deal: still marked, no name box;
  // OK there leaves the remembered name alone.
  options.Player = PlayerName("Reviewer");
  WhenModalShows([&](QWidget*) {
    EXPECT_FALSE(gallery.NameBox()->isVisible());
    EXPECT_FALSE(gallery.NameCaption()->isVisible());
    EXPECT_EQ(TextColour(gallery.Cell(3, 1)), QColor(255, 0, 0));
    EXPECT_EQ(gallery.Cell(3, 1)->text(), " Alexandra Konstanti");
    QTest::keyClick(&gallery, Qt::Key_Return);
  });
  gallery.ShowForViewing();
  EXPECT_EQ(options.Player.Text(), "Reviewer");
  EXPECT_EQ(changes, 1);  // viewing changes nothing
  best.ClearMark();
  WhenModalShows([&](QWidget*) {
    for (int r = 1; r <= 15; ++r) EXPECT_EQ(TextColour(gallery.Cell(r, 1)), QColor(0, 0, 0));
    gallery.close();
  });
  gallery.ShowForViewing();
}

// A turn of the wheel over the rows, in eighths of a degree, where the
// window system's event arrives once the row's label has ignored it.
void Wheel(TGallery& gallery, int angle) {
  QWidget* rows = gallery.Cell(1, 1)->parentWidget();
  QWheelEvent wheel(QPointF(60, 40), rows->mapToGlobal(QPointF(60, 40)), {}, QPoint(0, angle), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(rows, &wheel);
}

TEST_F(GalleryTest, ViewingBrowsesEveryCategoryAndNameEntryNever) {
  gallery.onTableChanged = [&] { best.Save(); };
  // The file's order, each category's last row named after its place.
  std::vector<QString> titles;
  for (const char* board : {"Small", "Medium", "Big"})
    for (const char* level : {"Easy", "Standard", "Difficult"})
      for (const char* setting : {"Duos", "Trios"}) titles.push_back(QString("%1 - %2 - %3 board").arg(setting, level, board));
  RankThird();  // Duos - Standard - Medium: the 9th category
  TTabelaRecordes named = best.Tabela();
  for (int i = 0; i < 18; ++i) named.Line(15 * i + 14).Nome = "C" + std::to_string(i);
  Keep(named);
  const auto showsCategory = [&](int i) {
    EXPECT_EQ(gallery.CategoryTitle()->Caption(), titles[static_cast<std::size_t>(i)]);
    EXPECT_EQ(gallery.Cell(15, 1)->text(), QString("C%1").arg(i));
    EXPECT_EQ(TextColour(gallery.Cell(3, 1)), i == 8 ? QColor(255, 0, 0) : QColor(0, 0, 0)) << i;
  };
  TTabelaRecordes expected;
  gallery.confirmReset = [] { return true; };
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(gallery.CategoryTitle()->toolTip(), "Page Up / Page Down: other categories");
    showsCategory(8);
    for (int step = 1; step <= 18; ++step) {  // round once, wrapping after Big
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
      showsCategory((8 + step) % 18);
    }
    for (int step = 1; step <= 9; ++step) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    showsCategory(17);  // back past the first
    Wheel(gallery, -120);  // down: the next
    showsCategory(0);
    Wheel(gallery, 60);  // half a notch does nothing yet
    showsCategory(0);
    Wheel(gallery, 60);
    showsCategory(17);
    // Reset clears the category on show, in the file at once, and no other.
    expected = best.Tabela();
    expected.ClearCategory({2, 6, 3});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(gallery.Cell(15, 1)->text(), "");
    gallery.close();
  });
  gallery.ShowForViewing();
  EXPECT_EQ(InFile(), expected);
  EXPECT_EQ(best.Tabela().At({1, 5, 2}, 3).Nome, "");
  EXPECT_TRUE(best.AwaitsName());  // our result elsewhere still takes its name

  // Each opening starts at the game's own category; name entry never browses.
  WhenModalShows([&](QWidget*) {
    showsCategory(8);
    EXPECT_EQ(gallery.CategoryTitle()->toolTip(), "");
    QTest::keyClick(gallery.NameBox(), Qt::Key_PageDown);
    Wheel(gallery, -120);
    showsCategory(8);
    gallery.close();
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(InFile().At({1, 5, 2}, 3).Nome, "Marta");
}

TEST_F(GalleryTest, CloseBoxKeepsTheFormerName) {
  RankThird();
  WhenModalShows([&](QWidget*) {
    QTest::keyClicks(gallery.NameBox(), "XYZ");
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "XYZ");  // the offered name was selected
    gallery.close();
  });
  EXPECT_EQ(gallery.ShowForNameEntry(), QDialog::Rejected);
  EXPECT_EQ(options.Player.Text(), "Marta");
  EXPECT_EQ(best.Tabela().At({1, 5, 2}, 3).Nome, "Marta");
  EXPECT_EQ(changes, 1);
}

TEST_F(GalleryTest, EscAsksBeforeResetAndEnterOrCancelKeepsTheTable) {
  RankThird();
  const TTabelaRecordes before = best.Tabela();
  bool askedEnter = false;
  bool asked = false;
  bool stillOpen = false;
  WhenModalShows([&](QWidget*) {
    // Esc and then Enter at once: Cancel is the question's default.
    AnswerResetBox(QMessageBox::NoButton, &askedEnter);
    QTest::keyClick(gallery.NameBox(), Qt::Key_Escape);
    AnswerResetBox(QMessageBox::Cancel, &asked);
    QTest::keyClick(gallery.NameBox(), Qt::Key_Escape);  // Esc from the name box
    // Esc is Reset's key, not the close key: the window is still up.
    QTimer::singleShot(0, &gallery, [&] {
      stillOpen = gallery.isVisible() && QApplication::activeModalWidget() == &gallery;
      EXPECT_EQ(gallery.Cell(3, 1)->text(), "Marta");
      gallery.close();
    });
  });
  gallery.ShowForNameEntry();
  EXPECT_TRUE(askedEnter);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(stillOpen);
  TTabelaRecordes expected = before;
  expected.At({1, 5, 2}, 3).Nome = "Marta";
  EXPECT_EQ(best.Tabela(), expected);
  EXPECT_EQ(changes, 1);  // the name only
}

TEST_F(GalleryTest, EscAndOkEmptyTheCategoryOnShowOnly) {
  TTabelaRecordes others = best.Tabela();
  others.At({0, 4, 2}, 1).Nome = "Other";
  others.At({0, 4, 2}, 1).Escore = TReal6::FromDouble(5);
  others.At({1, 5, 3}, 1).Nome = "Trios";
  Keep(others);
  bool asked = false;
  WhenModalShows([&](QWidget*) {
    AnswerResetBox(QMessageBox::Ok, &asked);
    QTest::keyClick(&gallery, Qt::Key_Escape);
    QTimer::singleShot(0, &gallery, [&] {
      EXPECT_TRUE(gallery.isVisible());
      for (int r = 1; r <= 15; ++r) {
        EXPECT_EQ(gallery.Cell(r, 0)->text(), QString::number(r));
        EXPECT_EQ(gallery.Cell(r, 1)->text(), "");
        EXPECT_EQ(gallery.Cell(r, 2)->text(), "0");
        EXPECT_EQ(gallery.Cell(r, 3)->text(), "0");
        EXPECT_EQ(gallery.Cell(r, 4)->text(), "");
      }
      gallery.close();
    });
  });
  gallery.ShowForViewing();
  EXPECT_TRUE(asked);
  for (int r = 1; r <= 15; ++r) EXPECT_EQ(best.Tabela().At({1, 5, 2}, r), TRecorde{});
  EXPECT_EQ(best.Tabela().At({0, 4, 2}, 1).Nome, "Other");
  EXPECT_EQ(best.Tabela().At({1, 5, 3}, 1).Nome, "Trios");
  EXPECT_EQ(changes, 1);
}

TEST_F(GalleryTest, ResetDuringNameEntryLeavesNoPhantomName) {
  RankThird();
  gallery.confirmReset = [] { return true; };
  WhenModalShows([&](QWidget*) {
    QTest::mouseClick(gallery.ResetButton(), Qt::LeftButton);
    EXPECT_EQ(changes, 1);  // told at once, so the emptied table is written
    EXPECT_EQ(TextColour(gallery.Cell(3, 1)), QColor(255, 0, 0));  // still marked
    QTest::keyClicks(gallery.NameBox(), "Z");
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "");  // the emptied row shows no name
    QTest::mouseClick(gallery.OkButton(), Qt::LeftButton);
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(best.Tabela().At({1, 5, 2}, 3), TRecorde{});
  EXPECT_EQ(options.Player.Text(), "MartaZ");
  // Viewed afterwards, the row still shows no name.
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "");
    gallery.close();
  });
  gallery.ShowForViewing();
}

TEST_F(GalleryTest, RestoringAfterMinimisingKeepsTheTypedName) {
  RankThird();
  WhenModalShows([&](QWidget*) {
    QTest::keyClicks(gallery.NameBox(), "Zed");
    // Restoring sends the window a spontaneous show, as the window system does.
    gallery.setWindowState(Qt::WindowMinimized);
    gallery.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(gallery.NameBox()->text(), "Zed");
    EXPECT_EQ(gallery.Cell(3, 1)->text(), "Zed");
    QTest::mouseClick(gallery.OkButton(), Qt::LeftButton);
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(best.Tabela().At({1, 5, 2}, 3).Nome, "Zed");
}

TEST_F(GalleryTest, TabOrderAndNonLatin1Names) {
  RankThird();
  WhenModalShows([&](QWidget*) {
    gallery.OkButton()->setFocus();
    QTest::keyClick(gallery.OkButton(), Qt::Key_Tab);
    EXPECT_TRUE(gallery.NameBox()->hasFocus());
    QTest::keyClick(gallery.NameBox(), Qt::Key_Tab);
    EXPECT_TRUE(gallery.ResetButton()->hasFocus());
    // Letters that Latin-1 cannot hold are refused as typed or pasted, so
    // what shows is what is stored, never a "?".
    gallery.NameBox()->clear();
    for (const QChar c : QString::fromUtf8("\u0141ukasz Zo\u00eb")) {
      QTest::sendKeyEvent(QTest::Click, gallery.NameBox(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    gallery.NameBox()->insert(QString::fromUtf8(" \u65e5\U0001F600!"));
    EXPECT_EQ(gallery.NameBox()->text(), QString::fromUtf8("ukasz Zo\u00eb !"));
    EXPECT_TRUE(QToolTip::text().contains("Latin-1")) << QToolTip::text().toStdString();  // said, not silent
    EXPECT_EQ(gallery.NameBox()->cursorPosition(), 11);
    EXPECT_EQ(gallery.Cell(3, 1)->text(), gallery.NameBox()->text());
    QTest::mouseClick(gallery.OkButton(), Qt::LeftButton);
  });
  gallery.ShowForNameEntry();
  EXPECT_EQ(options.Player.Text(), "ukasz Zo\xEB !");
  EXPECT_EQ(best.Tabela().At({1, 5, 2}, 3).Nome, "ukasz Zo\xEB !");
  gallery.AtualizaGaleria();  // the stored bytes read back as the same letters
  EXPECT_EQ(gallery.Cell(3, 1)->text(), QString::fromUtf8("ukasz Zo\u00eb !"));
}

TEST_F(GalleryTest, ControlsKeepTheirPlaces) {
  EXPECT_EQ(gallery.size(), QSize(403, 437));
  EXPECT_EQ(gallery.OkButton()->geometry(), QRect(222, 364, 75, 25));
  EXPECT_EQ(gallery.ResetButton()->geometry(), QRect(304, 364, 75, 25));
  EXPECT_EQ(gallery.NameBox()->geometry(), QRect(8, 368, 177, 21));
  EXPECT_TRUE(gallery.OkButton()->isDefault());
  EXPECT_FALSE(gallery.ResetButton()->isDefault());
  EXPECT_EQ(gallery.CategoryTitle()->geometry(), QRect(65, 24, 265, 26));
  // Even the longest category title fits its fixed width, at 19 pixels.
  const QFont title = gallery.CategoryTitle()->font();
  EXPECT_EQ(title.pixelSize(), 19);
  EXPECT_LE(QFontMetrics(title).horizontalAdvance("Trios - Difficult - Medium board") + 2, 265);
  // Rows sit 16 pixels apart from 38, inside the panel at 6, 56.
  EXPECT_EQ(gallery.Cell(1, 0)->geometry(), QRect(16, 38, 28, 13));
  EXPECT_EQ(gallery.Cell(15, 4)->geometry(), QRect(310, 262, 49, 13));
  EXPECT_EQ(gallery.Cell(15, 1)->mapTo(&gallery, QPoint(0, 0)), QPoint(6 + 56, 56 + 262));
  // The caption is never cut, whatever the font's width.
  QLabel* caption = gallery.NameCaption();
  EXPECT_EQ(caption->pos(), QPoint(8, 352));
  EXPECT_GE(caption->width(), caption->fontMetrics().horizontalAdvance(caption->text()));
  EXPECT_GE(caption->width(), 68);
}

// Names come from files that others may write: shown as markup, this one
// made Qt open the file it names (a FIFO there froze the window for good).
// The error box shows paths the same way.
TEST_F(GalleryTest, MarkupInANameOrAMessageShowsAsItsCharacters) {
  namespace fs = std::filesystem;
  const fs::path former = fs::current_path(), folder = fs::temp_directory_path() / ("qm-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  fs::current_path(folder);
  std::ofstream("q1") << "";
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(watch, "q1", IN_OPEN), 0);
  std::string bytes = FormatRecords(TTabelaRecordes{});  // line 121: Duos - Standard - Medium, rank 1
  bytes.replace(120 * 56, 56, "        <img src=q1>    4000 3  4.52920000000000E+0004\r\n");
  Keep(ParseRecords(bytes));
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(gallery.Cell(1, 1)->text(), "<img src=q1>");
    for (int c = 0; c < 5; ++c) EXPECT_EQ(gallery.Cell(1, c)->textFormat(), Qt::PlainText) << c;
    gallery.grab();
    WhenModalShows([](QWidget* box) {
      auto* message = qobject_cast<QMessageBox*>(box);
      ASSERT_NE(message, nullptr);
      EXPECT_EQ(message->textFormat(), Qt::PlainText);
      message->grab();
      message->accept();
    });
    ReportError("Unable to write to <img src=q1>");
    gallery.close();
  });
  gallery.ShowForViewing();
  char events[256];
  EXPECT_LT(::read(watch, events, sizeof events), 0) << "q1 was opened";
  ::close(watch);
  fs::current_path(former);
  fs::remove_all(folder);
}

TEST_F(GalleryTest, EveryLocalesDateFitsItsCellAndCOfferedTheFallback) {
  // The C locale has no date format: the fallback, month/day/two-digit year.
  EXPECT_EQ(ShortDatePattern(QLocale::c()), "");
  options.category = Category();  // Duos - Easy - Small board
  for (const char* name : {"en_US", "en_GB", "de_DE", "fr_FR", "C"}) {
    SCOPED_TRACE(name);
    const QLocale locale(QString::fromLatin1(name));
    TTabelaRecordes table;
    for (int r = 1; r <= 15; ++r) {
      TRecorde& e = table.At({0, 4, 2}, r);
      e.Nome = "Ana Maria";
      e.Escore = TReal6::FromDouble(999999);
      e.Perdidas = 126;
      e.Data = EncodeDate(2088, 12, 28);
    }
    table.At({0, 4, 2}, 1).Data = EncodeDate(2026, 12, 7);
    Keep(table);
    TGallery dates(best, options, GalleryFormats{locale.groupSeparator().toStdString(), ShortDatePattern(locale)});
    dates.AtualizaGaleria();
    if (std::string(name) == "C") EXPECT_EQ(dates.Cell(1, 4)->text(), "12/7/26");
    const QWidget* panel = dates.Cell(1, 0)->parentWidget();
    for (int r = 1; r <= 15; ++r) {
      for (int c = 0; c < 5; ++c) {
        QLabel* cell = dates.Cell(r, c);
        EXPECT_LE(cell->fontMetrics().horizontalAdvance(cell->text()), cell->width()) << "cell " << c;
        if (c < 4) EXPECT_LE(cell->geometry().right(), dates.Cell(r, c + 1)->geometry().left()) << "cell " << c;
      }
      EXPECT_LE(dates.Cell(r, 4)->geometry().right(), panel->contentsRect().right());
    }
    EXPECT_LE(panel->geometry().right(), dates.width());
  }
}

}  // namespace
}  // namespace quillmont
