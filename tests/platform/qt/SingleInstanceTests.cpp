// Single instance: hand-over and its answer, the lock that decides the primary,
// the private folder, and the limits on what a connection may cost the primary.
#include "platform/qt/SingleInstance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
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
#include <chrono>
#include <future>
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
    SingleInstanceTest() {
        QDir().mkpath(runtime);
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
    }

    QTemporaryDir dir;
    std::filesystem::path settings = dir.path().toStdString() + "/config/corvanta";
    QString runtime = dir.path() + QStringLiteral("/run");
    int reopens = 0;

    // The primary for `settings`; `reopens` counts the requests it gets.
    std::unique_ptr<SingleInstance> startPrimary(SingleInstance::Limits limits = {},
                                                 uid_t peerUid = ::getuid()) {
        auto primary = std::make_unique<SingleInstance>(settings, runtime);
        primary->setLimits(limits);
        primary->setPeerUid(peerUid);
        connections_.push_back(primary->reopenRequested.connect([this] { ++reopens; }));
        EXPECT_EQ(primary->tryBecomePrimary(), Role::Primary);
        EXPECT_TRUE(primary->holdsLock());
        EXPECT_TRUE(primary->isListening());
        return primary;
    }

    // A later launch, as another process would run it: on its own thread while
    // this one serves the primary (unless `serve` is false: a stopped primary).
    Role launch(std::filesystem::path folder = {}, QString runtimeFolder = {}, bool serve = true) {
        if (folder.empty())
            folder = settings;
        if (runtimeFolder.isEmpty())
            runtimeFolder = runtime;
        auto role = std::async(std::launch::async, [&] {
            SingleInstance later(folder, runtimeFolder);
            const Role result = later.tryBecomePrimary();
            EXPECT_FALSE(later.holdsLock());
            return result;
        });
        const auto ready = [&] {
            return role.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        if (serve) {
            EXPECT_TRUE(QTest::qWaitFor(ready, 10000));
        }
        return role.get();
    }

    // A raw client, connected.
    std::unique_ptr<QLocalSocket> connectClient(const SingleInstance& primary) {
        auto client = std::make_unique<QLocalSocket>();
        client->connectToServer(primary.socketFile());
        EXPECT_TRUE(client->waitForConnected(1000));
        return client;
    }

private:
    std::vector<Connection> connections_;
};

TEST_F(SingleInstanceTest, SecondLaunchIsToldOnceThePrimaryHasReopened) {
    const auto primary = startPrimary();
    EXPECT_EQ(primary->tryBecomePrimary(), Role::Primary);  // asking again changes nothing

    // The answer comes after the reopen ran, never before.
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 2);
}

TEST_F(SingleInstanceTest, APrimaryThatDoesNotAnswerFailsTheLaunchInTime) {
    const auto primary = startPrimary();
    // The primary's thread is busy (as a stopped process would be): the
    // connection is queued by the system, but no answer comes.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(launch({}, {}, false), Role::PrimaryUnreachable);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(SingleInstance::kAnswerTimeoutMs - 100));
    EXPECT_LT(waited, std::chrono::milliseconds(SingleInstance::kAnswerTimeoutMs + 1500));
    EXPECT_EQ(reopens, 0);
}

TEST_F(SingleInstanceTest, EverySpellingOfTheSettingsFolderMeetsOneLock) {
    const auto primary = startPrimary();
    const std::filesystem::path link = dir.path().toStdString() + "/linked";
    std::filesystem::create_directory_symlink(settings, link);
    EXPECT_EQ(launch(settings.string() + "/"), Role::HandedOver);
    EXPECT_EQ(launch(link), Role::HandedOver);
    EXPECT_EQ(launch(settings.string() + "/../corvanta"), Role::HandedOver);
    EXPECT_EQ(reopens, 3);

    // Another settings folder is another instance.
    SingleInstance other(dir.path().toStdString() + "/other", runtime);
    EXPECT_EQ(other.tryBecomePrimary(), Role::Primary);
    EXPECT_NE(other.socketFile(), primary->socketFile());
}

TEST_F(SingleInstanceTest, ASocketWithoutTheLockIsNeverHandedOverTo) {
    // A crashed instance's socket file, or one listened on by someone else.
    struct stat st;
    ASSERT_TRUE(std::filesystem::create_directories(settings));
    ASSERT_EQ(::stat(settings.c_str(), &st), 0);
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(runtime + QStringLiteral("/corvanta-%1-%2.socket")
                                              .arg(quint64(st.st_dev), 0, 16)
                                              .arg(quint64(st.st_ino), 0, 16)));
    int reachedSquatter = 0;
    QObject::connect(&squatter, &QLocalServer::newConnection, [&] { ++reachedSquatter; });

    const auto instance = startPrimary();
    EXPECT_EQ(instance->socketFile(), squatter.fullServerName());
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
    EXPECT_EQ(reachedSquatter, 0);
}

