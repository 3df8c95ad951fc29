#include "app/shell/application.h"

#include <QTimer>

#include "app/shell/error_box.h"

namespace orv::app {

namespace {

// A modal box must not run inside painting or layout: those errors are shown just after.
bool ReportLater(QEvent::Type type) {
    switch (type) {
        case QEvent::Paint:
        case QEvent::UpdateRequest:
        case QEvent::LayoutRequest:
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::Polish:
        case QEvent::PolishRequest:
            return true;
        default:
            return false;
    }
}

void Report(const QString& text, QEvent::Type type) {
    if (ReportLater(type))
        QTimer::singleShot(0, qApp, [text] { ReportError(text); });
    else
        ReportError(text);
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Report(ErrorText(e), type);
    } catch (...) {
        Report(QStringLiteral("Внутренняя ошибка программы"), type);
    }
    return false;
}

}  // namespace orv::app
