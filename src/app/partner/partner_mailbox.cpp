#include "app/partner/partner_mailbox.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "app/partner/user_mailbox_path.h"

namespace orv::app {

PartnerMailbox::PartnerMailbox(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &PartnerMailbox::Accept);
}

bool PartnerMailbox::Listen(const QString& name) {
    const QString path = UserMailboxPath(name);
    // A socket file left by a crashed run would block the name; one instance runs at a time.
    QLocalServer::removeServer(path);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    return server_->listen(path);
}

namespace {
// One partner's connection: what it sent so far, and its silence timer. Owned by the socket.
struct Connection : QObject {
    explicit Connection(QObject* socket) : QObject(socket), idle(this) {}
    QByteArray buffer;
    QTimer idle;
    bool dropped = false;
};
}  // namespace

void PartnerMailbox::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (open_ >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++open_;
        auto* c = new Connection(socket);
        c->idle.setSingleShot(true);
        c->idle.setInterval(idleMs_);
        // Drops what the connection holds; its end then delivers nothing.
        auto drop = [this, socket, c] {
            if (c->dropped)
                return;
            c->dropped = true;
            buffered_ -= c->buffer.size();
            c->buffer = QByteArray();
            socket->abort();
        };
        connect(&c->idle, &QTimer::timeout, socket, drop);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, c, drop] {
            if (c->dropped) {
                socket->readAll();
                return;
            }
            c->idle.start();
            const qint64 size = socket->bytesAvailable();
            if (c->buffer.size() + size > kMaxMessageBytes ||
                buffered_ + size > kMaxBufferedBytes) {
                drop();
                return;
            }
            const QByteArray piece = socket->readAll();
            buffered_ += piece.size();
            c->buffer.append(piece);
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, c] {
            c->idle.stop();
            if (!c->dropped) {
                c->dropped = true;
                buffered_ -= c->buffer.size();
                const QByteArray rest = socket->readAll();
                if (c->buffer.size() + rest.size() <= kMaxMessageBytes) {
                    c->buffer.append(rest);
                    emit messageArrived(c->buffer);
                }
                c->buffer = QByteArray();
            }
            --open_;
            socket->deleteLater();
        });
        c->idle.start();
    }
}

void SendToMailbox(const QString& name, const QByteArray& bytes) {
    auto* socket = new QLocalSocket;
    QObject::connect(socket, &QLocalSocket::connected, socket, [socket, bytes] {
        socket->write(bytes);
        socket->disconnectFromServer();
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::errorOccurred, socket,
                     [socket](QLocalSocket::LocalSocketError) { socket->deleteLater(); });
    socket->connectToServer(UserMailboxPath(name));
}

}  // namespace orv::app
