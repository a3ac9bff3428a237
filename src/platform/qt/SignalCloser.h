#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window, so that a logout or a
// kill runs the same orderly shutdown as the Exit button. The signals are
// blocked before any thread exists and read from a signalfd on the event loop.
// While a signal closes the program no window opens (errors go to standard
// error), and a watch thread makes sure it ends promptly: a second signal, or
// a shutdown that has not finished in time, ends the process at once.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <thread>

class QSocketNotifier;

namespace quillmont {

class SignalCloser : public QObject {
  Q_OBJECT
 public:
  // Call before QApplication exists, so that every thread inherits the mask.
  static void BlockTerminationSignals();

  // Create it before the main window and let it outlive it: the watch then
  // also covers the files the main window writes as it is destroyed.
  explicit SignalCloser(QObject* parent = nullptr);
  ~SignalCloser() override;
  void SetWindow(QWidget* window) { window_ = window; }

 private:
  void OnSignal();
  void StartWatch(int signalNumber);

  int fd_ = -1;
  int stopFd_ = -1;  // written by the destructor to end the watch
  QSocketNotifier* notifier_ = nullptr;
  std::thread watch_;
  QPointer<QWidget> window_;
};

}  // namespace quillmont
