// One primary process per user and settings folder, chosen by a lock on the
// folder and reached over a local socket in a private folder.
#include "platform/qt/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

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

QByteArray privateRuntimeVariable() {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    return xdg.startsWith('/') && isPrivateFolder(xdg) ? xdg : QByteArray();
}

QByteArray fallbackFolder() {
    return QFile::encodeName(fromPath(cacheHome() / "corvanta" / "instance"));
}

}  // namespace

// One accepted connection: its descriptor, read as data arrives, and what of
// a message has come so far.
class SingleInstance::Connection final : public QObject {
public:
    Connection(local_socket::Descriptor socket, QObject* parent)
        : QObject(parent), fd(std::move(socket)), notifier(fd.get(), QSocketNotifier::Read, this) {}

    local_socket::Descriptor fd;
    QSocketNotifier notifier;
    QByteArray received;
};

SingleInstance::SingleInstance(std::filesystem::path settingsFolder, QString runtimeFolder)
    : settingsFolder_(settingsFolder.empty() ? platform::settingsFolder()
                                             : std::move(settingsFolder)),
      runtimeFolderOverride_(std::move(runtimeFolder)),
      peerUid_(::getuid()) {}

SingleInstance::~SingleInstance() {
    watcher_.reset();
    closeServer();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString SingleInstance::runtimeFolder() {
    if (const QByteArray xdg = privateRuntimeVariable(); !xdg.isEmpty())
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
    const QByteArray fallback = fallbackFolder();
    if (::mkdir(corvanta.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return makePrivateFolder(fallback) ? QFile::decodeName(fallback) : QString();
}

QStringList SingleInstance::reachableFolders() {
    QStringList folders;
    if (const QByteArray xdg = privateRuntimeVariable(); !xdg.isEmpty())
        folders << QString::fromLocal8Bit(xdg);
    // A primary whose runtime folder was removed under it went on in the
    // fallback, even if the session has made the runtime folder anew since.
    if (const QByteArray fallback = fallbackFolder(); isPrivateFolder(fallback))
        folders << QFile::decodeName(fallback);
    return folders;
}

bool SingleInstance::isListening() const {
    return server_.valid();
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

std::optional<SingleInstance::Place> SingleInstance::placeIn(const QString& folder,
                                                             const FolderIdentity& identity) {
    const QString name = QStringLiteral("corvanta-%1-%2.socket")
                             .arg(quint64(identity.device), 0, 16)
                             .arg(quint64(identity.inode), 0, 16);
    Place place;
    place.file = folder + u'/' + name;
    const QByteArray file = QFile::encodeName(place.file);
    if (file.size() < qsizetype(sizeof(sockaddr_un::sun_path))) {
        place.address = file.toStdString();
        return place;
    }
    // Too long for a socket address: the same file through a descriptor of its
    // folder, which every process spells the same short way.
    place.folder = local_socket::Descriptor(
        ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!place.folder.valid())
        return std::nullopt;
    place.address = "/proc/self/fd/" + std::to_string(place.folder.get()) + '/' +
                    QFile::encodeName(name).toStdString();
    return place;
}

bool SingleInstance::findSocket(const FolderIdentity& identity) {
    const QString folder =
        runtimeFolderOverride_.isEmpty() ? runtimeFolder() : runtimeFolderOverride_;
    place_.reset();
    socketFile_.clear();
    if (folder.isEmpty())
        return false;
    place_ = placeIn(folder, identity);
    if (place_)
        socketFile_ = place_->file;
    return place_.has_value();
}

SingleInstance::Answer SingleInstance::sendReopen(const std::string& address,
                                                  int connectTimeoutMs) const {
    const local_socket::Descriptor socket = local_socket::connectTo(address, connectTimeoutMs);
    // Only a primary of this same user is told anything.
    if (!socket.valid() || local_socket::peerUid(socket.get()) != peerUid_ ||
        !local_socket::sendAll(socket.get(), kReopen.constData(), size_t(kReopen.size()))) {
        return Answer::notListening;
    }
    // The answer comes once the panel is shown; a primary that is stopped or
    // stuck accepts the connection (the system queues it) but never answers.
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    QByteArray answer;
    bool closed = false;
    while (!answer.contains('\n') && answer.size() <= kShown.size() && !closed &&
           !deadline.hasExpired()) {
        pollfd readable{socket.get(), POLLIN, 0};
        if (::poll(&readable, 1, int(std::max<qint64>(1, deadline.remainingTime()))) <= 0)
            continue;
        char chunk[16];
        const ssize_t got = ::recv(socket.get(), chunk, sizeof chunk, 0);
        if (got > 0)
            answer.append(chunk, got);
        else if (got == 0 || (errno != EAGAIN && errno != EINTR))
            closed = true;
    }
    if (answer.left(answer.indexOf('\n') + 1) == kShown)
        return Answer::shown;
    // A primary that closed at once (it had no room for us) may take us on the
    // next try; one that kept the connection open without a word is not answering.
    return deadline.hasExpired() ? Answer::silent : Answer::notListening;
}

SingleInstance::Role SingleInstance::handOver(const FolderIdentity& identity) {
    const QStringList folders =
        runtimeFolderOverride_.isEmpty() ? reachableFolders() : QStringList{runtimeFolderOverride_};
    std::vector<Place> places;
    for (const QString& folder : folders) {
        if (auto place = placeIn(folder, identity))
            places.push_back(std::move(*place));
    }
    if (places.empty()) {
        unreachableReason_ =
            QStringLiteral("there is no private runtime folder to reach it through");
        return Role::PrimaryUnreachable;
    }
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    while (true) {
        for (const Place& place : places) {
            const int connectTimeout =
                int(std::clamp<qint64>(deadline.remainingTime(), 1, kConnectTimeoutMs));
            switch (sendReopen(place.address, connectTimeout)) {
                case Answer::shown:
                    return Role::HandedOver;
                case Answer::silent:
                    unreachableReason_ = QStringLiteral("it did not show its panel within %1 ms")
                                             .arg(kAnswerTimeoutMs);
                    return Role::PrimaryUnreachable;
                case Answer::notListening:
                    break;
            }
        }
        if (deadline.hasExpired()) {
            QStringList files;
            for (const Place& place : places) files << place.file;
            unreachableReason_ =
                QStringLiteral("nothing answers for it at %1 (its own output may say why)")
                    .arg(files.join(QStringLiteral(" or ")));
            return Role::PrimaryUnreachable;
        }
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
            return handOver(identity);
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
    watchFolders();
    return Role::Primary;
}

void SingleInstance::listen() {
    closeServer();
    std::string error;
    // Holding the lock, whatever sits at the socket's name is stale.
    local_socket::Descriptor server = local_socket::listenAt(place_->address, error);
    // Without a server this process still runs; it just cannot be reached by
    // later launches, so the user is told why.
    if (!server.valid()) {
        std::fprintf(stderr,
                     "corvanta: cannot listen at %s (%s); later launches will not find "
                     "this one\n",
                     qPrintable(socketFile_), error.c_str());
        return;
    }
    struct stat st;
    if (::lstat(QFile::encodeName(socketFile_).constData(), &st) == 0)
        socketIdentity_ = {st.st_dev, st.st_ino};
    server_ = std::move(server);
    serverNotifier_ = std::make_unique<QSocketNotifier>(server_.get(), QSocketNotifier::Read);
    connect(serverNotifier_.get(), &QSocketNotifier::activated, this,
            [this] { acceptConnections(); });
}

void SingleInstance::closeServer() {
    if (!server_.valid())
        return;
    serverNotifier_.reset();
    server_.reset();
    // Our own socket file goes with the server; one made since by someone
    // else is theirs.
    const QByteArray file = QFile::encodeName(socketFile_);
    struct stat st;
    if (::lstat(file.constData(), &st) == 0 &&
        FolderIdentity{st.st_dev, st.st_ino} == socketIdentity_) {
        ::unlink(file.constData());
    }
}

// A cleaner of old files may remove the socket (or its whole folder) while
// this process runs, and a user may remove the settings folder; later launches
// would then find nobody, or no lock. Both folders are watched (no polling).
void SingleInstance::watchFolders() {
    if (!watcher_) {
        watcher_ = std::make_unique<QFileSystemWatcher>();
        connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, this, [this] {
            checkLock();
            checkSocket();
        });
    }
    // The settings folder's own removal is reported only once nothing holds
    // it open, and the lock does: its parent reports it at once.
    const QString settings = QDir::cleanPath(fromPath(settingsFolder_));
    const QStringList directories = watcher_->directories();
    for (const QString& folder :
         {QFileInfo(socketFile_).path(), settings, QFileInfo(settings).path()}) {
        if (!folder.isEmpty() && !directories.contains(folder))
            watcher_->addPath(folder);
    }
}

void SingleInstance::checkLock() {
    struct stat locked, now;
    if (lockFd_ < 0 || ::fstat(lockFd_, &locked) != 0)
        return;
    if (::stat(settingsFolder_.c_str(), &now) == 0 && now.st_dev == locked.st_dev &&
        now.st_ino == locked.st_ino) {
        return;
    }
    // The folder was removed or moved away: a later launch would make it anew
    // and, finding no lock on it, run as a second primary writing the same
    // file. It is made anew here first, and locked.
    const int previous = lockFd_;
    lockFd_ = -1;
    FolderIdentity identity;
    const Lock lock = takeLock(identity);
    if (lock != Lock::held) {
        lockFd_ = previous;
        if (!lockLossReported_) {
            lockLossReported_ = true;
            std::fprintf(stderr,
                         lock == Lock::heldElsewhere
                             ? "corvanta: the settings folder %s was removed and another "
                               "instance has taken the new one; both now write to it\n"
                             : "corvanta: the settings folder %s was removed and cannot be "
                               "made again; later launches will not find this one\n",
                         settingsFolder_.c_str());
        }
        return;
    }
    ::close(previous);
    lockLossReported_ = false;
    // The socket's name follows the folder's identity.
    closeServer();
    if (findSocket(identity))
        listen();
    watchFolders();
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
    closeServer();
    // The folder may be gone with the socket: it is found (and made) again.
    if (findSocket({locked.st_dev, locked.st_ino})) {
        listen();
        watchFolders();
    }
}

void SingleInstance::acceptConnections() {
    while (true) {
        local_socket::Descriptor socket = local_socket::acceptNext(server_.get());
        if (!socket.valid())
            return;
        // Refused ones are closed as they go out of scope.
        if (connections_ >= limits_.maxConnections ||
            local_socket::peerUid(socket.get()) != peerUid_) {
            ++refused_;
            continue;
        }
        serve(std::move(socket));
    }
}

void SingleInstance::serve(local_socket::Descriptor socket) {
    ++connections_;
    auto* connection = new Connection(std::move(socket), this);
    QTimer::singleShot(limits_.connectionLifetimeMs, connection,
                       [this, connection] { close(connection); });
    connect(&connection->notifier, &QSocketNotifier::activated, connection,
            [this, connection] { read(connection); });
}

void SingleInstance::read(Connection* connection) {
    // Never more than a message's worth is taken in, so a flood costs nothing;
    // a message that does not fit is not one of ours.
    char chunk[256];
    const qint64 room = std::min<qint64>(limits_.maxMessageBytes - connection->received.size(),
                                         qint64(sizeof chunk));
    const ssize_t got = ::recv(connection->fd.get(), chunk, size_t(std::max<qint64>(room, 1)), 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) {
        close(connection);
        return;
    }
    connection->received.append(chunk, got);
    const QPointer<Connection> alive(connection);
    for (qsizetype newline; (newline = connection->received.indexOf('\n')) >= 0;) {
        const QByteArray line = connection->received.left(newline + 1);
        connection->received.remove(0, newline + 1);
        if (line != kReopen)
            continue;
        reopenRequested.emit();
        if (!alive || !connection->fd.valid())
            return;
        // Said only now, so the launch that asked knows it was done.
        local_socket::sendAll(connection->fd.get(), kShown.constData(), size_t(kShown.size()));
    }
    if (connection->received.size() >= limits_.maxMessageBytes)
        close(connection);
}

void SingleInstance::close(Connection* connection) {
    if (!connection->fd.valid())
        return;
    connection->notifier.setEnabled(false);
    connection->fd.reset();
    --connections_;
    connection->deleteLater();
}

}  // namespace corvanta::platform
