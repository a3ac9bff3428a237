#include "platform/qt/SignalCloser.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/ShutdownBudget.h"
#include "platform/qt/ErrorReport.h"

namespace quillmont {
namespace {

bool terminationSignalsBlocked = false;

sigset_t TerminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

// Reads every pending signal; returns the number of the last one, 0 for none.
int ReadSignals(int fd) {
  int number = 0;
  signalfd_siginfo info{};
  while (::read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    number = static_cast<int>(info.ssi_signo);
  }
  return number;
}

// Waits for something to read on fd, at most `milliseconds` (-1: no limit);
// false when the time is up.
bool WaitToRead(int fd, int milliseconds) {
  pollfd watched{fd, POLLIN, 0};
  for (;;) {
    const int ready = ::poll(&watched, 1, milliseconds);
    if (ready >= 0) return ready > 0;
    if (errno != EINTR) return true;  // let the read find out
  }
}

// The window thread may be stuck anywhere, even inside a write to standard
// error that holds stdio's lock because nobody reads the pipe: one write(2),
// which takes no lock, and only when it cannot block.
[[noreturn]] void EndNow(int signalNumber, const char* why) {
  char line[160] = "quillmont: ";
  std::strncat(line, why, sizeof line - std::strlen(line) - 2);
  std::strcat(line, "\n");
  pollfd out{STDERR_FILENO, POLLOUT, 0};
  if (::poll(&out, 1, 0) == 1 && (out.revents & POLLOUT) != 0) {
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line, std::strlen(line));
  }
  // Safe at any moment: each file is written under a temporary name and
  // renamed over the old one, so either stays whole.
  ::_exit(128 + signalNumber);
}

}  // namespace

void SignalCloser::BlockTerminationSignals() {
  const sigset_t set = TerminationSignals();
  // Should this fail, the signals keep their default action.
  terminationSignalsBlocked = pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

SignalCloser::SignalCloser(QObject* parent) : QObject(parent) {
  if (!terminationSignalsBlocked) return;
  const sigset_t set = TerminationSignals();
  signalFd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (signalFd_ >= 0) stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ >= 0) {
    try {
      watcher_ = std::thread(&SignalCloser::Watch, this);
      return;
    } catch (const std::system_error&) {
    }
  }
  if (stopFd_ >= 0) ::close(stopFd_);
  if (signalFd_ >= 0) ::close(signalFd_);
  stopFd_ = signalFd_ = -1;
  // Left blocked, the signals would be ignored for good: give them their
  // default action back, which ends the program without its shutdown. This
  // is the window thread; Qt's own threads keep them blocked, so the kernel
  // delivers them here.
  if (const int error = pthread_sigmask(SIG_UNBLOCK, &set, nullptr); error != 0) {
    WriteToStandardError(std::string("SIGTERM, SIGINT and SIGHUP stay blocked: ") + std::strerror(error));
  }
}

SignalCloser::~SignalCloser() {
  if (!watcher_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(closing_);
    if (signalled_) {
      // The watch goes on over what the process does after this, to its
      // end; its descriptors stay open for it.
      watcher_.detach();
      return;
    }
    stopping_ = true;
  }
  const std::uint64_t stop = 1;
  [[maybe_unused]] const ssize_t written = ::write(stopFd_, &stop, sizeof stop);
  watcher_.join();
  ::close(stopFd_);
  ::close(signalFd_);
}

void SignalCloser::Watch() {
  const int signalFd = signalFd_;
  int first = 0;
  while (first == 0) {
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;  // interrupted, or short of memory for a moment
    if (fds[1].revents != 0) return;
    if (fds[0].revents != 0) first = ReadSignals(signalFd);
  }
  {
    const std::lock_guard<std::mutex> lock(closing_);
    // A signal during the last steps of an orderly exit changes nothing.
    if (stopping_) return;
    signalled_ = true;
    ReportErrorsToStandardError();
    QMetaObject::invokeMethod(this, [this] { CloseWindows(); }, Qt::QueuedConnection);
  }
  // From here on this object may be gone: only signalFd is used.
  using std::chrono::steady_clock;
  const steady_clock::time_point deadline = steady_clock::now() + kShutdownLimit;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0 || !WaitToRead(signalFd, static_cast<int>(left))) {
      EndNow(first, "the shutdown took too long; ended without finishing it");
    }
    // A logout sends SIGHUP right after SIGTERM, and `timeout` signals
    // twice: the shutdown already under way keeps its deadline.
    ReadSignals(signalFd);
  }
}

void SignalCloser::CloseWindows() {
  // A modal window (the gallery, a message) would keep its own loop running:
  // close those first so the main window's close ends the program.
  while (QWidget* modal = QApplication::activeModalWidget()) {
    if (!modal->close()) break;
  }
  // A main window already closed (a signal during the shutdown after Exit)
  // is not closed again; its destruction is under way.
  if (window_ && window_->isVisible()) {
    window_->close();
  } else {
    QApplication::quit();
  }
}

}  // namespace quillmont
