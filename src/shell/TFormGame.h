#pragma once
// The main window: the board, the Bonus Bar, the counters, the options and
// the toolbar. It translates events into calls on the rules (Game) and
// carries out the effects the rules ask for through GameView.
#include <QWidget>
#include <array>
#include <functional>
#include <chrono>
#include <memory>
#include <string>

#include "game/Game.h"
#include "game/GameView.h"
#include "platform/ProgramFolder.h"
#include "platform/ShutdownBudget.h"
#include "platform/qt/ErrorReport.h"
#include "records/GameOptions.h"
#include "shell/Settings.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QTimer;

namespace quillmont {

class BestPlayers;
class BoardCursor;
class Clock;
class PictureControl;
class ProfileFile;
class RandomSource;
class SoundPlayer;
class TFormRules;
class TGallery;
class TGauge;
class TGradient;
class TLabel3D;
class TMensagem;
class WindowCanvas;

// What the main window needs from the system, injected so that tests run it
// with a fake clock, a scripted generator, a silent player and their own folders.
struct GameServices {
  const Clock& clock;
  RandomSource& random;
  SoundPlayer& sound;
  const ProgramFolder& programFolder;  // every file of the program's is read through it
  std::string settingsPath;   // full path of "QUILLMONT.INI"
  // The player's own "QUILLMONT.REC", kept when the program's folder or its
  // copy of the file cannot be written.
  std::string userRecordsPath;
};

class TFormGame : public QWidget, private GameView {
  Q_OBJECT
 public:
  // Runs FormCreate: current folder, settings, best players, seed.
  explicit TFormGame(GameServices services);
  // Runs FormDestroy: the best players first, then the settings.
  ~TFormGame() override;

  // The secondary windows are created after the main window. Attached
  // windows stay their maker's: neither parented nor deleted here.
  void AttachWindows(TGallery* gallery, TMensagem* mensagem, TFormRules* rules);
  // Or the main window makes each itself, the first time it is shown: the
  // start-up then builds and paints nothing that is not on the screen.
  void CreateWindowsOnFirstUse() { createWindowsOnFirstUse_ = true; }

  Game& Jogo() { return game_; }
  const Game& Jogo() const { return game_; }
  // The player's choices, which the rules and the gallery read.
  GameOptions& Options() { return options_; }
  // The best players; read at start-up.
  BestPlayers& Records() { return *bestPlayers_; }

  // Controls, for tests and for the screenshot tool.
  PictureControl* Image(int cellIndex) const { return cells_[static_cast<std::size_t>(cellIndex)]; }
  PictureControl* ToolbarImage(int slot) const { return toolbar_[static_cast<std::size_t>(slot)].image; }
  QLabel* TilesLeftLabel() const { return tilesLeft_; }
  QLabel* ScoreLabel() const { return score_; }
  QFrame* BoardPanel() const { return boardPanel_; }
  TGauge* BonusBar() const { return bonusBar_; }
  // The option groups, top to bottom: the number of colours, the board's
  // size, Duos or Trios.
  QButtonGroup* LevelGroup() const { return levelGroup_; }
  QButtonGroup* BoardGroup() const { return boardGroup_; }
  QButtonGroup* SettingGroup() const { return settingGroup_; }
  QCheckBox* MuteBox() const { return muteBox_; }
  // "Symbols": each quarter of every tile marked with its colour number.
  QCheckBox* SymbolsBox() const { return symbolsBox_; }
  QTimer* BarTimer() const { return barTimer_; }
  int DealCount() const { return dealCount_; }

  // Writes this run's changes to the best-players file whenever the gallery
  // changed the table, and at shutdown. A failure during play is reported
  // once; a write that another copy's lock held back is tried again soon.
  void GravaArqRec();
  // The shutdown's writes of both files, once: run by the destructor, or
  // earlier by an exit that skips it (Qt ends the process with exit(1) on
  // the window thread when the X server goes away).
  void WriteFilesAtShutdown();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct ToolbarButton {
    PictureControl* image = nullptr;
    const char* pressedFace = "";
    const char* releasedFace = "";
    void (TFormGame::*action)() = nullptr;
  };

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void LeArqRec();
  // Ranks the finished game against the best-players file as it is now and
  // writes it at once, nameless: a kill while the name is typed loses only
  // the name. PosicaoRanking takes the verdict. (The gallery's AtualizaGaleria
  // only repaints its rows.)
  void AtualizaGaleria(TReal6 escore, std::int32_t perdidas);
  // Runs one write of the best players (false: held back by another copy's
  // lock); reports the first failure and retries a write held back.
  void WriteRecords(const std::function<bool()>& write);
  // Runs one write of a setting (false: held back by another copy's lock);
  // reports the first failure and retries a write held back.
  void WriteSetting(const std::function<bool()>& write);
  void RetryLater();
  void RetryPending();
  void LoadToolbarFaces();
  // Deals a new board for the current options; the board takes the focus.
  void Deal();

