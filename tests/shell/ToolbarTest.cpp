// The toolbar through the real window: faces on press and release, the
// four actions, and a missing face file.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "MainWindowHarness.h"
#include "platform/qt/BitmapFile.h"
#include "windows/TGallery.h"
#include "shell/PictureControl.h"
#include "windows/TFormRules.h"
#include "windows/TMensagem.h"

namespace quillmont::testing {
namespace {

enum Slot { kNew = 0, kGallery = 1, kRules = 2, kExit = 3 };

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = &h.Start(false);
    windows = std::make_unique<Windows>(*form);
    form->AttachWindows(&windows->gallery, &windows->mensagem, &windows->rules);
    form->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    h.Stop();
    windows.reset();
  }

  PixelBuffer Face(const char* file) {
    return LoadBitmapFile(h.Folder(), file);
  }

  struct Windows {
    explicit Windows(TFormGame& form) : gallery(form.Records(), form.Options(), GalleryFormats{",", "M/d/yy"}) {}
    TGallery gallery;
    TMensagem mensagem;
    TFormRules rules;
  };

  MainWindowHarness h;
  TFormGame* form = nullptr;
  std::unique_ptr<Windows> windows;
};

TEST_F(ToolbarTest, PressShowsTheSunkenFaceAndReleaseOutsideStillDeals) {
  PictureControl* button = form->ToolbarImage(kNew);
  EXPECT_EQ(button->Picture(), Face("newgame.bmp"));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(button->Picture(), Face("dnewgame.bmp"));
  // The press grabbed the mouse: the release lands on the button wherever
  // the pointer went.
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(500, 300));
  EXPECT_EQ(button->Picture(), Face("newgame.bmp"));
  EXPECT_EQ(form->DealCount(), 2);
  // A right press holds nothing: released elsewhere it deals no board.
  QTest::mousePress(button, Qt::RightButton, {}, QPoint(10, 10));
  QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(500, 300));
  EXPECT_EQ(form->DealCount(), 2);
}

TEST_F(ToolbarTest, RightButtonOnExitClosesTheWindow) {
  PictureControl* button = form->ToolbarImage(kExit);
  QTest::mouseClick(button, Qt::RightButton);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(ToolbarTest, GalleryFromTheToolbarNeverShowsTheNameBox) {
  windows->gallery.NameBox()->setVisible(true);  // as a name entry would have left it
  bool checked = false;
  WhenModalShows([&](QWidget* modal) {
    EXPECT_EQ(modal, &windows->gallery);
    EXPECT_FALSE(windows->gallery.NameBox()->isVisible());
    checked = true;
    windows->gallery.close();
  });
  QTest::mouseClick(form->ToolbarImage(kGallery), Qt::LeftButton);
  EXPECT_TRUE(checked);
  EXPECT_EQ(form->DealCount(), 1);
}

TEST_F(ToolbarTest, RulesKeepTheirCaptionAndEditedText) {
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(windows->rules.windowTitle(), "Quillmont rules");
    EXPECT_TRUE(windows->rules.RulesBox()->toPlainText().startsWith("The objective of the game is to remove all \n"));
    windows->rules.RulesBox()->moveCursor(QTextCursor::End);
    QTest::keyClicks(windows->rules.RulesBox(), " Have fun.");
    windows->rules.setWindowTitle("changed");
    QTest::mouseClick(windows->rules.OkButton(), Qt::LeftButton);
  });
  QTest::mouseClick(form->ToolbarImage(kRules), Qt::LeftButton);
  bool second = false;
  WhenModalShows([&](QWidget*) {
    EXPECT_EQ(windows->rules.windowTitle(), "Quillmont rules");
    EXPECT_TRUE(windows->rules.RulesBox()->toPlainText().endsWith("while the Bonus Bar is running. Have fun."));
    second = true;
    windows->rules.accept();
  });
  QTest::mouseClick(form->ToolbarImage(kRules), Qt::LeftButton);
  EXPECT_TRUE(second);
}

