// Whole games played through the real main window with the mouse, to the
// end: the sounds, the counters, the result window and the files; and the
// keyboard's cursor on the board.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <stdexcept>

#include "MainWindowHarness.h"
#include "platform/Clock.h"
#include "controls/TGauge.h"
#include "game/TileDrawing.h"
#include "records/RecordsFile.h"
#include "windows/TGallery.h"
#include "shell/GameFiles.h"
#include "shell/PictureControl.h"
#include "windows/TFormRules.h"
#include "windows/TMensagem.h"

namespace quillmont::testing {
namespace {

// One tick of the main window's timer, as its event delivers it.
void Tick(TFormGame& form) { QMetaObject::invokeMethod(form.BarTimer(), "timeout"); }

// Picks every group off the board in reading order.
void PlayToTheEnd(TFormGame& form, int fits) {
  const Game& game = form.Jogo();
  while (!game.JogoTerminado()) {
    bool clicked = false;
    for (int c = game.ColIni(); c <= game.ColFim() && !clicked; ++c)
      for (int r = game.LinIni(); r <= game.LinFim() && !clicked; ++r) {
        if (game.Peca(c, r).Estado != kNoTabuleiro) continue;
        std::vector<std::pair<int, int>> group;
        for (int cc = game.ColIni(); cc <= game.ColFim(); ++cc)
          for (int rr = game.LinIni(); rr <= game.LinFim(); ++rr)
            if (game.Peca(cc, rr).Estado == kNoTabuleiro && game.Peca(cc, rr).SameTile(game.Peca(c, r)))
              group.emplace_back(cc, rr);
        ASSERT_EQ(static_cast<int>(group.size()), fits);
        for (const auto& [cc, rr] : group) ClickCell(form, cc, rr);
        clicked = true;
      }
    ASSERT_TRUE(clicked);
  }
}

struct Windows {
  explicit Windows(TFormGame& form) : gallery(form.Records(), form.Options(), GalleryFormats{",", "M/d/yy"}) {}
  TGallery gallery;
  TMensagem mensagem;
  TFormRules rules;
};

TEST(GamePlay, SoundsAndLeftPlayStatesNameTheirFiles) {
  EXPECT_STREQ(WaveFile(Sound::kMatch), "acerto.wav");
  EXPECT_STREQ(WaveFile(Sound::kWrong), "erro.wav");
  EXPECT_STREQ(WaveFile(Sound::kEnd), "fim.wav");
  EXPECT_STREQ(PictureFileForState(kRemovida), "ok.bmp");
  EXPECT_STREQ(PictureFileForState(kCancelada), "nok.bmp");
  EXPECT_EQ(PictureFileForState(kNoTabuleiro), nullptr);
  EXPECT_EQ(PictureFileForState(kSelecionada), nullptr);
}

TEST(GamePlay, DuosGameToTheEndEntersTheBestPlayers) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nPlayer=Ana\n");
  TFormGame& form = h.Start(false);
  Windows windows(form);
  form.AttachWindows(&windows.gallery, &windows.mensagem, &windows.rules);
  form.show();
  QApplication::processEvents();

