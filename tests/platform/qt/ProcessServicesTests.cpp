// Single instance, quit on termination signals, and the status item.
#include <gtest/gtest.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include "platform/qt/FakeStatusItem.h"
#include "platform/qt/QtStatusItem.h"
#include "platform/qt/QuitHandling.h"
#include "platform/qt/SingleInstance.h"

namespace corvanta::platform {
namespace {

QString uniqueName() {
    return QStringLiteral("corvanta-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

TEST(SingleInstance, SecondLaunchAsksThePrimaryToReopen) {
    const QString name = uniqueName();
    SingleInstance primary(name);
    int reopens = 0;
    auto connection = primary.reopenRequested.connect([&] { ++reopens; });
    ASSERT_TRUE(primary.tryBecomePrimary());
    EXPECT_TRUE(primary.tryBecomePrimary());  // asking again changes nothing

    SingleInstance second(name);
    EXPECT_FALSE(second.tryBecomePrimary());
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 1; }, 3000));
    SingleInstance third(name);
    EXPECT_FALSE(third.tryBecomePrimary());
    EXPECT_TRUE(QTest::qWaitFor([&] { return reopens == 2; }, 3000));
}

TEST(SingleInstance, LeftoverSocketOfACrashedInstanceDoesNotBlockANewPrimary) {
    const QString name = uniqueName();
    const QString path = QDir::tempPath() + QLatin1Char('/') + name;
    {
        QFile stale(path);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance instance(name);
    EXPECT_TRUE(instance.tryBecomePrimary());
    SingleInstance later(name);
    EXPECT_FALSE(later.tryBecomePrimary());
}

TEST(SingleInstance, DefaultNameFollowsTheSettingsFolder) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir a, b;
    qputenv("XDG_CONFIG_HOME", a.path().toUtf8());
    const QString nameA = SingleInstance::defaultServerName();
    EXPECT_EQ(nameA, SingleInstance::defaultServerName());
    qputenv("XDG_CONFIG_HOME", b.path().toUtf8());
    const QString nameB = SingleInstance::defaultServerName();
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_NE(nameA, nameB);
    EXPECT_LT(nameA.size(), 60);
}

TEST(QuitHandling, TerminationSignalQuitsThroughTheEventLoop) {
    QuitHandling handling;
    int aboutToQuit = 0;
    auto c = QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { ++aboutToQuit; });
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    // A safety net: the test must not hang if the signal were lost.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    guard.start(5000);
    const int code = QCoreApplication::exec();
    QObject::disconnect(c);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(handling.quitRequests(), 1);
    EXPECT_EQ(aboutToQuit, 1);
}

TEST(StatusItem, LeftClickTriggersAndOtherActivationsDoNot) {
    QtStatusItem item;
    int clicks = 0;
    item.onClick = [&] { ++clicks; };
    item.setToolTip(QStringLiteral("Corvanta"));
    item.setAccessibilityLabel(QStringLiteral("Corvanta"));
    item.setImage(QIcon(), true);
    item.show();  // no tray offscreen: harmless, and the icon stays asked for
    Q_EMIT item.trayIcon()->activated(QSystemTrayIcon::Trigger);
    Q_EMIT item.trayIcon()->activated(QSystemTrayIcon::Context);
    Q_EMIT item.trayIcon()->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(item.toolTip(), QStringLiteral("Corvanta"));
    EXPECT_EQ(item.accessibilityLabel(), QStringLiteral("Corvanta"));
    // Without a tray the icon stays asked for, so it docks once a tray appears.
    EXPECT_TRUE(item.trayIcon()->isVisible());

    FakeStatusItem fake;
    fake.click();  // no handler: nothing happens
    fake.onClick = [&] { ++clicks; };
    fake.click();
    EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace corvanta::platform
