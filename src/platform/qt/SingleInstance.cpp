// One primary process per user and settings folder, chosen by a lock on the
// folder and reached over a local socket in a private folder.
#include "platform/qt/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

namespace corvanta::platform {
namespace {

constexpr int kConnectTimeoutMs = 1000;
// A primary holds the lock a moment before it listens; a launch in that moment
// tries again.
constexpr int kConnectRetryMs = 50;
const QByteArray kReopen = QByteArrayLiteral("reopen\n");
const QByteArray kShown = QByteArrayLiteral("shown\n");

bool isOwnPrivateFolder(const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// A folder only this user can enter: a real folder (no link), ours, mode 0700.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && isOwnPrivateFolder(st);
}

// Makes `path` a folder of ours with mode 0700; a folder of ours with a looser
// mode is tightened (the peer checks cover what was put in it meanwhile).
// Anything else found there (a link, someone else's folder) is refused.
bool makePrivateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
        (st.st_mode & 077) != 0) {
        ::chmod(path.constData(), 0700);
    }
    return isPrivateFolder(path);
}

QString fromPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
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

SingleInstance::SingleInstance(std::filesystem::path settingsFolder, QString runtimeFolder)
    : settingsFolder_(settingsFolder.empty() ? platform::settingsFolder()
                                             : std::move(settingsFolder)),
      runtimeFolderOverride_(std::move(runtimeFolder)),
      peerUid_(::getuid()) {}

