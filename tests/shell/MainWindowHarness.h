#pragma once
// Builds a real main window offscreen around a temporary program folder (a
// copy of the generated bitmaps and sounds) and a temporary settings file,
// with a fake clock, a seeded generator and a recording sound player.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/ModalWindows.h"
#include "support/FakeClock.h"
#include "platform/ProgramFolder.h"
#include "platform/RandomSource.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/SoundPlayer.h"
#include "shell/PictureControl.h"
#include "records/BestPlayers.h"
#include "shell/TFormGame.h"

namespace quillmont::testing {

class RecordingSound final : public SoundPlayer {
 public:
  std::vector<std::string> played;
  void Play(std::string_view fileName) override { played.emplace_back(fileName); }
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A click on the cell at (column, row) of the real window.
inline void ClickCell(TFormGame& form, int column, int row, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(form.Image(Cell{column, row}.Index()), button);
}

// A key pressed where the keyboard focus is, as a real keyboard delivers it.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) {
    ADD_FAILURE() << "no widget has the keyboard focus";
    return;
  }
  QTest::keyClick(target, key, modifiers);
}

class MainWindowHarness {
 public:
  MainWindowHarness() {
    root_ = std::filesystem::temp_directory_path() /
            ("quillmont-shell-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(ProgramFolder());
    std::filesystem::create_directories(ConfigFolder());
    for (const auto& entry : std::filesystem::directory_iterator(QUILLMONT_TEST_ASSETS)) {
      const auto ext = entry.path().extension();
      if (ext == ".bmp" || ext == ".wav") std::filesystem::copy_file(entry.path(), ProgramFolder() / entry.path().filename());
    }
    previousPresenter_ = SetErrorPresenter([this](const std::string& m) { errors.push_back(m); });
  }

  ~MainWindowHarness() {
    form.reset();
    SetErrorPresenter(std::move(previousPresenter_));
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(root_, ignored);
  }

  std::filesystem::path ProgramFolder() const { return root_ / "program"; }
  // The program folder as the window reads it, opened once as at start-up.
  const quillmont::ProgramFolder& Folder() {
    if (!folder_) folder_ = std::make_unique<quillmont::ProgramFolder>(ProgramFolder().string());
    return *folder_;
  }
  std::filesystem::path ConfigFolder() const { return root_ / "config"; }
  std::filesystem::path SettingsPath() const { return ConfigFolder() / "QUILLMONT.INI"; }
  std::filesystem::path UserRecordsPath() const { return root_ / "data" / "quillmont" / "QUILLMONT.REC"; }

  void WriteSettings(const std::string& text) { WriteFile(SettingsPath(), text); }
  std::string Settings() const { return ReadFile(SettingsPath()); }

  // Creates the window (FormCreate) and shows it (FormShow).
  TFormGame& Start(bool show = true) {
    form = std::make_unique<TFormGame>(
        GameServices{clock, random, sound, Folder(), SettingsPath().string(),
                             UserRecordsPath().string()});
    if (show) {
      form->show();
      QApplication::processEvents();
    }
    return *form;
  }

  // Destroys the window (FormDestroy).
  void Stop() { form.reset(); }

  FakeClock clock;
  StdRandom random;
  RecordingSound sound;
  std::vector<std::string> errors;
  std::unique_ptr<TFormGame> form;

 private:
  inline static int counter_ = 0;
  std::filesystem::path root_;
  std::unique_ptr<quillmont::ProgramFolder> folder_;
  ErrorPresenter previousPresenter_;
};


}  // namespace quillmont::testing
