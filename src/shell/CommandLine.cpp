#include "shell/CommandLine.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "Version.h"

namespace quillmont {
namespace {

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

}  // namespace

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

}  // namespace quillmont
