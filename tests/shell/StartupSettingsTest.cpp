// Start-up and shutdown of the real main window: what the settings file
// gives, that exactly one board is dealt, and what is written back.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "MainWindowHarness.h"
#include "game/TileDrawing.h"

namespace quillmont::testing {
namespace {

TEST(StartupSettings, FirstRunUsesDefaultsAndWritesNothingUntilShutdown) {
  MainWindowHarness h;
  // What writes killed half-way left behind goes at start-up; the player's
  // own copies stay.
  WriteFile(h.ConfigFolder() / ".QUILLMONT.INI.tmp-x1Y2z3", "[Quillmont]\nBoa");
  WriteFile(h.ProgramFolder() / ".QUILLMONT.REC.tmp-AbC123", "     ");
  WriteFile(h.ConfigFolder() / "QUILLMONT.INI.backup", "[Quillmont]\n");
  WriteFile(h.ProgramFolder() / "QUILLMONT.REC.AbC123", "     ");
  TFormGame& form = h.Start();
  EXPECT_FALSE(std::filesystem::exists(h.ConfigFolder() / ".QUILLMONT.INI.tmp-x1Y2z3"));
  EXPECT_FALSE(std::filesystem::exists(h.ProgramFolder() / ".QUILLMONT.REC.tmp-AbC123"));
  EXPECT_TRUE(std::filesystem::exists(h.ConfigFolder() / "QUILLMONT.INI.backup"));
  EXPECT_TRUE(std::filesystem::exists(h.ProgramFolder() / "QUILLMONT.REC.AbC123"));
  EXPECT_EQ(form.LevelGroup()->checkedId(), 0);  // Easy
  EXPECT_EQ(form.BoardGroup()->checkedId(), 0);  // Small
  EXPECT_EQ(form.SettingGroup()->checkedId(), 0);  // Duos
  EXPECT_FALSE(form.MuteBox()->isChecked());
  EXPECT_EQ(h.form->Options().Player.Text(), "");
  EXPECT_EQ(form.DealCount(), 1);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "48");
  EXPECT_EQ(form.ScoreLabel()->text(), "0");
  EXPECT_FALSE(std::filesystem::exists(h.SettingsPath()));
  h.Stop();
  EXPECT_EQ(h.Settings(), "[Quillmont]\nPlayer=\nNumFits=2\nBoard=0\nColors=0\n");
  EXPECT_TRUE(std::filesystem::exists(h.ProgramFolder() / "QUILLMONT.REC"));
  EXPECT_EQ(std::filesystem::file_size(h.ProgramFolder() / "QUILLMONT.REC"), 15120u);
}

TEST(StartupSettings, StoredOptionsSelectTheirChoicesAndDealOnce) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\r\nColors=2\r\nBoard=1\r\nNumFits=3\r\nMute=1\r\nSymbols=1\r\n");
  TFormGame& form = h.Start();
  EXPECT_TRUE(form.SymbolsBox()->isChecked());
  PixelBuffer plain;
  PaintTile(form.Jogo().Peca(3, 3), plain);
  EXPECT_NE(form.Image(Cell{3, 3}.Index())->Picture(), plain);
  EXPECT_EQ(form.LevelGroup()->checkedId(), 2);  // Difficult
  EXPECT_EQ(form.BoardGroup()->checkedId(), 1);  // Medium
  EXPECT_EQ(form.SettingGroup()->checkedId(), 1);  // Trios
  EXPECT_TRUE(form.MuteBox()->isChecked());
  EXPECT_TRUE(form.Options().Mute);
  EXPECT_EQ(form.DealCount(), 1);
  EXPECT_EQ(h.form->Options().category.NumColors(), 6);
  EXPECT_EQ(h.form->Options().category.Board(), 1);
  EXPECT_EQ(h.form->Options().category.NumFits(), 3);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "72");
  EXPECT_EQ(form.BoardPanel()->height(), 392);
  EXPECT_TRUE(h.errors.empty());
}

TEST(StartupSettings, SwitchesOtherThanOneAreOffAndShutdownLeavesThem) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nMute=2\nSymbols=-1\n");
  TFormGame& form = h.Start();
  EXPECT_FALSE(form.MuteBox()->isChecked());
  EXPECT_FALSE(form.SymbolsBox()->isChecked());
  h.Stop();
  EXPECT_NE(h.Settings().find("Mute=2\nSymbols=-1\n"), std::string::npos);
}

