#include "app/shell/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <new>
#include <string>

#include "app/shell/app_log.h"
#include "util/log.h"
#include "util/message_text.h"

namespace orv::app {

namespace {

// Longer than any message of ours; data quoted in messages is cut much shorter where it is quoted.
constexpr qsizetype kMaxBoxChars = 2000;

std::function<void(QMessageBox&)>& Watcher() {
    static std::function<void(QMessageBox&)> watcher;
    return watcher;
}

QStringList& OpenBoxes() {
    static QStringList texts;
    return texts;
}

}  // namespace

QString AppTitle() {
    return QStringLiteral("Справочная система лекарственных препаратов");
}

QString MainCaption() {
    return AppTitle() + QStringLiteral(" - Norvel");
}

QString ErrorBoxText(const QString& message) {
    QString text = message;
    if (text.size() > kMaxBoxChars) {
        text.truncate(kMaxBoxChars);
        if (text.back().isHighSurrogate())
            text.chop(1);
        text += QChar(0x2026);
    }
    if (!text.isEmpty() && text.back().unicode() <= u'.')
        return text;
    return text + QLatin1Char('.');
}

void ShowErrorBox(QWidget* parent, const QString& message) {
    const QString text = ErrorBoxText(message);
    qCWarning(lcShell).noquote() << QStringLiteral("окно ошибки: ") + text;
    QMessageBox box(QMessageBox::Critical, AppTitle(), text, QMessageBox::Ok, parent);
    OpenBoxes().append(text);
    struct Closed {
        ~Closed() { OpenBoxes().removeOne(text); }
        const QString& text;
    } closed{text};
    if (Watcher())
        Watcher()(box);
    box.exec();
}

void ReportError(const QString& message) {
    if (OpenBoxes().contains(ErrorBoxText(message))) {
        qCWarning(lcShell).noquote()
            << QStringLiteral("та же ошибка, её окно ещё открыто: ") + ErrorBoxText(message);
        return;
    }
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr)
        parent = QApplication::activeWindow();
    ShowErrorBox(parent, message);
}

QString ErrorText(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        return QStringLiteral("Недостаточно памяти для выполнения команды");
    return QString::fromUtf8(e.what());
}

void SetErrorBoxWatcher(std::function<void(QMessageBox&)> watcher) {
    Watcher() = std::move(watcher);
}

void LogSwallowed(const char* what) noexcept {
    try {
        const std::string why = CutForMessage(CaughtText(), kMaxLogChars);
        qCWarning(lcShell).noquote()
            << QStringLiteral("ошибка пропущена (%1): %2")
                   .arg(QString::fromUtf8(what), QString::fromStdString(why));
    } catch (...) {
        // No memory even for the line: it is lost, and the handler carries on.
    }
}

}  // namespace orv::app
