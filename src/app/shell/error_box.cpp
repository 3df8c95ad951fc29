#include "app/shell/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <cstdio>
#include <new>

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
    std::fprintf(stderr, "orvanta: %s\n", text.toUtf8().constData());
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
        LogSwallowed(message.toUtf8().constData());
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

void LogSwallowed(const char* what) {
    std::fprintf(stderr, "orvanta: ошибка пропущена: %.300s\n", what);
}

}  // namespace orv::app
