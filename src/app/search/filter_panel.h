#pragma once
// The panel above the lists: filter box, select button, record counter and the universal
// search check box.
#include <QWidget>

class QToolButton;
class QCheckBox;
class QLabel;

namespace orv::app {

class FilterEdit;

class FilterPanel : public QWidget {
    Q_OBJECT
  public:
    explicit FilterPanel(QWidget* parent = nullptr);

    FilterEdit* edFilter;
    QToolButton* sbFilter;
    QCheckBox* usearch;
    QLabel* Image1;
    QLabel* RecC;

  protected:
    void resizeEvent(QResizeEvent* e) override;  // pnFilterResize
};

}  // namespace orv::app
