// The main window's controls: where each one sits, how it looks, and which
// handler it reaches. Positions are the designed pixels at 96 dpi.
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>

#include "controls/Panel.h"
#include "controls/ProgramFont.h"
#include "controls/TGauge.h"
#include "controls/TGradient.h"
#include "controls/TLabel3D.h"
#include "controls/WindowCanvas.h"
#include "platform/qt/BitmapFile.h"
#include "platform/qt/ErrorReport.h"
#include "shell/BoardCursor.h"
#include "shell/PictureControl.h"
#include "shell/TFormGame.h"

namespace quillmont {
namespace {

constexpr int kTopPanelHeight = 29;
constexpr int kBottomPanelHeight = 41;
constexpr int kSidePanelWidth = 106;

QLabel* MakeCaption(QWidget* parent, const char* text, QRect bounds) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setGeometry(bounds);
  label->setFont(ProgramFont(13, true));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  label->setPalette(palette);
  return label;
}

QLabel* MakeCounter(QWidget* parent, QRect bounds) {
  auto* counter = new QLabel(parent);
  counter->setTextFormat(Qt::PlainText);  // numbers with the locale's separator
  counter->setGeometry(bounds);
  counter->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  counter->setLineWidth(2);
  counter->setAlignment(Qt::AlignCenter);
  counter->setFont(ProgramFont(QStringLiteral("Arial"), 15, true));
  counter->setAutoFillBackground(true);
  QPalette palette = counter->palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
  counter->setPalette(palette);
  return counter;
}

}  // namespace

void TFormGame::BuildWindow() {
  setWindowTitle(QStringLiteral("Quillmont"));
  setWindowIcon(QIcon(QStringLiteral(":/images/quillmont.png")));
  setFont(ProgramFont(11));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(255, 255, 223));
  setPalette(palette);
  const QSize design(40 + 613 + 24 + kSidePanelWidth, 85 + 420 + 16 + kBottomPanelHeight);
  setMinimumSize(design);
  resize(800, 600);
  canvas_ = new WindowCanvas(this, design);

  // Painted in creation order, each over the previous ones; panels on top.
  background_ = new TGradient(canvas_);
  background_->SetBeginColor(QColor(202, 238, 255));
  background_->SetEndColor(QColor(0, 128, 128));
  background_->SetDirection(TGradient::fdTopToBottom);

  barShadow_ = new QWidget(canvas_);
  barShadow_->setGeometry(280, 48, 209, 25);
  barShadow_->setAutoFillBackground(true);
  QPalette shadow = barShadow_->palette();
  shadow.setColor(QPalette::Window, QColor(128, 128, 128));
  barShadow_->setPalette(shadow);

  bonusBar_ = new TGauge(canvas_);
  bonusBar_->setGeometry(272, 40, 209, 25);
  bonusBar_->SetForeColor(QColor(0, 128, 192));
  bonusBar_->SetBackColor(QColor(138, 217, 255));

  barTitle_ = new TLabel3D(canvas_);
  // Sized to its text, keeping its right edge beside the bar whatever width
  // the font gives the words.
  barTitle_->setGeometry(176, 40, 89, 26);
  barTitle_->SetAlignment(Qt::AlignRight);
  barTitle_->SetFont(ProgramFont(QStringLiteral("MS Sans Serif"), 21, false), QColor(0, 128, 192));
  barTitle_->SetTransparent(true);
  barTitle_->SetCaption(QStringLiteral("Bonus Bar"));

  BuildToolbar();

  bandPanel_ = MakePanel(canvas_, palette.color(QPalette::Window), QFrame::Panel, QFrame::Raised, 1);
  band_ = new QLabel(bandPanel_);
  band_->setPixmap(QPixmap(QStringLiteral(":/images/band.png")));
  band_->setScaledContents(true);

  BuildSidePanel();
  BuildBoard();
  SetTabOrder();

  barTimer_ = new QTimer(this);
  barTimer_->setInterval(100);
  connect(barTimer_, &QTimer::timeout, this, [this] { barTimerGuard_([this] { Timer1Timer(); }); });

  canvas_->onResize = [this] { LayOutDockedPanels(); };
  LayOutDockedPanels();
}

