// One primary process per user and settings folder, reached over a local socket.
#include "platform/qt/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace corvanta::platform {
namespace {

constexpr int kConnectTimeoutMs = 1000;
const QByteArray kReopen = QByteArrayLiteral("reopen\n");

}  // namespace

SingleInstance::SingleInstance(QString serverName)
    : serverName_(serverName.isEmpty() ? defaultServerName() : std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName() {
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // A stable hash (Qt's qHash is seeded per process); short enough for the
    // length limit of socket paths.
    const QByteArray digest =
        QCryptographicHash::hash(configDir.toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    return QStringLiteral("corvanta-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

bool SingleInstance::sendReopen() {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
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

bool SingleInstance::tryBecomePrimary() {
    if (server_)
        return true;
    if (sendReopen())
        return false;
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName_)) {
        // Either another instance started listening a moment ago, or a crashed
        // one left its socket file behind.
        if (sendReopen())
            return false;
        QLocalServer::removeServer(serverName_);
        if (!server->listen(serverName_)) {
            // Without a server this process still runs; it just cannot be
            // reached by later launches.
            return true;
        }
    }
    server_ = std::move(server);
    acceptConnections();
    return true;
}

void SingleInstance::acceptConnections() {
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    if (socket->readLine() == kReopen)
                        reopenRequested.emit();
                }
            });
        }
    });
}

}  // namespace corvanta::platform
