// Single instance: hand-over, the lock that decides the primary, the private
// folder, and the limits on what a connection may cost the primary.
#include "platform/qt/SingleInstance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

namespace corvanta::platform {
namespace {

using Role = SingleInstance::Role;

// Sets environment variables for one test and restores them after.
class EnvironmentGuard {
public:
    void set(const char* name, const QByteArray& value) {
        saved_.emplace_back(name, qgetenv(name), qEnvironmentVariableIsSet(name));
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            const auto& [name, value, wasSet] = *it;
            if (wasSet)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }

private:
    std::vector<std::tuple<const char*, QByteArray, bool>> saved_;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/instance.socket");
    int reopens = 0;

    // The primary at `path`; `reopens` counts the requests it gets.
    std::unique_ptr<SingleInstance> startPrimary(SingleInstance::Limits limits = {},
                                                 uid_t peerUid = ::getuid()) {
        auto primary = std::make_unique<SingleInstance>(path);
        primary->setLimits(limits);
        primary->setPeerUid(peerUid);
        connections_.push_back(primary->reopenRequested.connect([this] { ++reopens; }));
        EXPECT_EQ(primary->tryBecomePrimary(), Role::Primary);
        return primary;
    }

    // A raw client, connected.
    std::unique_ptr<QLocalSocket> connectClient() {
        auto client = std::make_unique<QLocalSocket>();
        client->connectToServer(path);
        EXPECT_TRUE(client->waitForConnected(1000));
        return client;
    }

private:
    std::vector<Connection> connections_;
};

TEST_F(SingleInstanceTest, SecondLaunchAsksThePrimaryToReopen) {
    const auto primary = startPrimary();
    EXPECT_EQ(primary->tryBecomePrimary(), Role::Primary);  // asking again changes nothing

    SingleInstance second(path);
    EXPECT_EQ(second.tryBecomePrimary(), Role::HandedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 1; }, 3000));
    SingleInstance third(path);
    EXPECT_EQ(third.tryBecomePrimary(), Role::HandedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 2; }, 3000));
}

TEST_F(SingleInstanceTest, ASocketWithoutTheLockIsNeverHandedOverTo) {
    // A crashed instance's socket file, or one listened on by someone else.
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(path));
    int reachedSquatter = 0;
    QObject::connect(&squatter, &QLocalServer::newConnection, [&] { ++reachedSquatter; });

    const auto instance = startPrimary();
    SingleInstance later(path);
    EXPECT_EQ(later.tryBecomePrimary(), Role::HandedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 1; }, 3000));
    EXPECT_EQ(reachedSquatter, 0);
}

TEST_F(SingleInstanceTest, SimultaneousLaunchesEndWithExactlyOnePrimary) {
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        const QString socket = dir.path() + QStringLiteral("/race-%1.socket").arg(round);
        std::vector<std::unique_ptr<QProcess>> launches;
        for (int i = 0; i < 12; ++i) {
            launches.push_back(std::make_unique<QProcess>());
            launches.back()->start(QStringLiteral(CORVANTA_SINGLE_INSTANCE_RACER), {socket});
        }
        QStringList roles;
        for (auto& launch : launches) {
            const QDeadlineTimer deadline(15000);
            while (!launch->canReadLine() && !deadline.hasExpired()) launch->waitForReadyRead(100);
            roles << QString::fromLatin1(launch->readLine().trimmed());
        }
        for (auto& launch : launches) {
            launch->kill();
            launch->waitForFinished();
        }
        EXPECT_EQ(roles.count(QStringLiteral("primary")), 1) << roles.join(' ').toStdString();
        EXPECT_EQ(roles.count(QStringLiteral("handed-over")), 11) << roles.join(' ').toStdString();
    }
}

TEST_F(SingleInstanceTest, ALockThatCannotBeTakenAtAllStillRuns) {
    // No folder for the lock file: nobody else can hold it either.
    SingleInstance instance(dir.path() + QStringLiteral("/missing/instance.socket"));
    EXPECT_EQ(instance.tryBecomePrimary(), Role::Primary);
}

