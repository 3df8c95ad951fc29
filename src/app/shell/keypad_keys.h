#pragma once
// Shortcuts for keypad keys only. Qt 6's shortcut map drops the keypad modifier before it
// matches a key, so a sequence that carries it never fires on real key events. Such a
// shortcut is registered as the plain key instead, and this filter keeps the main-row key
// (the same key without the keypad modifier) away from it in one window.
#include <QObject>
#include <QWidget>
#include <vector>

namespace orv::app {

// The sequence to register for a keypad-only shortcut of `key`.
QKeySequence KeypadShortcut(Qt::Key key);

class KeypadOnlyKeys : public QObject {
    Q_OBJECT
  public:
    // Watches the whole application; only `window`'s widgets are affected.
    KeypadOnlyKeys(QWidget& window, std::vector<Qt::Key> keys);
    ~KeypadOnlyKeys() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QWidget& window_;
    std::vector<Qt::Key> keys_;
};

}  // namespace orv::app