  bool galleryShown = false;
  WhenModalShows([&](QWidget* modal) {
    galleryShown = modal == &windows.gallery;
    EXPECT_TRUE(windows.gallery.NameBox()->isVisible());
    EXPECT_EQ(windows.gallery.NameBox()->text(), "Ana");
    // The result is on disk already, with no name yet: a kill now would
    // lose only the name.
    const TRecorde ranked = ParseRecords(ReadFile(h.ProgramFolder() / "QUILLMONT.REC")).At({0, 4, 2}, 1);
    EXPECT_EQ(ranked.Nome, "");
    EXPECT_EQ(ranked.Data, 45292.0);
    QTest::keyClick(windows.gallery.NameBox(), Qt::Key_End);  // the offered name is selected
    QTest::keyClicks(windows.gallery.NameBox(), "!");
    // Pasted control characters turn into spaces as they arrive.
    QGuiApplication::clipboard()->setText(QStringLiteral("\x1A\r\nZ"));
    QTest::keyClick(windows.gallery.NameBox(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(windows.gallery.NameBox()->text(), "Ana!   Z");
    QTest::keyClick(windows.gallery.NameBox(), Qt::Key_Return);
  });
  PlayToTheEnd(form, 2);
  EXPECT_TRUE(galleryShown);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "0");
  EXPECT_EQ(h.sound.played.size(), 25u);
  EXPECT_EQ(h.sound.played.back(), "fim.wav");
  EXPECT_EQ(h.sound.played.front(), "acerto.wav");
  EXPECT_EQ(h.form->Records().PosicaoRanking(), 1);
  EXPECT_EQ(h.form->Options().Player.Text(), "Ana!   Z");
  // The gallery's close wrote the file at once, before any shutdown.
  const TTabelaRecordes onDisk = ParseRecords(ReadFile(h.ProgramFolder() / "QUILLMONT.REC"));
  EXPECT_EQ(onDisk.At({0, 4, 2}, 1).Nome, "Ana!   Z");
  EXPECT_EQ(onDisk.At({0, 4, 2}, 1).Escore, form.Jogo().Escore());
  EXPECT_EQ(onDisk.At({0, 4, 2}, 1).Perdidas, 0);
  EXPECT_EQ(onDisk.At({0, 4, 2}, 1).Data, 45292.0);

  // After the end, clicks and ticks change nothing but keep the bar empty.
  ClickCell(form, 5, 3);
  EXPECT_EQ(h.sound.played.size(), 25u);
  // The bar is emptied at the next tick and then rests until a new deal.
  Tick(form);
  EXPECT_EQ(form.BonusBar()->Progress(), 0);
  EXPECT_FALSE(form.BarTimer()->isActive());
  QTest::mouseClick(form.ToolbarImage(0), Qt::LeftButton);  // new game
  EXPECT_EQ(form.DealCount(), 2);
  EXPECT_EQ(form.Records().PosicaoRanking(), kNoRank);  // a deal clears the marked row
  EXPECT_TRUE(form.BarTimer()->isActive());
  h.Stop();
  const std::string rec = ReadFile(h.ProgramFolder() / "QUILLMONT.REC");
  EXPECT_EQ(ParseRecords(rec), onDisk);
  EXPECT_EQ(rec.substr(56), FormatRecords(TTabelaRecordes{}).substr(56));  // 269 empty lines
}

TEST(GamePlay, TriosGameWithACancellationShowsTheMessageWhenNotRanked) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nNumFits=3\nMute=1\n");
  // A full category whose rank 15 no result of this game can beat.
  TTabelaRecordes table;
  for (int r = 1; r <= 15; ++r) {
    table.At({0, 4, 3}, r).Nome = "Best";
    table.At({0, 4, 3}, r).Escore = TReal6::FromDouble(10'000'000);
  }
  WriteFile(h.ProgramFolder() / "QUILLMONT.REC", FormatRecords(table));
  TFormGame& form = h.Start(false);
  form.CreateWindowsOnFirstUse();
  form.show();
  QApplication::processEvents();
  const Game& game = form.Jogo();

  // A wrong second pick cancels two tiles.
  const TPeca first = game.Peca(5, 3);
  int oc = 5, orow = 4;
  while (game.Peca(oc, orow).SameTile(first)) ++orow;
  ClickCell(form, 5, 3);
  ClickCell(form, oc, orow);
  EXPECT_EQ(form.ScoreLabel()->text(), "-8,735");
  EXPECT_EQ(form.TilesLeftLabel()->text(), "46");
  EXPECT_EQ(form.BonusBar()->Progress(), 0);

  TMensagem* shown = nullptr;
  WhenModalShows([&](QWidget* modal) {
    shown = qobject_cast<TMensagem*>(modal);
    if (shown != nullptr) QTest::mouseClick(shown->OkButton(), Qt::LeftButton);
  });
  // Remove every complete group left; the two broken ones stay.
  while (!game.JogoTerminado()) {
    bool clicked = false;
    for (int c = 5; c <= 12 && !clicked; ++c)
      for (int r = 3; r <= 8 && !clicked; ++r) {
        if (game.Peca(c, r).Estado != kNoTabuleiro) continue;
        std::vector<std::pair<int, int>> group;
        for (int cc = 5; cc <= 12; ++cc)
          for (int rr = 3; rr <= 8; ++rr)
            if (game.Peca(cc, rr).Estado == kNoTabuleiro && game.Peca(cc, rr).SameTile(game.Peca(c, r)))
              group.emplace_back(cc, rr);
        if (group.size() != 3) continue;
        for (const auto& [cc, rr] : group) ClickCell(form, cc, rr);
        clicked = true;
      }
    ASSERT_TRUE(clicked);
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->MessageLabel()->text(), "No more moves! Game over!");
  EXPECT_EQ(shown->parentWidget(), &form);  // a dialog over the main window
  EXPECT_EQ(shown->pos(), QPoint(200, 108));
  EXPECT_EQ(h.form->Records().PosicaoRanking(), kNoRank);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "4");  // the partners of the two cancelled tiles
  EXPECT_TRUE(h.sound.played.empty());    // muted throughout
}

