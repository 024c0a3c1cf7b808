// One running instance per user and settings folder: a later launch asks the
// running one to show its panel ("reopen") and then exits.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>

#include "platform/foundation/SettingsFolder.h"
#include "platform/foundation/Signal.h"

class QFileSystemWatcher;
class QLocalServer;
class QLocalSocket;

namespace corvanta::platform {

// The primary is whoever holds an exclusive lock on the settings folder itself,
// so every spelling of the folder (a trailing slash, a link) meets the same
// lock, and no cleaner of temporary folders can take it away. It takes the lock
// before it listens, so simultaneous launches can never both win. The socket
// is named after the folder's identity and lives in a folder only this user
// can enter; messages are accepted only from this user's processes, and a
// message's size and the number and lifetime of connections are capped.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,             // this process runs the application
        HandedOver,          // the primary showed its panel; exit 0
        PrimaryUnreachable,  // another process holds the lock but did not answer
    };

    struct Limits {
        int maxConnections = 8;
        int connectionLifetimeMs = 2000;
        qint64 maxMessageBytes = 64;
    };

    // How long a later launch waits for the primary's answer.
    static constexpr int kAnswerTimeoutMs = 2000;

    // `settingsFolder` empty: platform::settingsFolder(); `runtimeFolder`
    // empty: SingleInstance::runtimeFolder() (tests pass a private one).
    explicit SingleInstance(std::filesystem::path settingsFolder = {}, QString runtimeFolder = {});
    ~SingleInstance() override;

    // Asking again once primary changes nothing.
    Role tryBecomePrimary();
    // Whether this process holds the settings folder's lock: only then may it
    // treat what other processes leave in that folder as stale.
    bool holdsLock() const { return lockFd_ >= 0; }
    // Whether later launches can reach this primary.
    bool isListening() const;

    // The private folder for the socket: $XDG_RUNTIME_DIR when it is ours and
    // private, else `<cache home>/corvanta/instance`, created with mode 0700 and
    // checked to be ours. Empty when neither can be trusted.
    static QString runtimeFolder();
    // Where the socket file is (once known); the address used to reach it may
    // be a shorter spelling of the same place.
    const QString& socketFile() const { return socketFile_; }

    void setLimits(Limits limits) { limits_ = limits; }
    // Whose messages are accepted; this process's own user unless a test says otherwise.
    void setPeerUid(uid_t uid) { peerUid_ = uid; }
    int openConnections() const { return connections_; }
    int refusedConnections() const { return refused_; }

    // A later launch asked the primary to show itself. The launch is told the
    // panel is shown once every handler has returned.
    Signal<> reopenRequested;

private:
    enum class Lock { held, heldElsewhere, unavailable };
    enum class Answer { shown, silent, notListening };
    Lock takeLock(FolderIdentity& identity);
    bool findSocket(const FolderIdentity& identity);
    Role handOver() const;
    Answer sendReopen(int connectTimeoutMs) const;
    void listen();
    void watchSocket();
    void checkSocket();
    void acceptConnections();
    void serve(QLocalSocket* socket);

    std::filesystem::path settingsFolder_;
    QString runtimeFolderOverride_;
    QString socketFile_;
    // The address handed to the socket calls: socketFile_, or the same file
    // through an open descriptor of its folder when the path is too long for
    // a socket address.
    QString socketAddress_;
    Limits limits_;
    uid_t peerUid_;
    int lockFd_ = -1;
    int folderFd_ = -1;
    FolderIdentity socketIdentity_;
    int connections_ = 0;
    int refused_ = 0;
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
};

}  // namespace corvanta::platform
