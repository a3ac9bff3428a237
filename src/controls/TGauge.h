#pragma once
// A horizontal bar gauge without border or text: the back colour, and from
// the left the fore colour over the whole percentage of its width.
#include <QColor>
#include <QWidget>

namespace quillmont {

class TGauge : public QWidget {
  Q_OBJECT
 public:
  explicit TGauge(QWidget* parent = nullptr);

  void SetMaxValue(int maximum);
  // Held within 0..the maximum; repaints only when the percentage changes.
  void SetProgress(int progress);
  int Progress() const { return progress_; }
  int Percent() const;
  void SetForeColor(QColor color);
  void SetBackColor(QColor color);
  int RepaintRequests() const { return repaintRequests_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Changed(int oldPercent);

  int maximum_ = 100;
  int progress_ = 0;
  QColor foreColor_{0, 0, 0};
  QColor backColor_{255, 255, 255};
  int repaintRequests_ = 0;
};

}  // namespace quillmont