TEST(StartupSettings, HexadecimalAndBadColors) {
  for (const char* value : {"$1", "0x1", "0X1"}) {
    MainWindowHarness h;
    h.WriteSettings(std::string("[Quillmont]\nColors=") + value + "\n");
    TFormGame& form = h.Start();
    EXPECT_EQ(form.LevelGroup()->checkedId(), 1) << value;
    EXPECT_EQ(h.form->Options().category.NumColors(), 5) << value;
  }
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nColors=abc\n");
  TFormGame& form = h.Start();
  EXPECT_EQ(form.LevelGroup()->checkedId(), 0);
  EXPECT_EQ(h.form->Options().category.NumColors(), 4);
}

TEST(StartupSettings, OutOfRangeOptionsAreBroughtIntoRange) {
  struct Case {
    const char* text;
    int board, colors, fits;
  };
  const Case cases[] = {
      {"Board=7", 2, 4, 2},       {"Board=256", 2, 4, 2},  // no wrap to Small when narrowed
      {"Board=-1", 0, 4, 2},      {"Colors=9", 0, 6, 2},  {"Colors=-5", 0, 4, 2},
      {"NumFits=4", 0, 4, 3},     {"NumFits=0", 0, 4, 2},
  };
  for (const Case& c : cases) {
    MainWindowHarness h;
    h.WriteSettings(std::string("[Quillmont]\n") + c.text + "\n");
    TFormGame& form = h.Start();
    EXPECT_EQ(form.BoardGroup()->checkedId(), c.board) << c.text;
    EXPECT_EQ(h.form->Options().category.Board(), c.board) << c.text;
    EXPECT_EQ(h.form->Options().category.NumColors(), c.colors) << c.text;
    EXPECT_EQ(h.form->Options().category.NumFits(), c.fits) << c.text;
    EXPECT_EQ(form.DealCount(), 1) << c.text;
    h.Stop();
    EXPECT_NE(h.Settings().find("Board=" + std::to_string(c.board) + "\n"), std::string::npos) << c.text;
  }
}

TEST(StartupSettings, LongPlayerNameIsCutAndLosesItsControlCharacters) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nPlayer=AB\x1A\x7F\x01" "EFGHIJKLMNOPQRSTUVWXY\n");
  h.Start();
  EXPECT_EQ(h.form->Options().Player.Text(), "AB   EFGHIJKLMNOPQRS");
  h.Stop();
  EXPECT_NE(h.Settings().find("Player=AB   EFGHIJKLMNOPQRS\n"), std::string::npos);
  EXPECT_EQ(h.Settings().find("ABCDEFGHIJKLMNOPQRSTU"), std::string::npos);

  // Saved by an editor as UTF-8 with a byte-order mark: every key counts,
  // the name comes in as single bytes, and the file is written back once,
  // without the mark and without a second section.
  MainWindowHarness bom;
  bom.WriteSettings("\xEF\xBB\xBF[Quillmont]\r\nPlayer=\xC5\x81ukasz Zo\xC3\xAB\r\nBoard=2\r\nColors=2\r\nNumFits=3\r\n");
  bom.Start();
  EXPECT_EQ(bom.form->Options().Player.Text(), "ukasz Zo\xEB");
  EXPECT_EQ(bom.form->Options().category.Board(), 2);
  EXPECT_EQ(bom.form->Options().category.NumColors(), 6);
  EXPECT_EQ(bom.form->Options().category.NumFits(), 3);
  bom.Stop();
  EXPECT_EQ(bom.Settings(), "[Quillmont]\r\nPlayer=ukasz Zo\xEB\r\nBoard=2\r\nColors=2\r\nNumFits=3\r\n");
}

TEST(StartupSettings, OptionClicksDealAtOnceAndWriteOnlyAtShutdown) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nBoard=0\n");
  // A second copy of the program, open all the while and left idle.
  auto idle = std::make_unique<TFormGame>(GameServices{h.clock, h.random, h.sound, h.Folder(),
                                                       h.SettingsPath().string(), h.UserRecordsPath().string()});
  TFormGame& form = h.Start();
  const std::string before = h.Settings();
  QTest::mouseClick(form.BoardGroup()->button(2), Qt::LeftButton);
  EXPECT_EQ(form.DealCount(), 2);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "126");
  EXPECT_EQ(form.BoardPanel()->height(), 420);
  QTest::mouseClick(form.LevelGroup()->button(1), Qt::LeftButton);
  QTest::mouseClick(form.SettingGroup()->button(1), Qt::LeftButton);
  EXPECT_EQ(form.DealCount(), 4);
  EXPECT_EQ(h.form->Options().category.NumColors(), 5);
  EXPECT_EQ(h.form->Options().category.NumFits(), 3);
  // Clicking the choice already selected deals nothing.
  QTest::mouseClick(form.SettingGroup()->button(1), Qt::LeftButton);
  EXPECT_EQ(form.DealCount(), 4);
  EXPECT_EQ(h.Settings(), before);
  h.Stop();
  EXPECT_EQ(h.Settings(), "[Quillmont]\nBoard=2\nPlayer=\nNumFits=3\nColors=1\n");
  idle.reset();  // closing last, it changed nothing and so writes nothing
  EXPECT_EQ(h.Settings(), "[Quillmont]\nBoard=2\nPlayer=\nNumFits=3\nColors=1\n");
}

