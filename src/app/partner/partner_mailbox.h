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
    // Bounds on what partners can make the program hold: connections open at once (a further
    // one is closed at once), bytes buffered over all of them (the connection that would pass
    // it is dropped), and how long a connection may stay silent before it is closed.
    static constexpr int kMaxConnections = 8;
    static constexpr qint64 kMaxBufferedBytes = 16 * 1024 * 1024;
    static constexpr int kIdleMs = 3000;
    void SetIdleMs(int ms) { idleMs_ = ms; }  // shorter for tests
    int OpenConnections() const { return open_; }
    qint64 BufferedBytes() const { return buffered_; }

  signals:
    void messageArrived(const QByteArray& bytes);

  private:
    void Accept();
    QLocalServer* server_;
    int idleMs_ = kIdleMs;
    int open_ = 0;
    qint64 buffered_ = 0;
};

// Writes one message to a partner's mailbox without waiting; a partner that has gone away
// simply does not get it.
void SendToMailbox(const QString& name, const QByteArray& bytes);

}  // namespace orv::app
