// One running instance per user and settings folder: a later launch asks the
// running one to show its panel ("reopen") and then exits.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/SettingsFolder.h"
#include "platform/foundation/Signal.h"
#include "platform/qt/LocalSocket.h"

class QFileSystemWatcher;
class QSocketNotifier;

namespace corvanta::platform {

// The primary is whoever holds an exclusive lock on the settings folder itself,
// so every spelling of the folder (a trailing slash, a link) meets the same
// lock, and no cleaner of temporary folders can take it away. It takes the lock
// before it listens, so simultaneous launches can never both win. The socket
// is named after the folder's identity and lives in a folder only this user
// can enter; messages are accepted only from this user's processes, and a
// message's size and the number and lifetime of connections are capped.
//
// Either folder may be removed while the primary runs. A settings folder that
// goes is made again at once and its lock taken over, so a later launch meets
// it rather than making a second primary; a runtime folder that goes is
// replaced by the fallback folder, and a later launch looks in both.
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
    // Why a later launch could not reach the primary (after PrimaryUnreachable),
    // said as the end of "another instance is running, but …".
    const QString& unreachableReason() const { return unreachableReason_; }
    // Whether this process holds the settings folder's lock: only then may it
    // treat what other processes leave in that folder as stale.
    bool holdsLock() const { return lockFd_ >= 0; }
    // Whether later launches can reach this primary.
    bool isListening() const;

    // The private folder for the socket: $XDG_RUNTIME_DIR when it is ours and
    // private, else `<cache home>/corvanta/instance`, created with mode 0700 and
    // checked to be ours. Empty when neither can be trusted.
    static QString runtimeFolder();
    // Where a later launch looks for the primary: each of those two folders
    // that exists and can be trusted, without making any.
    static QStringList reachableFolders();
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
    class Connection;
    // Where a socket file is, and the address handed to the socket calls:
    // the file's path, or the same file through an open descriptor of its
    // folder when the path is too long for a socket address.
    struct Place {
        QString file;
        std::string address;
        local_socket::Descriptor folder;
    };
    enum class Lock { held, heldElsewhere, unavailable };
    enum class Answer { shown, silent, notListening };
    Lock takeLock(FolderIdentity& identity);
    static std::optional<Place> placeIn(const QString& folder, const FolderIdentity& identity);
    bool findSocket(const FolderIdentity& identity);
    Role handOver(const FolderIdentity& identity);
    Answer sendReopen(const std::string& address, int connectTimeoutMs) const;
    void listen();
    void closeServer();
    void watchFolders();
    void checkLock();
    void checkSocket();
    void acceptConnections();
    void serve(local_socket::Descriptor socket);
    void read(Connection* connection);
    void close(Connection* connection);

    std::filesystem::path settingsFolder_;
    QString runtimeFolderOverride_;
    QString socketFile_;
    std::optional<Place> place_;
    Limits limits_;
    uid_t peerUid_;
    int lockFd_ = -1;
    bool lockLossReported_ = false;
    FolderIdentity socketIdentity_;
    int connections_ = 0;
    int refused_ = 0;
    QString unreachableReason_;
    local_socket::Descriptor server_;
    std::unique_ptr<QSocketNotifier> serverNotifier_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
};

}  // namespace corvanta::platform