  void BuildWindow();
  void BuildToolbar();
  void BuildSidePanel();
  void BuildBoard();
  void SetTabOrder();
  void LayOutDockedPanels();

  void RadioGroup1Click();
  void RadioGroup2Click();
  void RadioGroup3Click();
  void OptionChanged();
  void CheckBox1Click();
  void SymbolsBoxClick();
  // Paints every tile on the board again, as it stands.
  void RedrawTiles();
  void Image1MouseUp(PictureControl* sender, Qt::MouseButton button);
  void ToolbarMouseDown(PictureControl* sender);
  void ToolbarMouseUp(PictureControl* sender);
  void Timer1Timer();
  // The bar's timer runs only while a tick could change what the player
  // sees: the bar can move and the window is neither hidden nor minimised.
  void RunBarTimer();

  void NewGameAction();
  void GalleryAction();
  void RulesAction();
  void ExitAction();

  // GameView
  // Hides the cell's control, or shows it with its tile painted or, once
  // the tile left play, the picture that stands for how.
  void CellChanged(Cell cell) override;
  void PlaySound(Sound sound) override;
  void ShowCounters(int tilesLeft, double score) override;
  void ShowBar(int progress, int maximum) override;
  void BarMovesAgain() override;
  void GameEnded(TReal6 escore, std::int32_t perdidas) override;

  GameServices services_;
  GameOptions options_;
  std::unique_ptr<ProfileFile> arqIni_;
  SettingsAtStart settingsAtStart_;
  std::unique_ptr<BestPlayers> bestPlayers_;
  bool recordsErrorReported_ = false;
  bool settingsErrorReported_ = false;
  bool filesWritten_ = false;
  // Changes that found another copy's lock busy wait for the retry timer,
  // whose interval doubles while the lock stays busy.
  bool recordsPending_ = false;
  QTimer* retryTimer_ = nullptr;
  std::chrono::milliseconds retryInterval_ = kLockRetryFirst;
  Game game_;
  bool iniciado_ = false;
  int dealCount_ = 0;
  std::string thousandsSeparator_;

  template <typename Window, typename... Args>
  Window* OnFirstUse(Window*& window, std::unique_ptr<Window>& owned, Args&&... args);
  TGallery* Gallery();
  TMensagem* Mensagem();
  TFormRules* Rules();

  TGallery* gallery_ = nullptr;
  TMensagem* mensagem_ = nullptr;
  TFormRules* rules_ = nullptr;
  bool createWindowsOnFirstUse_ = false;
  std::unique_ptr<TGallery> ownGallery_;
  std::unique_ptr<TMensagem> ownMensagem_;
  std::unique_ptr<TFormRules> ownRules_;

  WindowCanvas* canvas_ = nullptr;  // every control sits on it; it scrolls on a small screen
  TGradient* background_ = nullptr;
  QWidget* barShadow_ = nullptr;
  TGauge* bonusBar_ = nullptr;
  TLabel3D* barTitle_ = nullptr;
  QFrame* toolbarPanel_ = nullptr;
  QFrame* bandPanel_ = nullptr;
  QLabel* band_ = nullptr;
  QFrame* sidePanel_ = nullptr;
  QFrame* boardPanel_ = nullptr;
  QLabel* tilesLeft_ = nullptr;
  QLabel* score_ = nullptr;
  QButtonGroup* levelGroup_ = nullptr;
  QButtonGroup* boardGroup_ = nullptr;
  QButtonGroup* settingGroup_ = nullptr;
  QCheckBox* muteBox_ = nullptr;
  QCheckBox* symbolsBox_ = nullptr;
  QTimer* barTimer_ = nullptr;
  GuardedRepeating barTimerGuard_;
  std::array<PictureControl*, kCells> cells_{};
  BoardCursor* cursor_ = nullptr;
  std::array<ToolbarButton, 4> toolbar_{};
};

}  // namespace quillmont
