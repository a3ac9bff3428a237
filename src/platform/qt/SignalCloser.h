#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window, so that a logout or a
// kill runs the same orderly shutdown as the Exit button. The signals are
// blocked before any thread exists and read from a signalfd on the event loop.
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

namespace quillmont {

class SignalCloser : public QObject {
  Q_OBJECT
 public:
  // Call before QApplication exists, so that every thread inherits the mask.
  static void BlockTerminationSignals();

  explicit SignalCloser(QObject* parent = nullptr);
  ~SignalCloser() override;
  void SetWindow(QWidget* window) { window_ = window; }

 private:
  void OnSignal();

  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QPointer<QWidget> window_;
};

}  // namespace quillmont