TEST_F(ToolbarTest, MissingFaceIsReportedAndStopsTheAction) {
  std::filesystem::remove(h.ProgramFolder() / "newgame.bmp");
  PictureControl* button = form->ToolbarImage(kNew);
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(h.errors.size(), 1u);
  EXPECT_EQ(h.errors[0], "Cannot open file newgame.bmp");
  EXPECT_EQ(form->DealCount(), 1);
  EXPECT_EQ(button->Picture(), Face("dnewgame.bmp"));  // left pressed
  // A file that is no bitmap gives the other message.
  WriteFile(h.ProgramFolder() / "newgame.bmp", "not a picture");
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(h.errors.size(), 2u);
  EXPECT_EQ(h.errors[1], "Bitmap image is not valid");
  EXPECT_EQ(form->DealCount(), 1);
}

TEST_F(ToolbarTest, ShortcutsActAsTheButtonsAndTheTooltipsNameThem) {
  EXPECT_EQ(form->ToolbarImage(kNew)->toolTip(), "New game (Ctrl+N)");
  EXPECT_EQ(form->ToolbarImage(kGallery)->toolTip(), "Best players (Ctrl+H)");
  EXPECT_EQ(form->ToolbarImage(kRules)->toolTip(), "Rules (F1)");
  EXPECT_EQ(form->ToolbarImage(kExit)->toolTip(), "Exit (Ctrl+Q)");
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));

  form->ToolbarImage(kNew)->SetPicture(Face("dnewgame.bmp"));
  PressKey(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(form->DealCount(), 2);
  EXPECT_EQ(form->ToolbarImage(kNew)->Picture(), Face("newgame.bmp"));  // as after a release

  // A modal window keeps its own keys: Ctrl+N in the gallery deals nothing.
  QWidget* shown = nullptr;
  WhenModalShows([&](QWidget* modal) {
    shown = modal;
    EXPECT_FALSE(windows->gallery.NameBox()->isVisible());
    PressKey(Qt::Key_N, Qt::ControlModifier);
    windows->gallery.close();
  });
  PressKey(Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(shown, &windows->gallery);
  EXPECT_EQ(form->DealCount(), 2);

  form->activateWindow();  // as the window manager does when a modal window closes
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  shown = nullptr;
  WhenModalShows([&](QWidget* modal) {
    shown = modal;
    windows->rules.accept();
  });
  PressKey(Qt::Key_F1);
  EXPECT_EQ(shown, &windows->rules);

  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  PressKey(Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(form->isVisible());
}

}  // namespace
}  // namespace quillmont::testing

namespace quillmont::testing {
namespace {

TEST(ToolbarWindows, AreMadeWhenFirstShownAndKeptForTheRun) {
  MainWindowHarness h;
  TFormGame& form = h.Start(false);
  form.CreateWindowsOnFirstUse();
  form.show();
  QApplication::processEvents();
  std::vector<QWidget*> shown;
  const auto showAndClose = [&](int slot) {
    WhenModalShows([&](QWidget* modal) {
      shown.push_back(modal);
      modal->close();
    });
    QTest::mouseClick(form.ToolbarImage(slot), Qt::LeftButton);
  };
  for (int slot : {kRules, kGallery, kRules, kGallery}) showAndClose(slot);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0]->windowTitle(), "Quillmont rules");
  EXPECT_EQ(shown[1]->windowTitle(), "Quillmont Gallery");
  EXPECT_EQ(shown[2], shown[0]);  // the same window, with its state, the second time
  EXPECT_EQ(shown[3], shown[1]);
  // Dialogs of the main window, yet where they were designed to go, not
  // centred over it.
  for (QWidget* window : {shown[0], shown[1]}) EXPECT_EQ(window->parentWidget(), &form);
  EXPECT_EQ(shown[0]->pos(), QPoint(171, 124));
  EXPECT_EQ(shown[1]->pos(), QPoint(200, 108));
}

}  // namespace
}  // namespace quillmont::testing
