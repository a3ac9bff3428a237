#include "platform/qt/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <atomic>
#include <cstdio>

namespace quillmont {
namespace {

std::atomic<bool> toStandardError{false};

ErrorPresenter& Presenter() {
  static ErrorPresenter presenter;  // the one hook tests use to see reports
  return presenter;
}

// Runs the handler and hands whatever it throws, as text, to `report`.
template <typename Report>
bool RunReporting(const std::function<void()>& handler, Report report) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    report(std::string(e.what()));
  } catch (...) {
    report(std::string("Unknown error"));
  }
  return false;
}

QPointer<QWidget>& Owner() {
  static QPointer<QWidget> owner;
  return owner;
}

// The active window (a dialog over the main window, say), else the owner
// while it is shown: once closed, its shutdown may still report, and a
// closed window is nothing to stand over.
QWidget* MessageBoxParent() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  QWidget* owner = Owner();
  return owner != nullptr && owner->isVisible() ? owner : nullptr;
}

void ShowMessageBox(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                  QString::fromLocal8Bit(message.c_str()), QMessageBox::Ok, MessageBoxParent());
  box.setTextFormat(Qt::PlainText);  // messages hold paths, which may look like markup
  box.exec();
}

}  // namespace

void ReportError(const std::string& message) {
  if (toStandardError) {
    WriteToStandardError(message);
  } else if (Presenter()) {
    Presenter()(message);
  } else {
    ShowMessageBox(message);
  }
}

void SetErrorReportOwner(QWidget* owner) { Owner() = owner; }

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) {
  ErrorPresenter previous = std::move(Presenter());
  Presenter() = std::move(presenter);
  return previous;
}

void ReportErrorsToStandardError() { toStandardError = true; }

void WriteToStandardError(const std::string& message) {
  // One call per line, so lines from two threads never mix.
  std::fprintf(stderr, "quillmont: %s\n", message.c_str());
  std::fflush(stderr);
}

bool Guarded(const std::function<void()>& handler) { return RunReporting(handler, ReportError); }

bool GuardedRepeating::operator()(const std::function<void()>& handler) {
  // Marked before the report: a message box runs the timer's next ticks
  // while it waits for OK.
  return RunReporting(handler, [this](const std::string& message) {
    if (reported_.insert(message).second) ReportError(message);
  });
}

}  // namespace quillmont
