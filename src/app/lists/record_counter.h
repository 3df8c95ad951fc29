#pragma once
// The record counter under the filter box: shown / total, green when the whole list is shown.
// Polled every 100 ms so every change of the list shows without notifications.
#include <QObject>
#include <QTimer>
#include <functional>

class QLabel;

namespace orv::app {

class RecordCounter : public QObject {
    Q_OBJECT
  public:
    // rows() gives the current row count of the list (-1 while it is still being read),
    // total() the number of preparations.
    RecordCounter(QLabel* label, QLabel* picture, std::function<int()> rows,
                  std::function<int()> total, QObject* parent = nullptr);

    void RecCountTimer();  // one tick
    QTimer& Timer() { return timer_; }
    // The start-up text, shown until the first tick.
    void ShowStartText(int rows, int total);

  private:
    QLabel* label_;
    QLabel* picture_;
    std::function<int()> rows_;
    std::function<int()> total_;
    QTimer timer_;
};

}  // namespace orv::app
