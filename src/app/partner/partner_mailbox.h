#pragma once
// The reference's mailbox for partner programs: the local server "orvanta-query". One message
// is the bytes written over one connection; the connection's end delivers it.
#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

namespace orv::app {

inline constexpr const char* kPartnerMailboxName = "orvanta-query";

class PartnerMailbox : public QObject {
    Q_OBJECT
  public:
    explicit PartnerMailbox(QObject* parent = nullptr);
    // Starts listening; false (and the link stays off) when the name cannot be taken.
    bool Listen(const QString& name = QString::fromLatin1(kPartnerMailboxName));

    // A message longer than this is dropped rather than held in memory.
    static constexpr qint64 kMaxMessageBytes = 8 * 1024 * 1024;

  signals:
    void messageArrived(const QByteArray& bytes);

  private:
    void Accept();
    QLocalServer* server_;
};

// Writes one message to a partner's mailbox without waiting; a partner that has gone away
// simply does not get it.
void SendToMailbox(const QString& name, const QByteArray& bytes);

}  // namespace orv::app
