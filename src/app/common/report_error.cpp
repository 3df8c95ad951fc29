#include "common/report_error.h"

#include "shell/error_box.h"

namespace orv::app {

QString ApplicationTitle() {
    return AppTitle();
}

void ReportError(QWidget* parent, const QString& message) {
    ShowErrorBox(parent, message);
}

}  // namespace orv::app
