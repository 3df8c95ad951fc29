#include "app/partner/partner_controller.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include "db/dataset.h"
#include "search/forgiving_search.h"
#include "util/error.h"

namespace orv::app {

PartnerController::PartnerController(PartnerHost& host, QObject* parent)
    : QObject(parent), host_(host), mailbox_(this) {
    tmGo_.setInterval(100);
    tmGo_.setSingleShot(true);
    connect(&tmGo_, &QTimer::timeout, this, &PartnerController::tmGoTimer);
    connect(&mailbox_, &PartnerMailbox::messageArrived, this, &PartnerController::Receive);
}

bool PartnerController::Listen(const QString& mailbox) {
    return mailbox_.Listen(mailbox);
}

void PartnerController::Receive(const QByteArray& caption) {
    if (!link_.Receive(std::string_view(caption.constData(), static_cast<size_t>(caption.size()))))
        return;
    // A burst of requests is carried out once, with the last one.
    if (!tmGo_.isActive())
        tmGo_.start();
}

void PartnerController::tmGoTimer() {
    QString text = QString::fromStdString(link_.Text());
    if (text.size() > kMaxTextChars)
        text.truncate(kMaxTextChars);
    host_.SwitchToList();
    host_.ResetSelection();
    host_.SetFilterText(text);
    bool lookup = true;
    // A text that finds nothing is taken as the name it probably meant.
    std::optional<NameSuggestion> meant;
    if (link_.PendingCode() == kPartnerSelectionCode) {
        try {
            host_.FilterByName(text);
            const DataSet& list = host_.ListDataSet();
            const NameMatcher* names = host_.Names();
            if ((!list.Active() || list.IsEmpty()) && names != nullptr) {
                std::vector<NameSuggestion> best = SuggestNames(*names, text.toStdString(), 1);
                if (!best.empty()) {
                    meant = std::move(best.front());
                    host_.FilterByName(QString::fromStdString(meant->name));
                }
            }
        } catch (const Error&) {
            lookup = false;  // the name filter has reported it; no lookup then
        }
    }
    if (lookup) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        PartnerSearchResult r;
        try {
            r = ESearch(host_.ListDataSet(), host_.NameColumn().toStdString(),
                        meant ? meant->name : text.toStdString(), meant ? nullptr : host_.Names());
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        if (r.meant)
            meant = std::move(r.meant);
        host_.ShowCurrentDescription();
        if (meant) {
            const QString name = QString::fromStdString(meant->name);
            host_.SetFilterText(name);
            host_.ShowStatus(QString::fromStdString(ShownForStatus(meant->name)));
        } else if (r.notFound) {
            host_.ShowStatus(QStringLiteral("Препарат не найден!"));
        }
    }
    BringToFront();
    host_.FocusFilterBox();
    emit requestCarriedOut();
}

void PartnerController::BringToFront() {
    QWidget* w = host_.Window();
    if (w == nullptr)
        return;
    if (w->isMinimized()) {
        w->showNormal();
    } else {
        w->show();
    }
    w->raise();
    w->activateWindow();
}

void PartnerController::Send(int code) {
    if (!link_.Linked())
        return;
    const std::string bytes = PartnerLink::Reply(code, host_.ReplyPayload().toStdString());
    SendToMailbox(QString::fromStdString(link_.PartnerMailbox()),
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace orv::app
