#pragma once
// Key handling shared by the list and the tree: letters go to the filter box, Enter asks for
// the synonym selection, releasing Ctrl clears the box, and releasing a moving key shows the
// description of the row now current.
#include <QObject>
#include <QSet>

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

  private:
    // Moving keys whose press reached a view. The release of one taken by a shortcut
    // (Shift+Down scrolls the page) must not redraw the page once Shift is let go first.
    QSet<int> pressed_;
};

// A letter of the program's alphabet (windows-1251 letters) or a space.
bool IsTypingText(const QString& text);

}  // namespace orv::app