SingleInstance::~SingleInstance() {
    watcher_.reset();
    // The sockets are the server's children; they report their end to us.
    server_.reset();
    if (folderFd_ >= 0)
        ::close(folderFd_);
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString SingleInstance::runtimeFolder() {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && isPrivateFolder(xdg))
        return QString::fromLocal8Bit(xdg);
    // Not the shared temporary folder: there anyone can take the name first.
    // The cache home is the user's own; its missing parts are made private.
    const std::filesystem::path cache = cacheHome();
    std::error_code ignored;
    if (!std::filesystem::exists(cache, ignored)) {
        std::filesystem::create_directories(cache, ignored);
        ::chmod(cache.c_str(), 0700);
    }
    const QByteArray corvanta = QFile::encodeName(fromPath(cache / "corvanta"));
    const QByteArray fallback = corvanta + "/instance";
    if (::mkdir(corvanta.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return makePrivateFolder(fallback) ? QFile::decodeName(fallback) : QString();
}

bool SingleInstance::isListening() const {
    return server_ && server_->isListening();
}

SingleInstance::Lock SingleInstance::takeLock(FolderIdentity& identity) {
    if (!folderIdentity(settingsFolder_))
        return Lock::unavailable;
    const int fd = ::open(settingsFolder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0)
        return Lock::unavailable;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return Lock::unavailable;
    }
    // The identity of the folder actually locked, should the path have been
    // swapped since it was made.
    identity = {st.st_dev, st.st_ino};
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

bool SingleInstance::findSocket(const FolderIdentity& identity) {
    const QString folder =
        runtimeFolderOverride_.isEmpty() ? runtimeFolder() : runtimeFolderOverride_;
    if (folderFd_ >= 0) {
        ::close(folderFd_);
        folderFd_ = -1;
    }
    socketFile_.clear();
    socketAddress_.clear();
    if (folder.isEmpty())
        return false;
    const QString name = QStringLiteral("corvanta-%1-%2.socket")
                             .arg(quint64(identity.device), 0, 16)
                             .arg(quint64(identity.inode), 0, 16);
    socketFile_ = folder + u'/' + name;
    if (QFile::encodeName(socketFile_).size() < qsizetype(sizeof(sockaddr_un::sun_path))) {
        socketAddress_ = socketFile_;
        return true;
    }
    // Too long for a socket address: the same file through a descriptor of its
    // folder, which every process spells the same short way.
    folderFd_ = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0)
        return false;
    socketAddress_ = QStringLiteral("/proc/self/fd/%1/").arg(folderFd_) + name;
    return true;
}

SingleInstance::Answer SingleInstance::sendReopen(int connectTimeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(socketAddress_);
    if (!socket.waitForConnected(connectTimeoutMs))
        return Answer::notListening;
    // Only a primary of this same user is told anything.
    if (peerUid(socket) != peerUid_)
        return Answer::notListening;
    socket.write(kReopen);
    // The answer comes once the panel is shown; a primary that is stopped or
    // stuck accepts the connection (the system queues it) but never answers.
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState &&
           !deadline.hasExpired()) {
        socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    const QByteArray answer =
        socket.canReadLine() ? socket.readLine(kShown.size() + 1) : QByteArray();
    socket.abort();
    if (answer == kShown)
        return Answer::shown;
    // A primary that closed at once (it had no room for us) may take us on the
    // next try; one that kept the connection open without a word is not answering.
    return deadline.hasExpired() ? Answer::silent : Answer::notListening;
}

SingleInstance::Role SingleInstance::handOver() const {
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    while (true) {
        const int connectTimeout =
            int(std::clamp<qint64>(deadline.remainingTime(), 1, kConnectTimeoutMs));
        switch (sendReopen(connectTimeout)) {
            case Answer::shown:
                return Role::HandedOver;
            case Answer::silent:
                return Role::PrimaryUnreachable;
            case Answer::notListening:
                break;
        }
        if (deadline.hasExpired())
            return Role::PrimaryUnreachable;
        QThread::msleep(kConnectRetryMs);
    }
}

SingleInstance::Role SingleInstance::tryBecomePrimary() {
    if (lockFd_ >= 0)
        return Role::Primary;
    FolderIdentity identity;
    switch (takeLock(identity)) {
        case Lock::held:
            break;
        case Lock::heldElsewhere:
            if (!findSocket(identity)) {
                std::fputs(
                    "corvanta: another instance is running, but there is no private "
                    "runtime folder to reach it through\n",
                    stderr);
                return Role::PrimaryUnreachable;
            }
            return handOver();
        case Lock::unavailable:
            // A lock that cannot be taken at all (a settings folder that cannot
            // be made or opened) says nothing of other instances; this one runs.
            std::fputs(
                "corvanta: cannot lock the settings folder; later launches will not find "
                "this one\n",
                stderr);
            return Role::Primary;
    }
    if (!findSocket(identity)) {
        // No private folder: running alone beats handing over to a stranger.
        std::fputs("corvanta: no private runtime folder; later launches will not find this one\n",
                   stderr);
        return Role::Primary;
    }
    listen();
    watchSocket();
    return Role::Primary;
}

void SingleInstance::listen() {
    server_.reset();
    // Holding the lock, whatever sits at the socket's name is stale.
    QLocalServer::removeServer(socketAddress_);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Without a server this process still runs; it just cannot be reached by
    // later launches, so the user is told why.
    if (!server->listen(socketAddress_)) {
        std::fprintf(stderr,
                     "corvanta: cannot listen at %s (%s); later launches will not find "
                     "this one\n",
                     qPrintable(socketFile_), qPrintable(server->errorString()));
        return;
    }
    struct stat st;
    if (::lstat(QFile::encodeName(socketFile_).constData(), &st) == 0)
        socketIdentity_ = {st.st_dev, st.st_ino};
    server_ = std::move(server);
    acceptConnections();
}

// A cleaner of old files may remove the socket (or its whole folder) while
// this process runs; later launches would then find nobody. The folder is
// watched (no polling) and the socket made anew when it goes.
void SingleInstance::watchSocket() {
    if (!watcher_) {
        watcher_ = std::make_unique<QFileSystemWatcher>();
        connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, this,
                [this] { checkSocket(); });
    }
    const QString folder = QFileInfo(socketFile_).path();
    if (!watcher_->directories().contains(folder))
        watcher_->addPath(folder);
}

void SingleInstance::checkSocket() {
    struct stat st;
    const bool intact = ::lstat(QFile::encodeName(socketFile_).constData(), &st) == 0 &&
                        S_ISSOCK(st.st_mode) &&
                        FolderIdentity{st.st_dev, st.st_ino} == socketIdentity_;
    if (intact && isListening())
        return;
    struct stat locked;
    if (lockFd_ < 0 || ::fstat(lockFd_, &locked) != 0)
        return;
    // Closed before the address it was given may change.
    server_.reset();
    // The folder may be gone with the socket: it is found (and made) again.
    if (findSocket({locked.st_dev, locked.st_ino})) {
        listen();
        watchSocket();
    }
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
            if (socket->readLine(limits_.maxMessageBytes + 1) == kReopen) {
                reopenRequested.emit();
                // Said only now, so the launch that asked knows it was done.
                socket->write(kShown);
                socket->flush();
            }
        }
        if (socket->bytesAvailable() >= limits_.maxMessageBytes)
            drop(socket);
    });
}

}  // namespace corvanta::platform
