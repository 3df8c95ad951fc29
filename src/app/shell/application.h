#pragma once
// The program's application object. Every event, and so every slot, timer tick and handler
// reached from the mouse or the keyboard, is delivered through notify(): an error that leaves
// one ends that command there and is shown in the error box, and the program goes on.
#include <QApplication>

namespace orv::app {

class Application : public QApplication {
    Q_OBJECT
  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace orv::app
