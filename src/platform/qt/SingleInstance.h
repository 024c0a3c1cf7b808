// One running instance per user and settings folder: a later launch asks the
// running one to show its panel ("reopen") and then exits.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "platform/foundation/Signal.h"

class QLocalServer;

namespace corvanta::platform {

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `serverName` empty: defaultServerName().
    explicit SingleInstance(QString serverName = {});
    ~SingleInstance() override;

    // True: this process is the primary and now listens. False: another
    // instance is running and has been sent "reopen"; the caller should exit 0.
    bool tryBecomePrimary();

    // Per user and per settings folder ($XDG_CONFIG_HOME), so test runs with a
    // private settings folder never meet the user's running instance.
    static QString defaultServerName();
    const QString& serverName() const { return serverName_; }

    // A later launch asked the primary to show itself.
    Signal<> reopenRequested;

private:
    bool sendReopen();
    void acceptConnections();

    QString serverName_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace corvanta::platform
