#pragma once
// The program's default error report: an error box captioned with the application title.
#include <QString>

class QWidget;

namespace orv::app {

QString ApplicationTitle();
void ReportError(QWidget* parent, const QString& message);
// Runs `work`; an orv::Error (or any std::exception) it throws is reported and false returned.
template <class F>
bool RunReported(QWidget* parent, F&& work);

}  // namespace orv::app

#include <exception>

namespace orv::app {
template <class F>
bool RunReported(QWidget* parent, F&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        ReportError(parent, QString::fromUtf8(e.what()));
        return false;
    }
}
}  // namespace orv::app
