#pragma once
// The filter box. It reports the keys the quick filter reacts to: Enter released, a moving key
// pressed (the focus goes to the list), and Ctrl tapped alone. Ctrl released after a shortcut
// made with it (a paste, a copy, an undo...) is not a tap, so the shortcut's work stays.
#include <QLineEdit>

namespace orv::app {

class FilterEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit FilterEdit(QWidget* parent = nullptr);

  signals:
    void enterReleased();
    void ctrlTapped();
    void movingKeyPressed();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

  private:
    bool ctrlUsed_ = false;   // a key went down while Ctrl was held
    bool enterDown_ = false;  // Enter went down in the box
};

}  // namespace orv::app