// A clock whose monotonic reading fails on demand.
class FailingClock final : public Clock {
 public:
  FakeClock time;
  bool failing = false;
  CivilTime LocalTime() const override { return time.LocalTime(); }
  CivilTime UtcTime() const override { return time.UtcTime(); }
  std::chrono::milliseconds MonotonicTime() const override {
    if (failing) throw std::runtime_error("The clock failed");
    return time.MonotonicTime();
  }
};

TEST(GamePlay, BonusBarTicksEvery100MsAndAFaultThatRepeatsIsReportedOnce) {
  FailingClock clock;
  MainWindowHarness h;
  h.form = std::make_unique<TFormGame>(
      GameServices{clock, h.random, h.sound, h.Folder(), h.SettingsPath().string(),
                             h.UserRecordsPath().string()});
  h.form->show();
  QApplication::processEvents();
  TFormGame& form = *h.form;
  EXPECT_TRUE(form.BarTimer()->isActive());
  EXPECT_EQ(form.BarTimer()->interval(), 100);
  clock.time.AdvanceMilliseconds(13 * 864);  // 13 units
  Tick(form);
  EXPECT_EQ(form.BonusBar()->Progress(), 130);

  clock.failing = true;
  for (int i = 0; i < 30; ++i) Tick(form);
  EXPECT_EQ(h.errors, std::vector<std::string>{"The clock failed"});
  clock.failing = false;
  clock.time.AdvanceMilliseconds(864);
  Tick(form);
  EXPECT_EQ(form.BonusBar()->Progress(), 140);

  // A full bar wakes nobody until a match restarts it, and a minimised
  // window ticks not at all; shown again, it is up to the clock at once.
  clock.time.AdvanceMilliseconds(60000);
  Tick(form);
  EXPECT_EQ(form.BonusBar()->Progress(), 260);
  EXPECT_FALSE(form.BarTimer()->isActive());
  const Game& game = form.Jogo();
  const TPeca first = game.Peca(game.ColIni(), game.LinIni());
  for (int c = game.ColIni(); c <= game.ColFim(); ++c)
    for (int r = game.LinIni(); r <= game.LinFim(); ++r)
      if (game.Peca(c, r).SameTile(first)) ClickCell(form, c, r);
  EXPECT_EQ(form.BonusBar()->Progress(), 0);
  EXPECT_TRUE(form.BarTimer()->isActive());
  form.showMinimized();
  QApplication::processEvents();
  EXPECT_FALSE(form.BarTimer()->isActive());
  clock.time.AdvanceMilliseconds(864);
  form.showNormal();
  QApplication::processEvents();
  EXPECT_TRUE(form.BarTimer()->isActive());
  EXPECT_EQ(form.BonusBar()->Progress(), 10);
}

TEST(GamePlay, RightAndMiddleClicksAndClicksOnRemovedTilesAreIgnored) {
  MainWindowHarness h;
  TFormGame& form = h.Start();
  ClickCell(form, 5, 3, Qt::RightButton);
  ClickCell(form, 5, 3, Qt::MiddleButton);
  EXPECT_EQ(form.Jogo().NumSelecionadas(), 0);
  ClickCell(form, 5, 3);
  EXPECT_EQ(form.Jogo().Peca(5, 3).Estado, kSelecionada);
  // The cell shows the selection frame.
  EXPECT_EQ(form.Image(Cell{5, 3}.Index())->Picture().At(2, 2), MakeRgb(160, 30, 30));
  const QImage shown = form.Image(Cell{5, 3}.Index())->grab().toImage();
  EXPECT_EQ(shown.pixel(2, 2) & 0xFFFFFFu, 0xA01E1Eu);
  EXPECT_EQ(shown.pixel(19, 19) & 0xFFFFFFu, 0u);
}

TEST(GamePlay, MissingRemovedPictureIsReportedAfterTheMoveCompletes) {
  MainWindowHarness h;
  TFormGame& form = h.Start();
  std::filesystem::remove(h.ProgramFolder() / "ok.bmp");
  const Game& game = form.Jogo();
  const TPeca first = game.Peca(5, 3);
  std::vector<std::pair<int, int>> group;
  for (int c = 5; c <= 12; ++c)
    for (int r = 3; r <= 8; ++r)
      if (game.Peca(c, r).SameTile(first)) group.emplace_back(c, r);
  for (const auto& [c, r] : group) ClickCell(form, c, r);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "46");
  EXPECT_EQ(game.Peca(group[0].first, group[0].second).Estado, kRemovida);
  ASSERT_EQ(h.errors.size(), 1u);
  EXPECT_EQ(h.errors[0], "Cannot open file ok.bmp");
}

