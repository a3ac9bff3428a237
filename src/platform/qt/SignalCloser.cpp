#include "platform/qt/SignalCloser.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/qt/ErrorReport.h"

namespace quillmont {
namespace {

// From the first signal to the end of the process at the latest. An orderly
// shutdown takes milliseconds; a file lock held by another copy or a stuck
// disk must not keep a logout waiting, and the whole exit stays within 2 s.
constexpr std::chrono::milliseconds kShutdownLimit{1500};

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

[[noreturn]] void EndNow(int signalNumber, const char* why) {
  WriteToStandardError(why);
  // Safe at any moment: each file is written under a temporary name and
  // renamed over the old one, so either stays whole.
  ::_exit(128 + signalNumber);
}

// Runs on its own thread from the first signal on, so that it acts even when
// the window thread is stuck: returns when told to stop, ends the process on
// a second signal or when the time is up.
void WatchShutdown(int signalFd, int stopFd, int firstSignal) {
  using std::chrono::steady_clock;
  const steady_clock::time_point deadline = steady_clock::now() + kShutdownLimit;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0) EndNow(firstSignal, "the shutdown took too long; ended without finishing it");
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (::poll(fds, 2, static_cast<int>(left)) < 0) {
      if (errno == EINTR) continue;
      return;  // no watch; the orderly shutdown goes on alone
    }
    if (fds[1].revents != 0) return;
    if (fds[0].revents != 0) {
      if (const int again = ReadSignals(signalFd); again != 0) {
        EndNow(again, "a second signal; ended without finishing the shutdown");
      }
    }
  }
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
  fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ < 0) {
    // Left blocked, the signals would be ignored for good: give them their
    // default action back, which ends the program without its shutdown. This
    // is the window thread; Qt's own threads keep them blocked, so the kernel
    // delivers them here.
    if (const int error = pthread_sigmask(SIG_UNBLOCK, &set, nullptr); error != 0) {
      WriteToStandardError(std::string("SIGTERM, SIGINT and SIGHUP stay blocked: ") + std::strerror(error));
    }
    return;
  }
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalCloser::OnSignal);
}

SignalCloser::~SignalCloser() {
  if (watch_.joinable()) {
    const std::uint64_t stop = 1;
    // Should the write fail, the join still ends, at the watch's deadline.
    [[maybe_unused]] const ssize_t written = ::write(stopFd_, &stop, sizeof stop);
    watch_.join();
  }
  if (stopFd_ >= 0) ::close(stopFd_);
  if (fd_ >= 0) ::close(fd_);
}

void SignalCloser::OnSignal() {
  const int signalNumber = ReadSignals(fd_);
  if (signalNumber == 0) return;
  // From here on the watch reads the signals, and nothing waits for a person.
  notifier_->setEnabled(false);
  ReportErrorsToStandardError();
  StartWatch(signalNumber);
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

void SignalCloser::StartWatch(int signalNumber) {
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) return;  // no watch; the orderly shutdown goes on alone
  try {
    watch_ = std::thread(WatchShutdown, fd_, stopFd_, signalNumber);
  } catch (const std::system_error&) {
    ::close(stopFd_);
    stopFd_ = -1;
  }
}

}  // namespace quillmont
