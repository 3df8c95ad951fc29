#include "shell/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace orv::app {

namespace {
const QByteArray kForward = QByteArrayLiteral("forward\n");
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim() {
    {
        QLocalSocket probe;
        probe.connectToServer(name_);
        if (probe.waitForConnected(500)) {
            probe.write(kForward);
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answered: a socket file left by a crashed copy must not block us.
    QLocalServer::removeServer(name_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_))
        return true;  // cannot listen (odd platform state): run anyway, as a lone copy
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().contains("forward"))
                    emit comeForwardRequested();
            });
        }
    });
    return true;
}

}  // namespace orv::app
