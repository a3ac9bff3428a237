// Quillmont: creates the windows in their order, runs the event loop, and
// lets the main window's destruction write the files.
#include <QApplication>
#include <QIcon>
#include <exception>

#include "platform/Clock.h"
#include "platform/ConfigLocation.h"
#include "platform/ProgramFolder.h"
#include "platform/RandomSource.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/SignalCloser.h"
#include "platform/qt/SoundPlayer.h"
#include "records/SharedState.h"
#include "shell/Settings.h"
#include "shell/TFormGame.h"

int main(int argc, char** argv) {
  using namespace quillmont;
  SignalCloser::BlockTerminationSignals();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillmont"));
  // Ties the window to its installed desktop entry (Wayland has no WM class).
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillmont.Quillmont"));
  // No display name: Qt would append it to every title the window manager
  // shows ("Attention — Quillmont"); each window's caption stands alone.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/quillmont.png")));
  // Watches from here to the end of the process, the shutdown included.
  SignalCloser closer;

  try {
    SharedState shared;
    SystemClock clock;
    StdRandom random;
    // Destroyed after the main window, once both files are written: should
    // its thread be stuck in the sound server then, the process ends there.
    QtSoundPlayer sound;
    GameServices services{clock, random, sound, ExecutableDirectory(), SettingsFilePath(kSettingsFileName),
                          UserDataFilePath("quillmont/QUILLMONT.REC")};
    // A packaged copy's folder belongs to the system: writing the table there
    // (as root may) would leave a file in /usr that no package owns.
    services.keepRecordsInUserCopy = IsSystemInstall(services.programFolder);

    TFormGame formGame(shared, services);
    // The gallery, the game-over message and the rules come into being when
    // first shown, and then live to the end as if made here.
    formGame.CreateWindowsOnFirstUse();

    closer.SetWindow(&formGame);
    formGame.showMaximized();
    return QApplication::exec();
  } catch (const std::exception& e) {
    WriteToStandardError(e.what());
    return 1;
  }
}
