// One running instance per user and settings folder: a later launch asks the
// running one to show its panel ("reopen") and then exits.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <QString>
#include <memory>

#include "platform/foundation/Signal.h"

class QLocalServer;
class QLocalSocket;

namespace corvanta::platform {

// The primary is whoever holds an exclusive lock on `<socket>.lock`; it takes
// the lock before it listens, so simultaneous launches can never both win. The
// socket and lock live in a folder only this user can enter; messages are
// accepted only from this user's processes, and a message's size and the
// number and lifetime of connections are capped.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,             // this process runs the application
        HandedOver,          // the primary was asked to reopen; exit 0
        PrimaryUnreachable,  // another process holds the lock but does not answer
    };

    struct Limits {
        int maxConnections = 8;
        int connectionLifetimeMs = 2000;
        qint64 maxMessageBytes = 64;
    };

    // `socketPath` empty: defaultSocketPath().
    explicit SingleInstance(QString socketPath = {});
    ~SingleInstance() override;

    // Asking again once primary changes nothing.
    Role tryBecomePrimary();

    // The private folder for the socket and lock: $XDG_RUNTIME_DIR when it is
    // ours and private, else `<temp>/corvanta-<uid>`, created with mode 0700
    // and checked to be ours. Empty when neither can be trusted.
    static QString runtimeFolder();
    // In runtimeFolder(), named per settings folder ($XDG_CONFIG_HOME), so test
    // runs with a private settings folder never meet the user's running
    // instance. Empty without a runtime folder.
    static QString defaultSocketPath();
    const QString& socketPath() const { return socketPath_; }

    void setLimits(Limits limits) { limits_ = limits; }
    // Whose messages are accepted; this process's own user unless a test says otherwise.
    void setPeerUid(uid_t uid) { peerUid_ = uid; }
    int openConnections() const { return connections_; }
    int refusedConnections() const { return refused_; }

    // A later launch asked the primary to show itself.
    Signal<> reopenRequested;

private:
    enum class Lock { held, heldElsewhere, unavailable };
    Lock takeLock();
    bool sendReopen() const;
    void acceptConnections();
    void serve(QLocalSocket* socket);

    QString socketPath_;
    Limits limits_;
    uid_t peerUid_;
    int lockFd_ = -1;
    int connections_ = 0;
    int refused_ = 0;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace corvanta::platform
