#include "platform/qt/SignalCloser.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>

namespace quillmont {
namespace {

sigset_t TerminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

}  // namespace

void SignalCloser::BlockTerminationSignals() {
  const sigset_t set = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalCloser::SignalCloser(QObject* parent) : QObject(parent) {
  const sigset_t set = TerminationSignals();
  fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ < 0) return;
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalCloser::OnSignal);
}

SignalCloser::~SignalCloser() {
  if (fd_ >= 0) ::close(fd_);
}

void SignalCloser::OnSignal() {
  signalfd_siginfo info{};
  while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
  }
  // A modal window (the gallery, a message) would keep its own loop running:
  // close those first so the main window's close ends the program.
  while (QWidget* modal = QApplication::activeModalWidget()) {
    if (!modal->close()) break;
  }
  if (window_) {
    window_->close();
  } else {
    QApplication::quit();
  }
}

}  // namespace quillmont
