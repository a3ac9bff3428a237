// Quillmont: creates the windows in their order, runs the event loop, and
// lets the main window's destruction write the files.
#include <QApplication>
#include <QIcon>
#include <sys/auxv.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <exception>
#include <iterator>
#include <string_view>

#include "game/GameView.h"
#include "platform/Clock.h"
#include "platform/ConfigLocation.h"
#include "platform/ProgramFolder.h"
#include "platform/RandomSource.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/InstalledPlugins.h"
#include "platform/qt/SignalCloser.h"
#include "platform/qt/SoundPlayer.h"
#include "records/SharedState.h"
#include "shell/Settings.h"
#include "shell/TFormGame.h"
#include "Version.h"

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

constexpr const char* kUsage =
    "Usage: quillmont [OPTION]...\n"
    "A single-player tile-matching puzzle against the clock.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Qt's own options work too, for example -platform xcb, -display :1,\n"
    "-style fusion, -reverse, -qwindowgeometry 800x600+0+0.\n";

// Qt's options that take a value as the next argument (or after "="); Qt
// also takes each of its options with two dashes.
bool QtOptionWithValue(std::string_view name) {
  for (std::string_view known : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                 "geometry", "qwindowtitle", "title", "qwindowicon", "icon", "session", "display",
                                 "name", "style", "stylesheet", "qmljsdebugger", "fontengine"})
    if (name == known) return true;
  return false;
}

bool QtSwitch(std::string_view name) {
  for (std::string_view known : {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"})
    if (name == known) return true;
  return false;
}

// What the command line asks for before any window: -1 to go on and play,
// else the exit status. Runs before QApplication, so it needs no display.
int AnswerCommandLine(int argc, char** argv) {
  const auto print = [](std::FILE* stream, const char* text, int status) {
    // A full disk or a closed pipe is an error, as for any tool.
    return std::fputs(text, stream) < 0 || std::fflush(stream) != 0 ? 1 : status;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") return print(stdout, kUsage, 0);
    if (arg == "--version") return print(stdout, "quillmont " QUILLMONT_VERSION "\n", 0);
    if (arg.size() < 2 || arg[0] != '-' || arg == "--") continue;
    std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
    const bool hasValue = name.find('=') != std::string_view::npos;
    name = name.substr(0, name.find('='));
    if (QtOptionWithValue(name)) {
      if (!hasValue) ++i;  // the value, whatever it looks like
    } else if (!QtSwitch(name) && arg.starts_with("--")) {
      const std::string message = "quillmont: unknown option " + std::string(arg) + "\n";
      std::fputs(message.c_str(), stderr);
      print(stderr, kUsage, 2);
      return 2;
    }
  }
  return -1;
}

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
    SharedState shared;
    SystemClock clock;
    StdRandom random;
    // Destroyed after the main window, once both files are written: should
    // its thread be stuck in the sound server then, the process ends there.
    QtSoundPlayer sound(programFolder, {std::begin(kWaveFiles), std::end(kWaveFiles)});
    GameServices services{clock, random, sound, programFolder, SettingsFilePath(kSettingsFileName),
                          UserDataFilePath("quillmont/QUILLMONT.REC")};
    SayWhatIsNotKept(services);

    TFormGame formGame(shared, services);
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