TEST_F(SingleInstanceTest, SimultaneousLaunchesEndWithExactlyOnePrimary) {
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        const QString folder = dir.path() + QStringLiteral("/race-%1").arg(round);
        std::vector<std::unique_ptr<QProcess>> launches;
        for (int i = 0; i < 12; ++i) {
            launches.push_back(std::make_unique<QProcess>());
            launches.back()->start(QStringLiteral(CORVANTA_SINGLE_INSTANCE_RACER),
                                   {folder, runtime});
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
    // The settings folder cannot be made: nobody else can hold its lock either.
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    SingleInstance instance(dir.path().toStdString() + "/file/corvanta", runtime);
    EXPECT_EQ(instance.tryBecomePrimary(), Role::Primary);
    EXPECT_FALSE(instance.holdsLock());
}

TEST_F(SingleInstanceTest, ALongRuntimeFolderStillReachesThePrimary) {
    // Longer than a socket address can hold (108 bytes).
    QString longFolder = runtime;
    while (longFolder.size() < 200) longFolder += QStringLiteral("/runtime-folder-part");
    ASSERT_TRUE(QDir().mkpath(longFolder));
    ASSERT_EQ(::chmod(QFile::encodeName(longFolder).constData(), 0700), 0);
    runtime = longFolder;

    const auto primary = startPrimary();
    EXPECT_TRUE(QFileInfo(primary->socketFile()).path() == longFolder);
    EXPECT_TRUE(QFileInfo(primary->socketFile()).exists());
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
}

TEST_F(SingleInstanceTest, ARemovedSocketIsMadeAgain) {
    // As a cleaner of old files would: the socket goes while the primary runs.
    const auto primary = startPrimary();
    const QString socket = primary->socketFile();
    ASSERT_TRUE(QFile::remove(socket));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(socket).exists(); }, 5000));
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
}

TEST_F(SingleInstanceTest, ARemovedSettingsFolderIsTakenBackBeforeALaunchCanTakeIt) {
    const auto primary = startPrimary();
    const QString oldSocket = primary->socketFile();
    std::filesystem::remove_all(settings);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(settings); }, 5000));
    // The later launch meets the running primary, not an unlocked folder.
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
    EXPECT_NE(primary->socketFile(), oldSocket);
    EXPECT_FALSE(QFileInfo::exists(oldSocket));

    // Moved away rather than removed: the same.
    std::filesystem::rename(settings, settings.string() + ".old");
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(settings); }, 5000));
    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 2);
}

