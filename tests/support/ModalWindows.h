#pragma once
// Runs an action on the next modal window as soon as it shows, so that tests
// can drive code that opens a window with exec().
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace quillmont::testing {

template <typename Action>
void WhenModalShows(Action action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}

}  // namespace quillmont::testing
