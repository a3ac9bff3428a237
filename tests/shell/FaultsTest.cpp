// Faults the program must survive without losing its way: a bitmap file
// gone, the wave files gone, a sound module that must not be loaded,
// settings and records files of random bytes; and the box that reports
// them, over the main window.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <random>
#include <sys/stat.h>

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

TEST(Faults, EachBitmapMissingOrTooLargeInTurnGivesItsMessageOnly) {
  for (const char* file : {"ok.bmp", "nok.bmp", "newgame.bmp", "dnewgame.bmp", "gallery.bmp", "dgallery.bmp",
                           "rules.bmp", "drules.bmp", "exit.bmp", "dexit.bmp"}) {
    SCOPED_TRACE(file);
    MainWindowHarness h;
    // A picture grown past the size cap (whole and valid in its first bytes)
    // counts as missing, so that no file can cost the start its memory.
    if (std::string_view(file) == "ok.bmp") {
      std::filesystem::resize_file(h.ProgramFolder() / file, kMaxAssetBytes + 1);
    } else {
      std::filesystem::remove(h.ProgramFolder() / file);
    }
    TFormGame& form = h.Start();
    EXPECT_TRUE(h.errors.empty()) << "reported at start-up: " << h.errors.front();
    UseEveryPicture(form);
    ASSERT_FALSE(h.errors.empty());
    for (const std::string& error : h.errors) EXPECT_EQ(error, std::string("Cannot open file ") + file);
    // Both picks counted whatever picture failed.
    EXPECT_EQ(form.TilesLeftLabel()->text(), "44");
    EXPECT_EQ(form.Jogo().PecasRestantes(), 44);
  }
}

TEST(Faults, MissingOrBrokenWaveFilesOrSoundModuleAreSilence) {
  MainWindowHarness h;
  std::filesystem::remove(h.ProgramFolder() / "acerto.wav");
  WriteFile(h.ProgramFolder() / "erro.wav", std::string("RIFF\x10\0\0\0WAVEjunk", 16));
  QDir::setCurrent(QString::fromStdString(h.ProgramFolder().string()));
  const std::string module = ReadFile(std::filesystem::path(QUILLMONT_TEST_ASSETS) / "quillmont_sound.so");
  // Folders whose module must never be mapped: none at all, a file that is
  // no library, a FIFO (it would block the loader for good), the module cut
  // short (a bus error at its first touch), and the whole module where other
  // users may replace it.
  const auto folder = [&h](const char* name, const std::string& bytes) {
    const std::filesystem::path path = h.ProgramFolder() / name;
    std::filesystem::create_directory(path);
    if (!bytes.empty()) WriteFile(path / "quillmont_sound.so", bytes);
    return path;
  };
  const std::filesystem::path refused[] = {
      h.ProgramFolder(),
      folder("broken", "\x7f" "ELF, or so it says"),
      folder("fifo", ""),
      folder("cut", module.substr(0, 20000)),
      folder("shared", module),
      folder("open", module),
  };
  ASSERT_EQ(::mkfifo((refused[2] / "quillmont_sound.so").c_str(), 0644), 0);
  std::filesystem::permissions(refused[4], std::filesystem::perms::group_write, std::filesystem::perm_options::add);
  std::filesystem::permissions(refused[5] / "quillmont_sound.so", std::filesystem::perms::others_write,
                               std::filesystem::perm_options::add);
  // Time enough for a slow build to stop the threads: the program would end
  // the process instead.
  std::vector<std::unique_ptr<ProgramFolder>> folders;
  const auto player = [&folders](const std::string& path) {
    folders.push_back(std::make_unique<ProgramFolder>(path));
    return std::make_unique<QtSoundPlayer>(*folders.back(), std::vector<std::string>{"acerto.wav", "erro.wav"},
                                           std::chrono::seconds(10));
  };
  std::vector<std::unique_ptr<QtSoundPlayer>> players;
  players.push_back(player(QUILLMONT_TEST_ASSETS));  // the module as built
  for (const auto& path : refused) players.push_back(player(path.string()));
  // The first press starts loading on the sound thread, as in the game.
  QWidget pressed;
  QTest::mousePress(&pressed, Qt::LeftButton);
  for (std::size_t i = 0; i < players.size(); ++i) {
    EXPECT_EQ(players[i]->WaitUntilLoaded(std::chrono::seconds(10)), i == 0) << i;
    for (const char* file : {"acerto.wav", "erro.wav", "fim.wav", "acerto.wav", "nothing.wav"}) players[i]->Play(file);
  }
  const std::string maps = ReadFile("/proc/self/maps");
  for (const auto& path : refused) EXPECT_EQ(maps.find((path / "quillmont_sound.so\n").string()), std::string::npos) << path;
  QTest::qWait(0);  // let the players take their requests; nothing may fail
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
    EXPECT_EQ(h.form->Options().category.Board(), 0);
    EXPECT_EQ(h.form->Options().category.NumFits(), 2);
    EXPECT_EQ(h.form->Options().category.NumColors(), 4);
    EXPECT_EQ(h.form->Options().Player.Text(), "");
    EXPECT_EQ(form.TilesLeftLabel()->text(), "48");
    EXPECT_EQ(h.form->Records().Tabela(), TTabelaRecordes{});
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