TEST_F(SingleInstanceTest, ASettingsFolderThatCannotBeMadeAgainIsReportedOnce) {
    const auto primary = startPrimary();
    // Replaced by a file before the primary hears of it: nothing can be locked there.
    std::filesystem::remove_all(settings);
    QFile blocker(QString::fromStdString(settings.string()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    testing::internal::CaptureStderr();
    QTest::qWait(200);
    blocker.open(QIODevice::Append);
    blocker.write("x");
    blocker.close();
    QTest::qWait(200);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(settings.string()), std::string::npos) << said;
    EXPECT_NE(said.find("cannot be made again"), std::string::npos) << said;
    EXPECT_EQ(said.find("corvanta:"), said.rfind("corvanta:")) << said;
}

TEST_F(SingleInstanceTest, MessagesFromAnotherUserAreRefused) {
    const auto primary = startPrimary({}, ::getuid() + 1);
    const auto client = connectClient(*primary);
    client->write("reopen\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return primary->refusedConnections() == 1; }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client->state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(reopens, 0);
}

TEST_F(SingleInstanceTest, AFloodWithoutANewlineIsCutOffUnbuffered) {
    const auto primary =
        startPrimary({.maxConnections = 8, .connectionLifetimeMs = 60'000, .maxMessageBytes = 64});
    const auto client = connectClient(*primary);
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
        holders.back()->connectToServer(primary->socketFile());
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

    EXPECT_EQ(launch(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
}

class SingleInstanceFolder : public ::testing::Test {
protected:
    SingleInstanceFolder() {
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        environment.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        environment.set("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        environment.set("TMPDIR", QFile::encodeName(temp.path()));
    }
    QString fallback() const { return cache.path() + QStringLiteral("/corvanta/instance"); }

    EnvironmentGuard environment;
    QTemporaryDir runtime, cache, temp, config;
    std::filesystem::path settings = config.path().toStdString() + "/corvanta";
};

TEST_F(SingleInstanceFolder, SocketLivesInAFolderOnlyThisUserCanEnter) {
    {
        SingleInstance primary(settings);
        EXPECT_EQ(primary.tryBecomePrimary(), Role::Primary);
        EXPECT_EQ(QFileInfo(primary.socketFile()).path(), runtime.path());
    }

    // A runtime folder others can enter is not used, nor a shared temporary
    // folder where another user may have made the name first; a folder of our
    // own in the cache home is made instead, mode 0700.
    const QString squatted = temp.path() + QStringLiteral("/corvanta-%1").arg(::getuid());
    ASSERT_TRUE(QDir().mkdir(squatted));
    ASSERT_EQ(::chmod(QFile::encodeName(squatted).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0755), 0);
    EXPECT_EQ(SingleInstance::runtimeFolder(), fallback());
    environment.set("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_EQ(SingleInstance::runtimeFolder(), fallback());
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(fallback()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(QDir(squatted).isEmpty());

    // One of ours with a loose mode is tightened.
    ASSERT_EQ(::chmod(QFile::encodeName(fallback()).constData(), 0755), 0);
    EXPECT_EQ(SingleInstance::runtimeFolder(), fallback());
    ASSERT_EQ(::lstat(QFile::encodeName(fallback()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Someone else's name there (a link to a folder they control, or their
    // folder) is never used, and a launch still starts.
    ASSERT_TRUE(QDir(fallback()).removeRecursively());
    ASSERT_TRUE(QFile::link(runtime.path(), fallback()));
    EXPECT_EQ(SingleInstance::runtimeFolder(), QString());
    SingleInstance alone(config.path().toStdString() + "/elsewhere");
    EXPECT_EQ(alone.tryBecomePrimary(), Role::Primary);
    EXPECT_TRUE(QDir(runtime.path()).isEmpty());
    if (::getuid() == 0) {
        ASSERT_TRUE(QFile::remove(fallback()));
        ASSERT_TRUE(QDir().mkdir(fallback()));
        ASSERT_EQ(::chown(QFile::encodeName(fallback()).constData(), 65534, 65534), 0);
        EXPECT_EQ(SingleInstance::runtimeFolder(), QString());
    }
}

TEST_F(SingleInstanceFolder, AFallbackFolderRemovedWhileRunningIsMadeAgain) {
    environment.set("XDG_RUNTIME_DIR", QByteArray());
    SingleInstance primary(settings);
    ASSERT_EQ(primary.tryBecomePrimary(), Role::Primary);
    ASSERT_EQ(QFileInfo(primary.socketFile()).path(), fallback());
    ASSERT_TRUE(QDir(fallback()).removeRecursively());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo(primary.socketFile()).exists() && primary.isListening(); }, 5000));

    // The lock lives on the settings folder, so a launch now still hands over.
    auto later = std::async(std::launch::async, [&] {
        SingleInstance instance(settings);
        return instance.tryBecomePrimary();
    });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        10000));
    EXPECT_EQ(later.get(), Role::HandedOver);
}

TEST_F(SingleInstanceFolder, ARuntimeFolderRemovedAndMadeAgainStillLeadsToThePrimary) {
    SingleInstance primary(settings);
    ASSERT_EQ(primary.tryBecomePrimary(), Role::Primary);
    int reopens = 0;
    const Connection counted = primary.reopenRequested.connect([&] { ++reopens; });
    // The session's runtime folder goes; the primary moves to the fallback.
    ASSERT_TRUE(QDir(runtime.path()).removeRecursively());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return QFileInfo(primary.socketFile()).path() == fallback() && primary.isListening();
        },
        5000));
    // The session makes the runtime folder again, empty; a launch looks there
    // first and must still find the primary.
    ASSERT_TRUE(QDir().mkdir(runtime.path()));
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    auto later = std::async(std::launch::async, [&] {
        SingleInstance instance(settings);
        return instance.tryBecomePrimary();
    });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return later.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        10000));
    EXPECT_EQ(later.get(), Role::HandedOver);
    EXPECT_EQ(reopens, 1);
}

TEST_F(SingleInstanceFolder, AnUnreachablePrimaryIsExplained) {
    // The lock is held, but nothing listens where a launch looks.
    ASSERT_TRUE(std::filesystem::create_directories(settings));
    const int lock = ::open(settings.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    SingleInstance later(settings);
    EXPECT_EQ(later.tryBecomePrimary(), Role::PrimaryUnreachable);
    EXPECT_TRUE(later.unreachableReason().contains(runtime.path()))
        << later.unreachableReason().toStdString();
    ::close(lock);
}

}  // namespace
}  // namespace corvanta::platform
