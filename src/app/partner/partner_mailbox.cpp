#include "partner/partner_mailbox.h"

#include <QLocalServer>
#include <QLocalSocket>

#include "partner/user_mailbox_path.h"

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

void PartnerMailbox::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto* buffer = new QByteArray;
        auto* overflow = new bool(false);
        connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer, overflow] {
            QByteArray piece = socket->readAll();
            if (*overflow)
                return;
            if (buffer->size() + piece.size() > kMaxMessageBytes) {
                *overflow = true;
                buffer->clear();
                socket->abort();
                return;
            }
            buffer->append(piece);
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer, overflow] {
            buffer->append(socket->readAll());
            if (!*overflow && buffer->size() <= kMaxMessageBytes)
                emit messageArrived(*buffer);
            delete buffer;
            delete overflow;
            socket->deleteLater();
        });
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
