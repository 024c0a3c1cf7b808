// One primary process per user and settings folder, chosen by a file lock and
// reached over a local socket in a private folder.
#include "platform/qt/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <optional>

namespace corvanta::platform {
namespace {

constexpr int kConnectTimeoutMs = 1000;
// How long a later launch waits for a primary that holds the lock but is not
// listening yet (it takes the lock first, then listens).
constexpr int kHandOverTimeoutMs = 5000;
constexpr int kHandOverRetryMs = 50;
const QByteArray kReopen = QByteArrayLiteral("reopen\n");

// A folder only this user can enter: a real folder (no link), ours, mode 0700.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

std::optional<uid_t> peerUid(const QLocalSocket& socket) {
    struct ucred credentials = {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                     &credentials, &length) != 0) {
        return std::nullopt;
    }
    return credentials.uid;
}

void drop(QLocalSocket* socket) {
    socket->abort();
    socket->deleteLater();
}

}  // namespace

SingleInstance::SingleInstance(QString socketPath)
    : socketPath_(socketPath.isEmpty() ? defaultSocketPath() : std::move(socketPath)),
      peerUid_(::getuid()) {}

SingleInstance::~SingleInstance() {
    // The sockets are the server's children; they report their end to us.
    server_.reset();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString SingleInstance::runtimeFolder() {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && isPrivateFolder(xdg))
        return QString::fromLocal8Bit(xdg);
    // Anyone can create names in the shared temporary folder, so a folder
    // found there is used only when it is ours; one of ours with a loose mode
    // is tightened (the lock and the peer checks cover what was put in it).
    const QByteArray fallback =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/corvanta-%1").arg(::getuid()));
    if (::mkdir(fallback.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st;
    if (::lstat(fallback.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
        (st.st_mode & 077) != 0) {
        ::chmod(fallback.constData(), 0700);
    }
    return isPrivateFolder(fallback) ? QFile::decodeName(fallback) : QString();
}

QString SingleInstance::defaultSocketPath() {
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return {};
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // A stable hash (Qt's qHash is seeded per process); short enough for the
    // length limit of socket paths.
    const QByteArray digest =
        QCryptographicHash::hash(configDir.toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    return folder + QStringLiteral("/corvanta-%1.socket").arg(QString::fromLatin1(digest));
}

SingleInstance::Lock SingleInstance::takeLock() {
    const QByteArray path = QFile::encodeName(socketPath_ + QStringLiteral(".lock"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        struct stat st;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid()) {
            int locked;
            do {
                locked = ::flock(fd, LOCK_EX | LOCK_NB);
            } while (locked != 0 && errno == EINTR);
            if (locked == 0) {
                lockFd_ = fd;
                return Lock::held;
            }
            // Only a lock held by another process means another instance.
            const bool contended = errno == EWOULDBLOCK;
            ::close(fd);
            return contended ? Lock::heldElsewhere : Lock::unavailable;
        }
        // Not a lock file of ours: it goes, and ours takes its place.
        if (fd >= 0)
            ::close(fd);
        ::unlink(path.constData());
    }
    return Lock::unavailable;
}

bool SingleInstance::sendReopen() const {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    // Only a primary of this same user is told anything.
    if (peerUid(socket) != peerUid_)
        return false;
    socket.write(kReopen);
    socket.flush();
    const bool written =
        socket.bytesToWrite() == 0 || socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return written;
}

SingleInstance::Role SingleInstance::tryBecomePrimary() {
    if (lockFd_ >= 0)
        return Role::Primary;
    if (socketPath_.isEmpty()) {
        // No private folder: running alone beats handing over to a stranger.
        std::fputs("corvanta: no private runtime folder; later launches will not find this one\n",
                   stderr);
        return Role::Primary;
    }
    switch (takeLock()) {
        case Lock::held:
            break;
        case Lock::heldElsewhere: {
            const QDeadlineTimer deadline(kHandOverTimeoutMs);
            while (!deadline.hasExpired()) {
                if (sendReopen())
                    return Role::HandedOver;
                QThread::msleep(kHandOverRetryMs);
            }
            return Role::PrimaryUnreachable;
        }
        case Lock::unavailable:
            // A lock that cannot be taken at all (a full or read-only folder)
            // says nothing of other instances; as without a folder, this one runs.
            std::fputs(
                "corvanta: cannot lock the runtime folder; later launches will not find "
                "this one\n",
                stderr);
            return Role::Primary;
    }
    // Holding the lock, whatever sits at the socket's name is stale.
    QLocalServer::removeServer(socketPath_);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Without a server this process still runs; it just cannot be reached by
    // later launches.
    if (server->listen(socketPath_)) {
        server_ = std::move(server);
        acceptConnections();
    }
    return Role::Primary;
}

void SingleInstance::acceptConnections() {
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            if (connections_ >= limits_.maxConnections || peerUid(*socket) != peerUid_) {
                ++refused_;
                drop(socket);
                continue;
            }
            serve(socket);
        }
    });
}

void SingleInstance::serve(QLocalSocket* socket) {
    ++connections_;
    connect(socket, &QObject::destroyed, this, [this] { --connections_; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // Qt stops reading from the connection once this much is buffered, so a
    // flood costs nothing; a message that does not fit is not one of ours.
    socket->setReadBufferSize(limits_.maxMessageBytes);
    QTimer::singleShot(limits_.connectionLifetimeMs, socket, [socket] { drop(socket); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        while (socket->canReadLine()) {
            if (socket->readLine(limits_.maxMessageBytes + 1) == kReopen)
                reopenRequested.emit();
        }
        if (socket->bytesAvailable() >= limits_.maxMessageBytes)
            drop(socket);
    });
}

}  // namespace corvanta::platform
