// Whole games played through the real main window with the mouse, to the
// end: the sounds, the counters, the result window and the files.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "MainWindowHarness.h"
#include "controls/TGauge.h"
#include "records/RecordsFile.h"
#include "records/TGallery.h"
#include "shell/PictureControl.h"
#include "shell/TFormRules.h"
#include "shell/TMensagem.h"

namespace quillmont::testing {
namespace {

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
  explicit Windows(SharedState& shared)
      : gallery(shared, GalleryFormats{",", "M/d/yy"}) {}
  TGallery gallery;
  TMensagem mensagem;
  TFormRules rules;
};

TEST(GamePlay, DuosGameToTheEndEntersTheBestPlayers) {
  MainWindowHarness h;
  h.WriteSettings("[Quillmont]\nPlayer=Ana\n");
  TFormGame& form = h.Start(false);
  Windows windows(h.shared);
  form.AttachWindows(&windows.gallery, &windows.mensagem, &windows.rules);
  form.show();
  QApplication::processEvents();

  bool galleryShown = false;
  WhenModalShows([&](QWidget* modal) {
    galleryShown = modal == &windows.gallery;
    EXPECT_TRUE(windows.gallery.Edit1()->isVisible());
    EXPECT_EQ(windows.gallery.Edit1()->text(), "Ana");
    // The result is on disk already, with no name yet: a kill now would
    // lose only the name.
    const TRecorde ranked = ParseRecords(ReadFile(h.ProgramFolder() / "QUILLMONT.REC")).At(0, 4, 2, 1);
    EXPECT_EQ(ranked.Nome, "");
    EXPECT_EQ(ranked.Data, 45292.0);
    QTest::keyClick(windows.gallery.Edit1(), Qt::Key_End);  // the offered name is selected
    QTest::keyClicks(windows.gallery.Edit1(), "!");
    // Pasted control characters turn into spaces as they arrive.
    QGuiApplication::clipboard()->setText(QStringLiteral("\x1A\r\nZ"));
    QTest::keyClick(windows.gallery.Edit1(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(windows.gallery.Edit1()->text(), "Ana!   Z");
    QTest::keyClick(windows.gallery.Edit1(), Qt::Key_Return);
  });
  PlayToTheEnd(form, 2);
  EXPECT_TRUE(galleryShown);
  EXPECT_EQ(form.Panel4()->text(), "0");
  EXPECT_EQ(h.sound.played.size(), 25u);
  EXPECT_EQ(h.sound.played.back(), "fim.wav");
  EXPECT_EQ(h.sound.played.front(), "acerto.wav");
  EXPECT_EQ(h.shared.PosicaoRanking, 1);
  EXPECT_EQ(h.shared.Player, "Ana!   Z");
  // The gallery's close wrote the file at once, before any shutdown.
  const TTabelaRecordes onDisk = ParseRecords(ReadFile(h.ProgramFolder() / "QUILLMONT.REC"));
  EXPECT_EQ(onDisk.At(0, 4, 2, 1).Nome, "Ana!   Z");
  EXPECT_EQ(onDisk.At(0, 4, 2, 1).Escore, form.Jogo().Escore());
  EXPECT_EQ(onDisk.At(0, 4, 2, 1).Perdidas, 0);
  EXPECT_EQ(onDisk.At(0, 4, 2, 1).Data, 45292.0);

  // After the end, clicks and ticks change nothing but keep the bar empty.
  ClickCell(form, 5, 3);
  EXPECT_EQ(h.sound.played.size(), 25u);
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
    table.At(0, 4, 3, r).Nome = "Best";
    table.At(0, 4, 3, r).Escore = TReal6::FromDouble(10'000'000);
  }
  WriteFile(h.ProgramFolder() / "QUILLMONT.REC", FormatRecords(table));
  TFormGame& form = h.Start(false);
  Windows windows(h.shared);
  form.AttachWindows(&windows.gallery, &windows.mensagem, &windows.rules);
  form.show();
  QApplication::processEvents();
  const Game& game = form.Jogo();

  // A wrong second pick cancels two tiles.
  const TPeca first = game.Peca(5, 3);
  int oc = 5, orow = 4;
  while (game.Peca(oc, orow).SameTile(first)) ++orow;
  ClickCell(form, 5, 3);
  ClickCell(form, oc, orow);
  EXPECT_EQ(form.Panel5()->text(), "-8,735");
  EXPECT_EQ(form.Panel4()->text(), "46");
  EXPECT_EQ(form.Gauge1()->Progress(), 0);

  QWidget* shown = nullptr;
  WhenModalShows([&](QWidget* modal) {
    shown = modal;
    QTest::mouseClick(windows.mensagem.BitBtn1(), Qt::LeftButton);
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
  EXPECT_EQ(shown, &windows.mensagem);
  EXPECT_EQ(windows.mensagem.Label1()->text(), "No more moves! Game over!");
  EXPECT_EQ(h.shared.PosicaoRanking, kNoRank);
  EXPECT_EQ(form.Panel4()->text(), "4");  // the partners of the two cancelled tiles
  EXPECT_TRUE(h.sound.played.empty());    // muted throughout
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
  EXPECT_EQ(form.Image(IndicePeca(5, 3))->Picture().At(2, 2), MakeRgb(160, 30, 30));
  const QImage shown = form.Image(IndicePeca(5, 3))->grab().toImage();
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
  EXPECT_EQ(form.Panel4()->text(), "46");
  EXPECT_EQ(game.Peca(group[0].first, group[0].second).Estado, kRemovida);
  ASSERT_EQ(h.errors.size(), 1u);
  EXPECT_EQ(h.errors[0], "Cannot open file ok.bmp");
}

}  // namespace
}  // namespace quillmont::testing
