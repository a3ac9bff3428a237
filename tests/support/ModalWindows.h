#pragma once
// Runs an action on the next modal window as soon as it shows, so that tests
// can drive code that opens a window with exec(). Waits for the window to be
// activated too (at most a second), since focus checks depend on it and a
// loaded machine activates it a few events after showing it.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace quillmont::testing {

template <typename Action>
void WhenModalShows(Action action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action, waited = 0]() mutable {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && (modal->isActiveWindow() || ++waited > 200)) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}

}  // namespace quillmont::testing
