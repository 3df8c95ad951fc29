#include "app/shell/app_log.h"

#include <QMutex>
#include <QString>
#include <cstdio>
#include <cstring>
#include <string>

#include "update/update_log.h"
#include "util/log.h"

namespace orv::app {

Q_LOGGING_CATEGORY(lcShell, "orvanta.shell")
Q_LOGGING_CATEGORY(lcSearch, "orvanta.search")
Q_LOGGING_CATEGORY(lcDisplay, "orvanta.display")
Q_LOGGING_CATEGORY(lcUpdate, "orvanta.update")
Q_LOGGING_CATEGORY(lcCore, "orvanta.core")

namespace {

constexpr const char kOurPrefix[] = "orvanta.";

QtMessageHandler& QtHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

QMutex& CopyMutex() {
    static QMutex mutex;
    return mutex;
}

UpdateLog*& Copy() {
    static UpdateLog* log = nullptr;
    return log;
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const char* category = context.category ? context.category : "";
    if (std::strncmp(category, kOurPrefix, sizeof kOurPrefix - 1) != 0) {
        if (QtHandler())
            QtHandler()(type, context, message);
        return;
    }
    const std::string line =
        std::string(category + sizeof kOurPrefix - 1) + ": " + message.toUtf8().toStdString();
    std::fprintf(stderr, "orvanta: %s\n", line.c_str());
    std::fflush(stderr);
    QMutexLocker lock(&CopyMutex());
    if (Copy() && type != QtDebugMsg)
        Copy()->Write(line);
}

}  // namespace

void InstallLog() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QtHandler() = qInstallMessageHandler(Handle);
    SetLogSink([](std::string_view area, std::string_view text) {
        qCWarning(lcCore).noquote() << QString::fromUtf8(area.data(), area.size()) +
                                           QStringLiteral(": ") +
                                           QString::fromUtf8(text.data(), text.size());
    });
}

void CopyLogTo(UpdateLog* log) {
    QMutexLocker lock(&CopyMutex());
    Copy() = log;
}

}  // namespace orv::app