TEST(StartupSettings, MuteBoxWritesAtOnceAndSilencesTheGame) {
  MainWindowHarness h;
  TFormGame& form = h.Start();
  QTest::mouseClick(form.MuteBox(), Qt::LeftButton);
  EXPECT_TRUE(form.Options().Mute);
  EXPECT_EQ(h.Settings(), "[Quillmont]\nMute=1\n");
  // A completed pick, matching or not, plays a sound unless muted.
  ClickCell(form, 5, 3);
  ClickCell(form, 5, 4);
  EXPECT_EQ(form.Jogo().PecasRestantes(), 46);
  EXPECT_TRUE(h.sound.played.empty());
  QTest::mouseClick(form.MuteBox(), Qt::LeftButton);
  EXPECT_FALSE(form.Options().Mute);
  EXPECT_EQ(h.Settings(), "[Quillmont]\nMute=0\n");
  ClickCell(form, 6, 3);
  ClickCell(form, 6, 4);
  EXPECT_EQ(h.sound.played.size(), 1u);
}

TEST(StartupSettings, SymbolsBoxMarksTheBoardAtOnceAndIsStoredAtOnce) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nBoard=2\nColors=2\n");
  TFormGame& form = h.Start();
  const Game& game = form.Jogo();
  ClickCell(form, 2, 2);
  QTest::mouseClick(form.SymbolsBox(), Qt::LeftButton);
  EXPECT_EQ(h.Settings(), "[Quillmont]\nBoard=2\nColors=2\nSymbols=1\n");
  EXPECT_EQ(form.DealCount(), 1);
  EXPECT_EQ(game.Peca(2, 2).Estado, kSelecionada);

  // Every tile of the big difficult board is painted again, with its marks
  // and then, off again, as it was (the selected one too).
  const auto showsTiles = [&](bool symbols) {
    for (int r = game.LinIni(); r <= game.LinFim(); ++r)
      for (int c = game.ColIni(); c <= game.ColFim(); ++c) {
        PixelBuffer expected;
        PaintTile(game.Peca(c, r), expected, symbols);
        EXPECT_EQ(form.Image(Cell{c, r}.Index())->Picture(), expected) << c << "," << r << " symbols " << symbols;
      }
  };
  showsTiles(true);
  QTest::mouseClick(form.SymbolsBox(), Qt::LeftButton);
  EXPECT_EQ(h.Settings(), "[Quillmont]\nBoard=2\nColors=2\nSymbols=0\n");
  showsTiles(false);
}

TEST(StartupSettings, MinimisingAndRestoringDealsNothing) {
  MainWindowHarness h;
  TFormGame& form = h.Start();
  form.showMinimized();
  QApplication::processEvents();
  form.showNormal();
  QApplication::processEvents();
  form.hide();
  form.show();
  QApplication::processEvents();
  EXPECT_EQ(form.DealCount(), 1);
}

TEST(StartupSettings, UnwritableSettingsAreReportedWithTheirPath) {
  MainWindowHarness h;
  // A settings path below a regular file can never be created, even as root.
  WriteFile(h.ConfigFolder() / "blocker", "x");
  h.form = std::make_unique<TFormGame>(
      GameServices{h.clock, h.random, h.sound, h.Folder(),
                             (h.ConfigFolder() / "blocker" / "QUILLMONT.INI").string(),
                             h.UserRecordsPath().string()});
  h.form->show();
  QApplication::processEvents();
  QTest::mouseClick(h.form->MuteBox(), Qt::LeftButton);
  ASSERT_EQ(h.errors.size(), 1u);
  EXPECT_EQ(h.errors[0], "Unable to write to " + (h.ConfigFolder() / "blocker" / "QUILLMONT.INI").string());
  EXPECT_TRUE(h.form->Options().Mute);  // the box and the variable changed all the same
  QTest::mouseClick(h.form->MuteBox(), Qt::LeftButton);
  h.Stop();
  EXPECT_EQ(h.errors.size(), 1u);  // said once for the run, not at every click nor again at shutdown
}

}  // namespace
}  // namespace quillmont::testing
