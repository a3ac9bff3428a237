// Quillmont: creates the windows in their order, runs the event loop, and
// lets the main window's destruction write the files.
#include <QApplication>
#include <QIcon>
#include <sys/auxv.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iterator>

#include "shell/GameFiles.h"
#include "platform/Clock.h"
#include "platform/ConfigLocation.h"
#include "platform/ProgramFolder.h"
#include "platform/RandomSource.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/InstalledPlugins.h"
#include "platform/qt/SignalCloser.h"
#include "platform/qt/SoundPlayer.h"
#include "records/RecordsFile.h"
#include "shell/CommandLine.h"
#include "shell/Settings.h"
#include "shell/TFormGame.h"

namespace {

// Setuid, setgid or file capabilities: Qt would still read the environment
// (QT_PLUGIN_PATH, QT_QPA_PLATFORM_PLUGIN_PATH) and load what it names with
// rights the player does not have.
bool RunsWithOthersRights() {
  return ::getauxval(AT_SECURE) != 0 || ::geteuid() != ::getuid() || ::getegid() != ::getgid();
}

// Said once at start: a user without a home folder plays, but nothing of
// theirs is kept, rather than being put in a folder that others share.
void SayWhatIsNotKept(const quillmont::GameServices& services) {
  const bool settings = services.settingsPath.empty(), records = services.userRecordsPath.empty();
  if (!settings && !records) return;
  const std::string lost = settings && records ? "the settings and the player's own best players"
                           : settings          ? "the settings"
                                               : "the player's own best players";
  quillmont::WriteToStandardError("no home folder: " + lost + " will not be kept");
}

// The main window while it lives. When the X server goes away, Qt's X11
// connection ends the process with exit(1) from the window thread's event
// loop, which runs no destructor: the shutdown's writes are made from here,
// as at any other shutdown. (Wayland's ends with _exit: nothing runs.)
quillmont::TFormGame* liveWindow = nullptr;

void WriteFilesOnExit() {
  if (liveWindow == nullptr) return;
  quillmont::ReportErrorsToStandardError();
  liveWindow->WriteFilesAtShutdown();
}

struct ForgetWindow {
  ~ForgetWindow() { liveWindow = nullptr; }
};

}  // namespace

int main(int argc, char** argv) {
  using namespace quillmont;
  if (const int status = AnswerCommandLine(argc, argv); status >= 0) return status;
  if (RunsWithOthersRights()) {
    WriteToStandardError("will not run setuid or setgid");
    return 1;
  }
  // A standard error that nobody reads any more (a closed terminal, a pipe
  // whose reader quit) must not end the shutdown half-way: writes to it
  // just fail.
  std::signal(SIGPIPE, SIG_IGN);
  // Found before anything else: without it there is nothing to show or play,
  // and the current folder is no substitute, since anybody may own it.
  ProgramFolder programFolder = ProgramFolder::OfExecutable();
  if (!programFolder.IsOpen()) {
    WriteToStandardError(programFolder.Problem());
    return 1;
  }
  SignalCloser::BlockTerminationSignals();
  UseOnlyInstalledQtPlugins(argc > 0 ? argv[0] : nullptr);
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
    SystemClock clock;
    StdRandom random;
    // Destroyed after the main window, once both files are written: should
    // its thread be stuck in the sound server then, the process ends there.
    QtSoundPlayer sound(programFolder, {std::begin(kWaveFiles), std::end(kWaveFiles)});
    GameServices services{clock, random, sound, programFolder, SettingsFilePath(kSettingsFileName),
                          UserDataFilePath(std::string("quillmont/") + kRecordsFileName)};
    SayWhatIsNotKept(services);

    TFormGame formGame(services);
    liveWindow = &formGame;
    const ForgetWindow forget;  // before the window goes, which writes the files itself
    std::atexit(WriteFilesOnExit);
    // The gallery, the game-over message and the rules come into being when
    // first shown, and then live to the end as if made here.
    formGame.CreateWindowsOnFirstUse();

    // An error box belongs to the main window even when no window is active.
    SetErrorReportOwner(&formGame);
    closer.SetWindow(&formGame);
    formGame.showMaximized();
    return QApplication::exec();
  } catch (const std::exception& e) {
    WriteToStandardError(e.what());
    return 1;
  }
}
