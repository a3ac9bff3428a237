#include "shell/TFormGame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

#include "controls/TGauge.h"
#include "game/TileDrawing.h"
#include "platform/AtomicFile.h"
#include "platform/ProfileFile.h"
#include "platform/RandomSource.h"
#include "platform/ShutdownBudget.h"
#include "platform/ProgramFolder.h"
#include "platform/TextFormats.h"
#include "platform/qt/BitmapFile.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/LocaleFormats.h"
#include "platform/qt/SoundPlayer.h"
#include "records/BestPlayers.h"
#include "records/RecordsFile.h"
#include "records/TDataHora.h"
#include "windows/TGallery.h"
#include "shell/BoardCursor.h"
#include "shell/GameFiles.h"
#include "shell/PictureControl.h"
#include "shell/Settings.h"
#include "windows/TFormRules.h"
#include "windows/TMensagem.h"

namespace quillmont {
namespace {

// The board panel's height by Board: taller for the big board, which reaches the bottom row.
constexpr std::array<int, 3> kBoardPanelHeight{392, 392, 420};

}  // namespace

TFormGame::TFormGame(GameServices services)
    : services_(std::move(services)), game_(options_, services_.clock, services_.random, *this) {
  BuildWindow();
  FormCreate();
}

TFormGame::~TFormGame() { FormDestroy(); }

void TFormGame::AttachWindows(TGallery* gallery, TMensagem* mensagem, TFormRules* rules) {
  gallery_ = gallery;
  mensagem_ = mensagem;
  rules_ = rules;
  if (gallery_ != nullptr) gallery_->onTableChanged = [this] { GravaArqRec(); };
}

// The attached window, or one made now and kept when the main window makes
// its own; null when it has none. A window made here is this one's child, so
// that window managers and compositors float it over the main window as a
// dialog; the unique_ptr still deletes it first, which takes it off the
// children before ~QWidget gets to them.
template <typename Window, typename... Args>
Window* TFormGame::OnFirstUse(Window*& window, std::unique_ptr<Window>& owned, Args&&... args) {
  if (window == nullptr && createWindowsOnFirstUse_) {
    owned = std::make_unique<Window>(std::forward<Args>(args)..., this);
    window = owned.get();
  }
  return window;
}

TGallery* TFormGame::Gallery() {
  const bool made = gallery_ == nullptr;
  OnFirstUse(gallery_, ownGallery_, *bestPlayers_, options_, GalleryFormats::System());
  if (made && gallery_ != nullptr) AttachWindows(gallery_, mensagem_, rules_);
  return gallery_;
}

TMensagem* TFormGame::Mensagem() { return OnFirstUse(mensagem_, ownMensagem_); }

TFormRules* TFormGame::Rules() { return OnFirstUse(rules_, ownRules_); }

// ---- start-up and shutdown ------------------------------------------------

void TFormGame::FormCreate() {
  // Nothing is read by a bare name; the current folder is only the folder
  // that a file dialog or a core dump would start in.
  MakeCurrentDirectory(services_.programFolder.Path());
  LoadToolbarFaces();
  iniciado_ = false;
  arqIni_ = std::make_unique<ProfileFile>(services_.settingsPath);
  arqIni_->RemoveStaleTemporaries();
  // Keys that copies stopped while another held the lock left beside the
  // file count from this start on; a busy lock leaves them for later.
  try {
    arqIni_->WritePending();
  } catch (const ProfileWriteError&) {
  }
  retryTimer_ = new QTimer(this);
  retryTimer_->setSingleShot(true);
  connect(retryTimer_, &QTimer::timeout, this, [this] { RetryPending(); });
  StartupSettings settings = ReadSettings(*arqIni_, options_);
  settingsAtStart_ = std::move(settings.atStart);
  // A change runs CheckBox1Click (SymbolsBoxClick), which takes Mute (Symbols)
  // from the box and writes it again.
  muteBox_->setChecked(settings.mute);
  symbolsBox_->setChecked(settings.symbols);
  LeArqRec();
  services_.random.Seed(static_cast<std::uint32_t>(MillisecondsOfDay(services_.clock.UtcTime())));
  thousandsSeparator_ = SystemThousandsSeparator();
  // The timer starts with the first deal, once the window shows.
}

void TFormGame::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!iniciado_) {
    FormShow();
    return;
  }
  // Restoring deals nothing; the bar is brought up to the clock at once.
  barTimerGuard_([this] { Timer1Timer(); });
}

void TFormGame::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  RunBarTimer();
}

void TFormGame::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !iniciado_) return;
  if (isMinimized()) {
    RunBarTimer();
  } else {
    barTimerGuard_([this] { Timer1Timer(); });
  }
}

