#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window, so that a logout or a
// kill runs the same orderly shutdown as the Exit button. The signals are
// blocked before any thread exists and read from a signalfd by a watcher
// thread that lives from start-up to the end of the process, so a signal is
// seen even while the window thread is busy. While a signal closes the
// program no window opens (errors go to standard error), and the watcher
// makes sure it ends promptly: a shutdown that has not finished
// kShutdownLimit after the first signal ends the process there. Further
// signals change nothing (a logout sends SIGHUP right after SIGTERM).
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <mutex>
#include <thread>

namespace quillmont {

class SignalCloser : public QObject {
  Q_OBJECT
 public:
  // Call before QApplication exists, so that every thread inherits the mask.
  static void BlockTerminationSignals();

  // Create it right after the QApplication and let it outlive everything
  // else: the watch then also covers the files written at shutdown, the
  // sound thread's end and what the process does after.
  explicit SignalCloser(QObject* parent = nullptr);
  ~SignalCloser() override;
  void SetWindow(QWidget* window) { window_ = window; }

 private:
  void Watch();
  void CloseWindows();

  int signalFd_ = -1;
  int stopFd_ = -1;  // written by the destructor to end the watch
  std::thread watcher_;
  // Taken by the watcher as it asks the window thread to close and by the
  // destructor, so the two never cross: after a signal the watch goes on to
  // the end of the process; once the destructor runs, a signal changes
  // nothing.
  std::mutex closing_;
  bool signalled_ = false;
  bool stopping_ = false;
  QPointer<QWidget> window_;
};

}  // namespace quillmont
