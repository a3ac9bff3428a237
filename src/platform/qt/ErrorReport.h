#pragma once
// The standard error report: every handler that can fail runs through
// Guarded(), so no exception ever reaches Qt's event loop; the message is
// shown in a message box and the program goes on.
#include <exception>
#include <functional>
#include <set>
#include <string>

class QWidget;

namespace quillmont {

// Shows the text in the program's error message box and returns. Tests may
// replace the presenter to record messages instead of showing them.
void ReportError(const std::string& message);

// The window the message box belongs to when no window of the program is
// active: the main window, handed over at start-up. The box is then
// transient for it and floats over it as a dialog. Kept only while it lives.
void SetErrorReportOwner(QWidget* owner);

using ErrorPresenter = std::function<void(const std::string&)>;
// Installs a presenter and returns the previous one (empty: the message box).
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);

// From now on, for the rest of the run, every report goes to standard error
// and no window opens: while the system closes the program no one may be
// there to click OK, and a box would hold up the shutdown.
void ReportErrorsToStandardError();

// Writes "quillmont: <message>" as one line to standard error. Safe from any
// thread.
void WriteToStandardError(const std::string& message);

// Runs the handler; whatever it throws is reported. Returns false when it threw.
bool Guarded(const std::function<void()>& handler);

// Guarded() for a handler that runs again and again on its own, as a timer's
// does: each error is reported the first time only, so a fault that repeats
// opens one box instead of ten a second. The handler keeps running.
class GuardedRepeating {
 public:
  bool operator()(const std::function<void()>& handler);

 private:
  std::set<std::string> reported_;
};

}  // namespace quillmont