void TFormGame::FormShow() {
  // Changing a group's choice runs its click operation; with iniciado_ still
  // false those only take the value, and the one deal comes below.
  const Category category = options_.category;
  boardGroup_->button(category.Board())->setChecked(true);
  levelGroup_->button(category.NumColors() - 4)->setChecked(true);
  settingGroup_->button(category.NumFits() - 2)->setChecked(true);
  iniciado_ = true;
  Deal();
}

void TFormGame::FormDestroy() {
  barTimer_->stop();
  retryTimer_->stop();
  WriteFilesAtShutdown();
  arqIni_.reset();
}

void TFormGame::WriteFilesAtShutdown() {
  if (filesWritten_ || !arqIni_ || !bestPlayers_) return;
  filesWritten_ = true;
  // No window may open while the program closes (a logout does not wait).
  // Both files share one wait for their locks; a lock still busy then
  // leaves the changes in a journal beside the file.
  const LockDeadline until = std::chrono::steady_clock::now() + kLockWaitAtShutdown;
  try {
    bestPlayers_->Save(until);
  } catch (const FileWriteError& e) {
    WriteToStandardError(std::string("Unable to write to ") + e.what());
  }
  try {
    WriteSettings(*arqIni_, options_, settingsAtStart_, until);
  } catch (const ProfileWriteError& e) {
    if (!settingsErrorReported_) Guarded([&] { ReportError(e.what()); });
  }
}

void TFormGame::LoadToolbarFaces() {
  // The released faces are the buttons' resting look; a missing file shows
  // the bare toolbar and is reported only when the button is used.
  for (const ToolbarButton& button : toolbar_) {
    try {
      button.image->SetPicture(LoadBitmapFile(services_.programFolder, button.releasedFace));
    } catch (const BitmapError&) {
    }
  }
}

void TFormGame::LeArqRec() {
  // A packaged copy's folder belongs to the system: writing the table there
  // (as root may) would leave a file in /usr that no package owns; the
  // player's own copy holds the best players from the first run.
  const ProgramFolder& folder = services_.programFolder;
  bestPlayers_ = std::make_unique<BestPlayers>(
      RecordsStore(folder.IsSystemInstall() ? std::string() : folder.Path() + kRecordsFileName,
                   services_.userRecordsPath, folder.Descriptor()));
  bestPlayers_->Load();
}

namespace {

// One write during play: whether it was made (false: another copy's lock
// held it back), or nothing when it failed. A failure is reported the first
// time only; the changes wait and go with the next write that can be made.
template <typename Error>
std::optional<bool> WriteDuringPlay(const std::function<bool()>& write, bool& reported, const char* prefix) {
  try {
    return write();
  } catch (const Error& e) {
    if (!reported) ReportError(prefix + std::string(e.what()));
    reported = true;
    return std::nullopt;
  }
}

}  // namespace

void TFormGame::WriteRecords(const std::function<bool()>& write) {
  const std::optional<bool> written = WriteDuringPlay<FileWriteError>(write, recordsErrorReported_, "Unable to write to ");
  if (!written) return;
  recordsPending_ = !*written;
  // Another copy is writing; ours follows once it is done.
  if (recordsPending_) RetryLater();
}

void TFormGame::WriteSetting(const std::function<bool()>& write) {
  const std::optional<bool> written = WriteDuringPlay<ProfileWriteError>(write, settingsErrorReported_, "");
  if (written == false) RetryLater();
}

void TFormGame::RetryLater() {
  if (!retryTimer_->isActive()) retryTimer_->start(retryInterval_);
}

void TFormGame::RetryPending() {
  // Each try that finds the lock still busy waits twice as long for the next.
  retryInterval_ = std::min(retryInterval_ * 2, kLockRetryLongest);
  if (recordsPending_) GravaArqRec();
  if (arqIni_->HasPending()) WriteSetting([this] { return arqIni_->WritePending(); });
  if (!retryTimer_->isActive()) retryInterval_ = kLockRetryFirst;
}

void TFormGame::GravaArqRec() {
  WriteRecords([this] { return bestPlayers_->Save(); });
}

void TFormGame::AtualizaGaleria(TReal6 escore, std::int32_t perdidas) {
  WriteRecords([&] {
    return bestPlayers_->RankFinishedGame(options_.category, escore, perdidas, Today(services_.clock));
  });
}

// ---- options --------------------------------------------------------------

void TFormGame::RadioGroup1Click() {
  options_.category = options_.category.WithNumColors(levelGroup_->checkedId() + 4);
  OptionChanged();
}

void TFormGame::RadioGroup2Click() {
  options_.category = options_.category.WithBoard(boardGroup_->checkedId());
  OptionChanged();
}

void TFormGame::RadioGroup3Click() {
  options_.category = options_.category.WithNumFits(settingGroup_->checkedId() + 2);
  OptionChanged();
}

