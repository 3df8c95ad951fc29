#include "app/shell/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "util/user_socket.h"

namespace orv::app {

namespace {
const QByteArray kForward = QByteArrayLiteral("forward\n");
// Longest wait for another copy that is claiming the socket at the same moment.
constexpr int kClaimLockWaitMs = 10000;
}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      path_(QString::fromStdString(UserSocketPath(name.toStdString()))),
      lockPath_(QString::fromStdString(UserSocketLockPath(name.toStdString()))) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim() {
    // Probe, clean-up and listen happen under the lock, so a copy starting at the same moment
    // waits and then finds this one listening instead of deleting its fresh socket.
    QLockFile lock(lockPath_);
    const bool locked = lock.tryLock(kClaimLockWaitMs);
    {
        QLocalSocket probe;
        probe.connectToServer(path_);
        if (probe.waitForConnected(500)) {
            probe.write(kForward);
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answered: a socket file left by a crashed copy must not block us. Without the
    // lock another copy may be half-way through, so its socket is left alone then.
    if (locked)
        QLocalServer::removeServer(path_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_))
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