TEST_F(SingleInstanceTest, MessagesFromAnotherUserAreRefused) {
    const auto primary = startPrimary({}, ::getuid() + 1);
    const auto client = connectClient();
    client->write("reopen\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return primary->refusedConnections() == 1; }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client->state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(reopens, 0);
}

TEST_F(SingleInstanceTest, AFloodWithoutANewlineIsCutOffUnbuffered) {
    const auto primary =
        startPrimary({.maxConnections = 8, .connectionLifetimeMs = 60'000, .maxMessageBytes = 64});
    const auto client = connectClient();
    client->write(QByteArray(8 << 20, 'x') + "reopen\n");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return client->state() == QLocalSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return primary->openConnections() == 0; }, 3000));
    EXPECT_EQ(reopens, 0);
}

TEST_F(SingleInstanceTest, HeldConnectionsAreCappedInNumberAndLifetime) {
    const auto primary =
        startPrimary({.maxConnections = 8, .connectionLifetimeMs = 300, .maxMessageBytes = 64});

    std::vector<std::unique_ptr<QLocalSocket>> holders;
    for (int i = 0; i < 200; ++i) {
        holders.push_back(std::make_unique<QLocalSocket>());
        holders.back()->connectToServer(path);
    }
    // Never more than the cap at once; those let in are dropped when their
    // time is up, the rest at once.
    int mostOpen = 0;
    const auto allDropped = [&] {
        mostOpen = std::max(mostOpen, primary->openConnections());
        for (const auto& holder : holders) {
            if (holder->state() != QLocalSocket::UnconnectedState)
                return false;
        }
        return primary->openConnections() == 0;
    };
    EXPECT_TRUE(QTest::qWaitFor(allDropped, 10000));
    EXPECT_EQ(mostOpen, 8);
    EXPECT_GT(primary->refusedConnections(), 0);

    SingleInstance later(path);
    EXPECT_EQ(later.tryBecomePrimary(), Role::HandedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 1; }, 3000));
}

TEST(SingleInstanceFolder, SocketLivesInAFolderOnlyThisUserCanEnter) {
    EnvironmentGuard environment;
    QTemporaryDir runtime, temp, configA, configB;
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    environment.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    environment.set("TMPDIR", QFile::encodeName(temp.path()));
    environment.set("XDG_CONFIG_HOME", QFile::encodeName(configA.path()));

    // Per settings folder, inside the private runtime folder.
    const QString socketA = SingleInstance::defaultSocketPath();
    EXPECT_EQ(QFileInfo(socketA).path(), runtime.path());
    environment.set("XDG_CONFIG_HOME", QFile::encodeName(configB.path()));
    EXPECT_NE(SingleInstance::defaultSocketPath(), socketA);

    // A runtime folder others can enter is not used; a folder of our own in
    // the temporary folder is made instead, mode 0700.
    const QString own = temp.path() + QStringLiteral("/corvanta-%1").arg(::getuid());
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0755), 0);
    EXPECT_EQ(SingleInstance::runtimeFolder(), own);
    environment.set("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_EQ(SingleInstance::runtimeFolder(), own);
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Someone else's name there (a link to a folder they control, or their
    // folder) is never used, and a launch still starts.
    ASSERT_TRUE(QDir(own).removeRecursively());
    ASSERT_TRUE(QFile::link(runtime.path(), own));
    EXPECT_EQ(SingleInstance::runtimeFolder(), QString());
    SingleInstance alone;
    EXPECT_EQ(alone.tryBecomePrimary(), Role::Primary);
    EXPECT_TRUE(QDir(runtime.path()).isEmpty());
    if (::getuid() == 0) {
        ASSERT_TRUE(QFile::remove(own));
        ASSERT_TRUE(QDir().mkdir(own));
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
        EXPECT_EQ(SingleInstance::runtimeFolder(), QString());
    }
}

}  // namespace
}  // namespace corvanta::platform