void TFormGame::OptionChanged() {
  if (!iniciado_) return;
  Deal();
}

void TFormGame::CheckBox1Click() {
  options_.Mute = muteBox_->isChecked();
  WriteSetting([this] { return WriteSwitch(*arqIni_, kMuteKey, options_.Mute); });
}

void TFormGame::SymbolsBoxClick() {
  options_.Symbols = symbolsBox_->isChecked();
  RedrawTiles();  // first: a failed write leaves the board as the box says
  WriteSetting([this] { return WriteSwitch(*arqIni_, kSymbolsKey, options_.Symbols); });
}

// ---- board, toolbar, timer ------------------------------------------------

void TFormGame::Image1MouseUp(PictureControl* sender, Qt::MouseButton button) {
  const Cell cell = Cell::FromIndex(sender->Index());
  game_.ClicaPeca(cell.column, cell.row, button == Qt::LeftButton);
}

void TFormGame::ToolbarMouseDown(PictureControl* sender) {
  const ToolbarButton& button = toolbar_[static_cast<std::size_t>(sender->Index())];
  sender->SetPicture(LoadBitmapFile(services_.programFolder, button.pressedFace));
  sender->repaint();
}

void TFormGame::ToolbarMouseUp(PictureControl* sender) {
  const ToolbarButton& button = toolbar_[static_cast<std::size_t>(sender->Index())];
  sender->SetPicture(LoadBitmapFile(services_.programFolder, button.releasedFace));  // a missing face stops here: no action
  (this->*button.action)();
}

void TFormGame::NewGameAction() { Deal(); }

void TFormGame::Deal() {
  ++dealCount_;
  bestPlayers_->ClearMark();
  game_.InicializaJogo();
  boardPanel_->resize(boardPanel_->width(), kBoardPanelHeight[static_cast<std::size_t>(options_.category.Board())]);
  cursor_->NewBoard(game_.ColIni(), game_.ColFim(), game_.LinIni(), game_.LinFim());
  // Even after a click in an option group: keys then play, and an arrow
  // meant for the board cannot throw the new game away.
  boardPanel_->setFocus(Qt::OtherFocusReason);
}

void TFormGame::GalleryAction() {
  if (TGallery* gallery = Gallery()) gallery->ShowForViewing();
}

void TFormGame::RulesAction() {
  if (TFormRules* rules = Rules()) rules->ShowRules();
}

void TFormGame::ExitAction() { close(); }

void TFormGame::Timer1Timer() {
  game_.Timer1Timer();
  RunBarTimer();
}

void TFormGame::RunBarTimer() {
  if (!game_.BarMoves() || !isVisible() || isMinimized()) {
    barTimer_->stop();
  } else if (!barTimer_->isActive()) {
    barTimer_->start();
  }
}

// ---- what the rules ask of the window --------------------------------------

void TFormGame::CellChanged(Cell cell) {
  PictureControl& control = *cells_[static_cast<std::size_t>(cell.Index())];
  if (!game_.Visible(cell)) {
    control.setVisible(false);
    return;
  }
  control.setVisible(true);
  const TPeca& peca = game_.Peca(cell);
  if (const char* file = PictureFileForState(peca.Estado)) {
    control.SetPicture(LoadBitmapFile(services_.programFolder, file));  // on failure the cell keeps its last look
    return;
  }
  PaintTile(peca, control.Picture(), options_.Symbols);
  control.PictureChanged();
}

void TFormGame::RedrawTiles() {
  for (int row = game_.LinIni(); row <= game_.LinFim(); ++row)
    for (int column = game_.ColIni(); column <= game_.ColFim(); ++column) {
      const Cell cell{column, row};
      if (game_.Visible(cell) && PictureFileForState(game_.Peca(cell).Estado) == nullptr) CellChanged(cell);
    }
}

void TFormGame::PlaySound(Sound sound) { services_.sound.Play(WaveFile(sound)); }

void TFormGame::ShowCounters(int tilesLeft, double score) {
  tilesLeft_->setText(QString::number(tilesLeft));
  score_->setText(QString::fromStdString(FormatWholeNumber(score, thousandsSeparator_)));
}

void TFormGame::ShowBar(int progress, int maximum) {
  bonusBar_->SetMaxValue(maximum);  // repaints nothing while the maximum stays
  bonusBar_->SetProgress(progress);
}

void TFormGame::BarMovesAgain() { RunBarTimer(); }

void TFormGame::GameEnded(TReal6 escore, std::int32_t perdidas) {
  AtualizaGaleria(escore, perdidas);
  if (bestPlayers_->PosicaoRanking() >= kNoRank) {
    if (TMensagem* mensagem = Mensagem()) mensagem->exec();
    return;
  }
  if (TGallery* gallery = Gallery()) gallery->ShowForNameEntry();
}

}  // namespace quillmont
