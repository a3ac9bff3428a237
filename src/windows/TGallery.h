#pragma once
// The best players of the current category, and the one place where the
// player's name is asked for and a category can be cleared. Opened for
// viewing, it also shows the other categories, one at a time.
#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "records/Category.h"
#include "records/TRecorde.h"
#include "windows/GalleryRows.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;

namespace quillmont {

class BestPlayers;
class TLabel3D;
struct GameOptions;

class TGallery : public QDialog {
  Q_OBJECT
 public:
  // Shows `bestPlayers`; the game's category and the name offered come
  // from `options`, and a name confirmed goes back there.
  TGallery(BestPlayers& bestPlayers, GameOptions& options, GalleryFormats formats = GalleryFormats::System(),
           QWidget* parent = nullptr);

  // After a ranked game: the name box offered, the new row marked; when the
  // window closes the new entry takes Player's name. Returns the dialog's
  // result (Accepted after OK).
  int ShowForNameEntry();
  // From the toolbar: the table only, starting at the game's category;
  // Page Down / Page Up and the mouse wheel over the rows step through the
  // 18 categories in the order of the records file, wrapping.
  void ShowForViewing();
  // Refreshes the 15 rows from the category on show, and marks the new row
  // when that is the game's own category. (The main window's AtualizaGaleria
  // ranks a finished game.)
  void AtualizaGaleria();

  // Called whenever the table changed here (a name stored, a Reset), so the
  // owner can write the file at once.
  std::function<void()> onTableChanged;
  // Asks "Reset gallery?"; replaceable for tests.
  std::function<bool()> confirmReset;

  QLineEdit* NameBox() const { return nameBox_; }
  QLabel* NameCaption() const { return nameCaption_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* ResetButton() const { return resetButton_; }
  TLabel3D* CategoryTitle() const { return categoryTitle_; }
  // Row 1..15, cell 0 rank, 1 name, 2 score, 3 missed, 4 date.
  QLabel* Cell(int row, int cell) const {
    return rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(cell)];
  }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Opens the window at the game's category, with or without the name box;
  // only the table without it browses the categories.
  int Open(bool nameEntry);
  void FormShow();
  void Edit1Change();
  void BitBtn1Click();
  void BitBtn2Click();
  void BuildRows();
  void ShowCategory(Category category);
  void ShowTitle();
  void Browse(int step);
  void SetBrowsing(bool on);

  BestPlayers& bestPlayers_;
  GameOptions& options_;
  GalleryFormats formats_;
  int dateWidth_ = 49;  // the date column, wide enough for the date format
  Category category_;   // on show
  bool browsing_ = false;
  int wheelAngle_ = 0;  // eighths of a degree not yet turned into a step
  std::array<QShortcut*, 2> browseKeys_{};

  TLabel3D* title_ = nullptr;
  TLabel3D* categoryTitle_ = nullptr;
  QLabel* nameCaption_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QFrame* rowsPanel_ = nullptr;
  QFrame* headingPanel_ = nullptr;
  QLineEdit* nameBox_ = nullptr;
  QPushButton* resetButton_ = nullptr;
  std::array<std::array<QLabel*, 5>, 15> rows_{};
};

}  // namespace quillmont
