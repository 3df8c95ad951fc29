#pragma once
// The program's log: Qt's categorised logging, one category a part. Our lines go to standard
// error and, in the unattended run, also to the update log an administrator reads. The core's
// lines (util/log.h) arrive in the category "orvanta.core".
//
//   qCWarning(lcShell) << "сохранение настроек при закрытии:" << why;
//   // stderr: "orvanta: shell: сохранение настроек при закрытии: ..."
#include <QLoggingCategory>

namespace orv {
class UpdateLog;
}

namespace orv::app {

Q_DECLARE_LOGGING_CATEGORY(lcShell)    // "orvanta.shell": start, windows, closing
Q_DECLARE_LOGGING_CATEGORY(lcSearch)   // "orvanta.search": the filter and the searches
Q_DECLARE_LOGGING_CATEGORY(lcDisplay)  // "orvanta.display": the page and printing
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)   // "orvanta.update": packets and the internet update
Q_DECLARE_LOGGING_CATEGORY(lcCore)     // "orvanta.core": the lines of the core

// Sends our lines to standard error and the core's lines into lcCore. Called once, at start.
void InstallLog();
// The unattended run's update log receives our lines too; nullptr ends that.
void CopyLogTo(UpdateLog* log);

}  // namespace orv::app
