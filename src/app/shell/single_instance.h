#pragma once
// One copy of the program per user: the first copy listens on a local server in the user's
// runtime folder; a later copy connects, asks the first to come forward, and ends.
#include <QObject>
#include <QString>

class QLocalServer;

namespace orv::app {

inline constexpr const char* kSingleInstanceName = "ORVANTA_CHECKEXIST";

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& name = QString::fromLatin1(kSingleInstanceName),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy (it now listens). False when another copy answered;
    // that copy has been asked to come forward.
    bool Claim();

    // The socket and the lock file that guards claiming it.
    const QString& SocketPath() const { return path_; }
    const QString& LockPath() const { return lockPath_; }

  signals:
    void comeForwardRequested();

  private:
    QString path_;
    QString lockPath_;
    QLocalServer* server_ = nullptr;
};

}  // namespace orv::app