// How the screen shows the cell (column, row) against its own picture: how
// many pixels differ in the tile's outer four rings (border, bevel, selection
// frame) and how many inside them.
struct Cover {
  int outer = 0;
  int inner = 0;
  bool Cursor() const { return outer == 0 && inner > 0; }
  bool Untouched() const { return outer == 0 && inner == 0; }
};

QImage Shown(TFormGame& form, int column, int row) {
  // The board with everything laid over the cell, not the cell alone.
  return form.BoardPanel()->grab(form.Image(Cell{column, row}.Index())->geometry()).toImage();
}

Cover CoverOf(TFormGame& form, int column, int row) {
  const QImage shot = Shown(form, column, row);
  const PixelBuffer& picture = form.Image(Cell{column, row}.Index())->Picture();
  Cover cover;
  for (int y = 0; y < kTileSize; ++y)
    for (int x = 0; x < kTileSize; ++x) {
      if ((shot.pixel(x, y) & 0xFFFFFFu) == picture.At(x, y)) continue;
      const int ring = std::min({x, y, kTileSize - 1 - x, kTileSize - 1 - y});
      ++(ring < 4 ? cover.outer : cover.inner);
    }
  return cover;
}

// Rays from the inner area's edge towards the centre, away from the
// corners, that cross no pixel at least 96 grey levels away from the tile
// beneath: where the cursor would fade into the tile.
int FadingRays(TFormGame& form, int column, int row) {
  const QImage shot = Shown(form, column, row);
  const PixelBuffer& picture = form.Image(Cell{column, row}.Index())->Picture();
  const auto contrast = [&](int x, int y) { return std::abs(qGray(shot.pixel(x, y)) - qGray(picture.At(x, y))); };
  int fading = 0;
  for (int t = 8; t <= kTileSize - 9; ++t) {
    std::array<int, 4> best{};
    for (int d = 4; d <= kTileSize / 2; ++d) {
      best[0] = std::max(best[0], contrast(t, d));
      best[1] = std::max(best[1], contrast(t, kTileSize - 1 - d));
      best[2] = std::max(best[2], contrast(d, t));
      best[3] = std::max(best[3], contrast(kTileSize - 1 - d, t));
    }
    fading += static_cast<int>(std::count_if(best.begin(), best.end(), [](int b) { return b < 96; }));
  }
  return fading;
}

// The first cell of the board in reading order that passes the test.
template <typename Test>
std::pair<int, int> FindCell(const Game& game, Test test) {
  for (int r = game.LinIni(); r <= game.LinFim(); ++r)
    for (int c = game.ColIni(); c <= game.ColFim(); ++c)
      if (test(c, r)) return {c, r};
  ADD_FAILURE() << "no such cell";
  return {game.ColIni(), game.LinIni()};
}

// Arrow keys from the cursor's cell to (column, row).
void MoveCursor(std::pair<int, int>& at, int column, int row) {
  for (; at.first < column; ++at.first) PressKey(Qt::Key_Right);
  for (; at.first > column; --at.first) PressKey(Qt::Key_Left);
  for (; at.second < row; ++at.second) PressKey(Qt::Key_Down);
  for (; at.second > row; --at.second) PressKey(Qt::Key_Up);
}

