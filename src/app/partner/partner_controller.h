#pragma once
// Carries out partner requests on the main window and sends the user's choice back.
#include <QObject>
#include <QString>
#include <QTimer>

#include "app/partner/partner_mailbox.h"
#include "search/partner_link.h"

class QWidget;

namespace orv {
class DataSet;
class NameMatcher;
}  // namespace orv

namespace orv::app {

// What the controller needs of the main window.
class PartnerHost {
  public:
    virtual ~PartnerHost() = default;
    virtual void SwitchToList() = 0;                      // page 1 of the left pane
    virtual void ResetSelection() = 0;                    // "Сбросить выборку"
    virtual void SetFilterText(const QString& text) = 0;  // a change of the filter box
    virtual void FilterByName(const QString& text) = 0;   // the name filter (may throw)
    virtual DataSet& ListDataSet() = 0;                   // qMain
    virtual QString NameColumn() const = 0;
    virtual void ShowCurrentDescription() = 0;  // gbAllClick
    virtual void ShowStatus(const QString& text) = 0;
    virtual QString ReplyPayload()
        const = 0;  // box text when it has the focus and text, else the current name
    virtual QWidget* Window() = 0;
    virtual void FocusFilterBox() = 0;
    // The names a text that finds nothing is matched against; nullptr when unavailable.
    virtual const NameMatcher* Names() = 0;
};

class PartnerController : public QObject {
    Q_OBJECT
  public:
    explicit PartnerController(PartnerHost& host, QObject* parent = nullptr);
    bool Listen(const QString& mailbox = QString::fromLatin1(kPartnerMailboxName));

    // btnQClick: one request read from the mailbox.
    void Receive(const QByteArray& caption);
    // esc1Click (search reply, "00") and N22Click (selection reply, "01").
    void SendSearchReply() { Send(kPartnerSearchCode); }
    void SendSelectionReply() { Send(kPartnerSelectionCode); }
    bool Linked() const { return link_.Linked(); }

    // Longest text a request may carry into a search; the rest is cut off.
    static constexpr int kMaxTextChars = 1000;

  signals:
    void requestCarriedOut();  // after tmGoTimer, for tests and the tray mode

  private:
    void tmGoTimer();
    void Send(int code);
    void BringToFront();

    PartnerHost& host_;
    PartnerMailbox mailbox_;
    PartnerLink link_;
    QTimer tmGo_;
};

}  // namespace orv::app
