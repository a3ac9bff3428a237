// Faults the program must survive without losing its way: a bitmap file
// gone, the wave files gone, settings and records files of random bytes; and
// the box that reports them, over the main window.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <random>

#include "MainWindowHarness.h"
#include "platform/qt/SoundPlayer.h"
#include "records/RecordsFile.h"
#include "platform/ProfileFile.h"
#include "shell/PictureControl.h"

namespace quillmont::testing {
namespace {

// Two tiles still on the small board, equal or not.
std::pair<std::pair<int, int>, std::pair<int, int>> TwoTiles(const Game& game, bool equal) {
  std::vector<std::pair<int, int>> left;
  for (int c = 5; c <= 12; ++c)
    for (int r = 3; r <= 8; ++r)
      if (game.Peca(c, r).Estado == kNoTabuleiro) left.emplace_back(c, r);
  for (const auto& a : left)
    for (const auto& b : left)
      if (a != b && game.Peca(a.first, a.second).SameTile(game.Peca(b.first, b.second)) == equal) return {a, b};
  return {};
}

// Uses every picture file once: the toolbar's faces, a pair (ok.bmp) and a
// wrong pair (nok.bmp), then "Exit".
void UseEveryPicture(TFormGame& form) {
  for (int slot = 0; slot < 3; ++slot) QTest::mouseClick(form.ToolbarImage(slot), Qt::LeftButton);
  for (bool equal : {true, false}) {
    const auto [a, b] = TwoTiles(form.Jogo(), equal);
    ASSERT_NE(a.first, 0);
    ClickCell(form, a.first, a.second);
    ClickCell(form, b.first, b.second);
  }
  QTest::mouseClick(form.ToolbarImage(3), Qt::LeftButton);
}

TEST(Faults, EachBitmapMissingInTurnGivesItsMessageOnly) {
  for (const char* file : {"ok.bmp", "nok.bmp", "newgame.bmp", "dnewgame.bmp", "gallery.bmp", "dgallery.bmp",
                           "rules.bmp", "drules.bmp", "exit.bmp", "dexit.bmp"}) {
    SCOPED_TRACE(file);
    MainWindowHarness h;
    std::filesystem::remove(h.ProgramFolder() / file);
    TFormGame& form = h.Start();
    EXPECT_TRUE(h.errors.empty()) << "reported at start-up: " << h.errors.front();
    UseEveryPicture(form);
    ASSERT_FALSE(h.errors.empty());
    for (const std::string& error : h.errors) EXPECT_EQ(error, std::string("Cannot open file ") + file);
    // Both picks counted whatever picture failed.
    EXPECT_EQ(form.Panel4()->text(), "44");
    EXPECT_EQ(form.Jogo().PecasRestantes(), 44);
  }
}

TEST(Faults, MissingOrBrokenWaveFilesOrSoundModuleAreSilence) {
  MainWindowHarness h;
  std::filesystem::remove(h.ProgramFolder() / "acerto.wav");
  WriteFile(h.ProgramFolder() / "erro.wav", std::string("RIFF\x10\0\0\0WAVEjunk", 16));
  QDir::setCurrent(QString::fromStdString(h.ProgramFolder().string()));
  // The module as built (loaded on a thread at the first press, as in the
  // game), no module at all, and a module file that is no library.
  QtSoundPlayer player(QUILLMONT_TEST_ASSETS);
  QtSoundPlayer missing(h.ProgramFolder().string());
  const std::filesystem::path brokenFolder = h.ProgramFolder() / "broken";
  std::filesystem::create_directory(brokenFolder);
  WriteFile(brokenFolder / "quillmont_sound.so", "\x7f" "ELF, or so it says");
  QtSoundPlayer broken(brokenFolder.string());
  QWidget pressed;
  QTest::mousePress(&pressed, Qt::LeftButton);
  EXPECT_TRUE(player.Load());
  EXPECT_FALSE(missing.Load());
  EXPECT_FALSE(broken.Load());
  for (QtSoundPlayer* p : {&player, &missing, &broken}) {
    for (const char* file : {"acerto.wav", "erro.wav", "fim.wav", "acerto.wav", "nothing.wav"}) p->Play(file);
  }
  QTest::qWait(0);  // let the players take their events; nothing may fail
}

TEST(Faults, RandomBytesAsBothFilesStartWithDefaultsAndEmptyEntries) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    std::string noise(4096 + 997 * round, '\0');
    for (char& c : noise) c = static_cast<char>(byte(random));
    MainWindowHarness h;
    h.WriteSettings(noise);
    WriteFile(h.ProgramFolder() / "QUILLMONT.REC", noise);
    TFormGame& form = h.Start();
    EXPECT_TRUE(h.errors.empty());
    EXPECT_EQ(h.shared.Board, 0);
    EXPECT_EQ(h.shared.NumFits, 2);
    EXPECT_EQ(h.shared.NumColors, 4);
    EXPECT_EQ(h.shared.Player, "");
    EXPECT_EQ(form.Panel4()->text(), "48");
    EXPECT_EQ(h.shared.Tabela, TTabelaRecordes{});
    h.Stop();
    const std::string written = ReadFile(h.ProgramFolder() / "QUILLMONT.REC");
    EXPECT_EQ(written, FormatRecords(TTabelaRecordes{}));
    // The settings file keeps the noise and gains its own section.
    const ProfileFile settings(h.SettingsPath().string());
    EXPECT_EQ(settings.ReadInteger("Quillmont", "NumFits", 0), 2);
    EXPECT_EQ(settings.ReadString("Quillmont", "Player", "?"), "");
  }
}

TEST(Faults, TheErrorBoxStandsOverTheMainWindowWhileAnotherProgramHasTheFocus) {
  MainWindowHarness h;
  TFormGame& form = h.Start();
  QWindow other;  // another program's window: none of ours is active
  other.show();
  other.requestActivate();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_EQ(QApplication::activeWindow(), nullptr);

  SetErrorReportOwner(&form);
  ErrorPresenter recording = SetErrorPresenter({});  // the real message box
  std::vector<QWidget*> parents;
  const auto report = [&parents] {
    WhenModalShows([&parents](QWidget* box) {
      parents.push_back(box->parentWidget());
      box->close();
    });
    ReportError("Unable to write to QUILLMONT.REC");
  };
  report();
  form.close();  // closed, its shutdown still to come: nothing to stand over
  report();
  SetErrorPresenter(std::move(recording));
  SetErrorReportOwner(nullptr);
  EXPECT_EQ(parents, (std::vector<QWidget*>{&form, nullptr}));
}

}  // namespace
}  // namespace quillmont::testing