TEST(GamePlay, KeyboardCursorPlaysLikeTheMouseAndLeavesTheTileFrameAlone) {
  MainWindowHarness h;
  TFormGame& form = h.Start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  const Game& game = form.Jogo();

  // The board has the focus and leads the Tab order.
  EXPECT_EQ(QApplication::focusWidget(), form.BoardPanel());
  for (QWidget* next : std::initializer_list<QWidget*>{form.LevelGroup()->button(0), form.BoardGroup()->button(0),
                                                       form.SettingGroup()->button(0), form.MuteBox(), form.SymbolsBox(),
                                                       form.BoardPanel()}) {
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }

  // Hidden until a key moves it; it stops at the edges, and no key on the
  // board touches an option.
  EXPECT_TRUE(CoverOf(form, 5, 3).Untouched());
  PressKey(Qt::Key_Up);
  PressKey(Qt::Key_Left);
  EXPECT_TRUE(CoverOf(form, 5, 3).Cursor());
  for (int i = 0; i < 10; ++i) {
    PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Down);
  }
  EXPECT_TRUE(CoverOf(form, 5, 3).Untouched());
  EXPECT_TRUE(CoverOf(form, 12, 8).Cursor());
  EXPECT_EQ(form.DealCount(), 1);
  EXPECT_EQ(form.LevelGroup()->checkedId(), 0);
  EXPECT_EQ(form.BoardGroup()->checkedId(), 0);
  EXPECT_EQ(form.SettingGroup()->checkedId(), 0);
  EXPECT_FALSE(form.MuteBox()->isChecked());

  // Space and both Enter keys pick as a left click does; a selected tile
  // under the cursor keeps its whole frame.
  std::pair<int, int> at{12, 8};
  PressKey(Qt::Key_Space);
  EXPECT_EQ(game.Peca(12, 8).Estado, kSelecionada);
  EXPECT_EQ(form.Image(Cell{12, 8}.Index())->Picture().At(3, 3), MakeRgb(160, 30, 30));
  EXPECT_TRUE(CoverOf(form, 12, 8).Cursor());
  PressKey(Qt::Key_Return);
  EXPECT_EQ(game.Peca(12, 8).Estado, kNoTabuleiro);
  PressKey(Qt::Key_Enter);
  const auto partner = FindCell(game, [&](int c, int r) {
    return (c != 12 || r != 8) && game.Peca(c, r).SameTile(game.Peca(12, 8));
  });
  MoveCursor(at, partner.first, partner.second);
  PressKey(Qt::Key_Space);
  EXPECT_EQ(game.Peca(partner.first, partner.second).Estado, kRemovida);
  EXPECT_EQ(form.TilesLeftLabel()->text(), "46");
  EXPECT_EQ(h.sound.played, std::vector<std::string>{"acerto.wav"});
  EXPECT_TRUE(CoverOf(form, at.first, at.second).Cursor());
  EXPECT_EQ(FadingRays(form, at.first, at.second), 0) << "on ok.bmp";
  // A wrong pair.
  const auto first = FindCell(game, [&](int c, int r) { return game.Peca(c, r).Estado == kNoTabuleiro; });
  const auto second = FindCell(game, [&](int c, int r) {
    return game.Peca(c, r).Estado == kNoTabuleiro && !game.Peca(c, r).SameTile(game.Peca(first.first, first.second));
  });
  MoveCursor(at, first.first, first.second);
  PressKey(Qt::Key_Space);
  MoveCursor(at, second.first, second.second);
  PressKey(Qt::Key_Space);
  EXPECT_EQ(game.Peca(first.first, first.second).Estado, kCancelada);
  EXPECT_TRUE(CoverOf(form, at.first, at.second).Cursor());
  EXPECT_EQ(FadingRays(form, at.first, at.second), 0) << "on nok.bmp";
  // Every colour, painted over a whole tile.
  MoveCursor(at, 8, 5);
  PictureControl* cell = form.Image(Cell{8, 5}.Index());
  for (int colour = 1; colour <= 6; ++colour) {
    TPeca peca;
    peca.Atributos = {colour, colour, colour, colour};
    PaintTile(peca, cell->Picture());
    cell->PictureChanged();
    EXPECT_TRUE(CoverOf(form, 8, 5).Cursor());
    EXPECT_EQ(FadingRays(form, 8, 5), 0) << "colour " << colour;
  }

  // The next mouse click hides it, so a mouse player sees plain tiles.
  ClickCell(form, 9, 6);
  EXPECT_TRUE(CoverOf(form, 8, 5).Untouched());
  EXPECT_TRUE(CoverOf(form, 9, 6).Untouched());

  // After a deal, by mouse on an option here, the board has the focus again
  // and the cursor starts hidden on the new board's top-left cell.
  QTest::mouseClick(form.BoardGroup()->button(2), Qt::LeftButton);
  EXPECT_EQ(form.DealCount(), 2);
  EXPECT_EQ(form.BoardPanel()->height(), 420);
  EXPECT_EQ(QApplication::focusWidget(), form.BoardPanel());
  EXPECT_TRUE(CoverOf(form, 2, 2).Untouched());
  PressKey(Qt::Key_Down);
  EXPECT_TRUE(CoverOf(form, 2, 3).Cursor());
  for (int i = 0; i < 10; ++i) PressKey(Qt::Key_Down);
  EXPECT_TRUE(CoverOf(form, 2, 10).Cursor());
  EXPECT_EQ(form.DealCount(), 2);
  // Back to the small board, and its panel with it.
  QTest::mouseClick(form.BoardGroup()->button(0), Qt::LeftButton);
  EXPECT_EQ(form.BoardPanel()->height(), 392);
}

}  // namespace
}  // namespace quillmont::testing
