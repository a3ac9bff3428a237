#pragma once
// The standard error report: every handler that can fail runs through
// Guarded(), so no exception ever reaches Qt's event loop; the message is
// shown in a message box and the program goes on.
#include <exception>
#include <functional>
#include <string>

namespace quillmont {

// Shows the text in the program's error message box and returns. Tests may
// replace the presenter to record messages instead of showing them.
void ReportError(const std::string& message);

using ErrorPresenter = std::function<void(const std::string&)>;
// Installs a presenter and returns the previous one (empty: the message box).
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);

// Runs the handler; whatever it throws is reported. Returns false when it threw.
bool Guarded(const std::function<void()>& handler);

}  // namespace quillmont