void TFormGame::BuildToolbar() {
  toolbarPanel_ = MakePanel(canvas_, QColor(192, 192, 192), QFrame::Box, QFrame::Plain, 1);
  // Each button's shortcut does what its release does; the tooltip names both.
  struct Slot {
    int left;
    const char* pressed;
    const char* released;
    void (TFormGame::*action)();
    const char* hint;
    QKeySequence shortcut;
  };
  const std::array<Slot, 4> faces{
      {{0, "dnewgame.bmp", "newgame.bmp", &TFormGame::NewGameAction, "New game", QKeySequence(Qt::CTRL | Qt::Key_N)},
       {75, "dgallery.bmp", "gallery.bmp", &TFormGame::GalleryAction, "Best players",
        QKeySequence(Qt::CTRL | Qt::Key_H)},
       {150, "drules.bmp", "rules.bmp", &TFormGame::RulesAction, "Rules", QKeySequence(Qt::Key_F1)},
       {300, "dexit.bmp", "exit.bmp", &TFormGame::ExitAction, "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)}}};
  for (std::size_t i = 0; i < faces.size(); ++i) {
    auto* image = new PictureControl(toolbarPanel_, static_cast<int>(i));
    image->setGeometry(1 + faces[i].left, 1, 75, 25);
    image->setToolTip(QStringLiteral("%1 (%2)").arg(QLatin1String(faces[i].hint),
                                                    faces[i].shortcut.toString(QKeySequence::NativeText)));
    toolbar_[i] = ToolbarButton{image, faces[i].pressed, faces[i].released, faces[i].action};
    connect(image, &PictureControl::MousePressed, this,
            [this](PictureControl* sender, Qt::MouseButton) { Guarded([&] { ToolbarMouseDown(sender); }); });
    connect(image, &PictureControl::MouseReleased, this,
            [this](PictureControl* sender, Qt::MouseButton) { Guarded([&] { ToolbarMouseUp(sender); }); });
    // Only while the main window is active: a modal window keeps its keys.
    connect(new QShortcut(faces[i].shortcut, this), &QShortcut::activated, this,
            [this, image] { Guarded([&] { ToolbarMouseUp(image); }); });
  }
}

void TFormGame::BuildSidePanel() {
  sidePanel_ = MakePanel(canvas_, QColor(230, 230, 230), QFrame::Box, QFrame::Plain, 1);
  MakeCaption(sidePanel_, "Tiles left", QRect(6, 8, 96, 16));
  tilesLeft_ = MakeCounter(sidePanel_, QRect(6, 24, 89, 25));
  MakeCaption(sidePanel_, "Score", QRect(6, 56, 96, 16));
  score_ = MakeCounter(sidePanel_, QRect(6, 72, 89, 25));

  struct Group {
    const char* caption;
    QRect bounds;
    std::vector<const char*> choices;
    QButtonGroup* TFormGame::*group;
    void (TFormGame::*click)();
  };
  const auto names = [](const auto& list) { return std::vector<const char*>(list.begin(), list.end()); };
  const std::array<Group, 3> groups{{
      {"Level", QRect(6, 112, 89, 105), names(Category::kLevelNames), &TFormGame::levelGroup_,
       &TFormGame::RadioGroup1Click},
      {"Board", QRect(6, 232, 89, 105), names(Category::kBoardNames), &TFormGame::boardGroup_,
       &TFormGame::RadioGroup2Click},
      {"Setting", QRect(6, 353, 89, 70), names(Category::kSettingNames), &TFormGame::settingGroup_,
       &TFormGame::RadioGroup3Click},
  }};
  for (std::size_t g = 0; g < groups.size(); ++g) {
    auto* box = new QGroupBox(QString::fromLatin1(groups[g].caption), sidePanel_);
    box->setGeometry(groups[g].bounds);
    auto* buttons = new QButtonGroup(box);
    const int count = static_cast<int>(groups[g].choices.size());
    const int itemHeight = (groups[g].bounds.height() - 18) / count;
    for (int i = 0; i < count; ++i) {
      auto* radio = new QRadioButton(QString::fromLatin1(groups[g].choices[static_cast<std::size_t>(i)]), box);
      radio->setGeometry(8, 16 + i * itemHeight, groups[g].bounds.width() - 12, itemHeight);
      buttons->addButton(radio, i);
    }
    buttons->button(0)->setChecked(true);  // the designed choice, before any handler is connected
    this->*groups[g].group = buttons;
    const auto click = groups[g].click;
    connect(buttons, &QButtonGroup::idToggled, this, [this, click](int, bool checked) {
      if (checked) Guarded([&] { (this->*click)(); });
    });
  }
  const auto makeSwitch = [this](const char* caption, int top, void (TFormGame::*click)()) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), sidePanel_);
    box->setGeometry(9, top, 97, 17);
    connect(box, &QCheckBox::toggled, this, [this, click](bool) { Guarded([&] { (this->*click)(); }); });
    return box;
  };
  muteBox_ = makeSwitch("Mute", 443, &TFormGame::CheckBox1Click);
  symbolsBox_ = makeSwitch("Symbols", 463, &TFormGame::SymbolsBoxClick);
}

