#pragma once
// "Внимание!": a two-line message with "Да" and "Нет"; the caller reads Result() afterwards.
#include <QDialog>

class QLabel;
class QPushButton;

namespace orv::app {

class YesNoDialog : public QDialog {
    Q_OBJECT
  public:
    explicit YesNoDialog(QWidget* parent = nullptr);

    void SetMessage(const QString& line1, const QString& line2);
    // Shows the dialog modally; 1 for "Да", 0 for "Нет" or any other way of closing.
    int Ask();
    int Result() const { return result_; }

  private:
    void Arrange();

    QLabel* line1_;
    QLabel* line2_;
    QPushButton* yes_;
    QPushButton* no_;
    int result_ = 0;
};

}  // namespace orv::app
