#pragma once
// One copy of the program per user: the first copy listens on a local server; a later copy
// connects, asks the first to come forward, and ends.
#include <QObject>
#include <QString>

class QLocalServer;

namespace orv::app {

inline constexpr const char* kSingleInstanceName = "ORVANTA_CHECKEXIST";

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QString name = QString::fromLatin1(kSingleInstanceName),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy (it now listens). False when another copy answered;
    // that copy has been asked to come forward.
    bool Claim();

  signals:
    void comeForwardRequested();

  private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace orv::app