void TFormGame::BuildBoard() {
  boardPanel_ = MakePanel(canvas_, QColor(234, 249, 255), QFrame::Box, QFrame::Plain, 1);
  boardPanel_->setGeometry(40, 85, 613, 392);
  // Created in order Image1..Image160; neighbours overlap by their border pixel.
  for (int k = 0; k < kCells; ++k) {
    auto* cell = new PictureControl(boardPanel_, k);
    const Cell at = Cell::FromIndex(k);
    cell->setGeometry(1 + (at.column - 1) * 38, 1 + (at.row - 1) * 38, 39, 39);
    cell->hide();
    cells_[static_cast<std::size_t>(k)] = cell;
  }
  // Above the cells, so its frame lies over them.
  cursor_ = new BoardCursor(boardPanel_, [this](Cell cell) { return Image(cell.Index()); });
  for (PictureControl* cell : cells_) {
    connect(cell, &PictureControl::MousePressed, cursor_, &BoardCursor::MouseClicked);
    connect(cell, &PictureControl::MouseReleased, this,
            [this](PictureControl* sender, Qt::MouseButton button) {
              Guarded([&] { Image1MouseUp(sender, button); });
            });
  }
  // Space and Enter pick the cursor's cell as a left click on it would.
  connect(cursor_, &BoardCursor::Activated, this, [this](Cell cell) {
    Guarded([&] { Image1MouseUp(Image(cell.Index()), Qt::LeftButton); });
  });
}

// The board first, then each option group's choices, Mute and Symbols.
void TFormGame::SetTabOrder() {
  QWidget* previous = boardPanel_;
  for (QButtonGroup* group : {levelGroup_, boardGroup_, settingGroup_}) {
    for (QAbstractButton* choice : group->buttons()) {
      setTabOrder(previous, choice);
      previous = choice;
    }
  }
  setTabOrder(previous, muteBox_);
  setTabOrder(muteBox_, symbolsBox_);
}

void TFormGame::LayOutDockedPanels() {
  const int w = canvas_->width();
  const int h = canvas_->height();
  toolbarPanel_->setGeometry(0, 0, w, kTopPanelHeight);
  bandPanel_->setGeometry(0, h - kBottomPanelHeight, w, kBottomPanelHeight);
  band_->setGeometry(1, 1, w - 2, kBottomPanelHeight - 2);
  const int middle = h - kTopPanelHeight - kBottomPanelHeight;
  sidePanel_->setGeometry(w - kSidePanelWidth, kTopPanelHeight, kSidePanelWidth, middle);
  background_->setGeometry(0, kTopPanelHeight, w - kSidePanelWidth, middle);
}

}  // namespace quillmont
