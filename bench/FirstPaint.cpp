// Times a program's first paint on an X server and reads its memory.
//
//   first_paint [-q QUIET_MS] [-m MEMORY_MS] [-t TIMEOUT_MS] [-v] COMMAND [ARG...]
//
// Watches the Damage extension on the root window, which without a
// compositor reports every drawing into any window on the screen, then
// starts COMMAND. The first paint is the first burst of damage after the
// start: it ends at the first pause of QUIET_MS (150) without damage, and its
// time is that of its last damage event, counted from just before the fork.
// MEMORY_MS (1500) after the first window maps, the program's resident
// memory and the number of shared libraries it has mapped are read from
// /proc; then it gets SIGTERM. Prints one line:
//   <painted ms> <resident kB> <shared libraries>
// With -v every damage and map event goes to standard error as it comes.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start, Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(t - start).count();
}

long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = -1;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      break;
    }
    status.ignore(1 << 20, '\n');
  }
  return value;
}

// Distinct shared objects in the process's address space, plugins included.
int SharedLibraries(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::set<std::string> files;
  for (std::string line; std::getline(maps, line);) {
    const auto slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string path = line.substr(slash);
    if (path.find(".so") != std::string::npos) files.insert(path);
  }
  return static_cast<int>(files.size());
}

[[noreturn]] void Usage() {
  std::fprintf(stderr, "usage: first_paint [-q QUIET_MS] [-m MEMORY_MS] [-t TIMEOUT_MS] [-v] COMMAND [ARG...]\n");
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  int quietMs = 150, memoryMs = 1500, timeoutMs = 20000;
  bool verbose = false;
  int opt;
  while ((opt = getopt(argc, argv, "+q:m:t:v")) != -1) {
    switch (opt) {
      case 'q': quietMs = std::atoi(optarg); break;
      case 'm': memoryMs = std::atoi(optarg); break;
      case 't': timeoutMs = std::atoi(optarg); break;
      case 'v': verbose = true; break;
      default: Usage();
    }
  }
  if (optind >= argc) Usage();

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "first_paint: cannot open the display\n");
    return 1;
  }
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fprintf(stderr, "first_paint: the X server has no Damage extension\n");
    return 1;
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XDamageCreate(display, root, XDamageReportRawRectangles);
  // Whatever the last program left behind is repainted before the clock starts.
  XSync(display, False);
  for (int settle = 0; settle < 2; ++settle) {
    usleep(50000);
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
    }
  }

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    close(ConnectionNumber(display));
    execvp(argv[optind], argv + optind);
    std::perror("first_paint: exec");
    _exit(127);
  }

  Clock::time_point lastDamage{}, mapped{};
  bool damaged = false, painted = false, hasMapped = false;
  const int fd = ConnectionNumber(display);
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (MillisecondsSince(start, now) > timeoutMs) {
      std::fprintf(stderr, "first_paint: timed out\n");
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      return 1;
    }
    if (damaged && !painted && MillisecondsSince(lastDamage, now) >= quietMs) painted = true;
    if (painted && hasMapped && MillisecondsSince(mapped, now) >= memoryMs) break;
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "first_paint: the program ended before it was measured\n");
      return 1;
    }
    if (XPending(display) == 0) {
      pollfd wait{fd, POLLIN, 0};
      poll(&wait, 1, 5);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    const Clock::time_point at = Clock::now();
    if (event.type == damageEvent + XDamageNotify) {
      const auto& d = reinterpret_cast<const XDamageNotifyEvent&>(event);
      if (verbose) {
        std::fprintf(stderr, "%8.2f damage %dx%d+%d+%d\n", MillisecondsSince(start, at), d.area.width,
                     d.area.height, d.area.x, d.area.y);
      }
      if (!painted) {
        damaged = true;
        lastDamage = at;
      }
    } else if (event.type == MapNotify) {
      if (verbose) std::fprintf(stderr, "%8.2f map 0x%lx\n", MillisecondsSince(start, at), event.xmap.window);
      if (!hasMapped) {
        hasMapped = true;
        mapped = at;
      }
    }
  }

  const long resident = ResidentKilobytes(child);
  const int libraries = SharedLibraries(child);
  kill(child, SIGTERM);
  for (int tries = 0; waitpid(child, nullptr, WNOHANG) == 0; ++tries) {
    if (tries == 500) kill(child, SIGKILL);  // 5 s
    usleep(10000);
  }
  std::printf("%.1f %ld %d\n", MillisecondsSince(start, lastDamage), resident, libraries);
  return 0;
}
