#pragma once
// Key handling shared by the list and the tree: letters go to the filter box, Enter asks for
// the synonym selection, releasing Ctrl clears the box, and releasing a moving key shows the
// description of the row now current.
#include <QObject>

namespace orv::app {

class ListKeyFilter : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    void Watch(QObject* view);

  signals:
    void enterPressed();
    void textTyped(const QString& text);  // a letter or a space
    void ctrlReleased();
    void movedByKey();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A letter of the program's alphabet (windows-1251 letters) or a space.
bool IsTypingText(const QString& text);

}  // namespace orv::app
