// Quit on termination signals, and the status item.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include <QCoreApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/qt/FakeStatusItem.h"
#include "platform/qt/QtStatusItem.h"
#include "platform/qt/QuitHandling.h"

namespace corvanta::platform {
namespace {

TEST(QuitHandling, TerminationSignalsQuitThroughTheEventLoop) {
    QuitHandling handling;
    int aboutToQuit = 0;
    auto c = QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { ++aboutToQuit; });
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        // A safety net: the test must not hang if the signal were lost.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
        guard.start(5000);
        EXPECT_EQ(QCoreApplication::exec(), 0);
    }
    QObject::disconnect(c);
    EXPECT_EQ(handling.quitRequests(), 4);
    EXPECT_EQ(aboutToQuit, 4);
}

TEST(QuitHandling, ExitFromInsideTheEventLoopRunsTheExitHook) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The hook tells that it ran by its own exit status.
    const auto hook = [] { std::_Exit(5); };
    // What Qt's X11 backend does when the X server goes away.
    EXPECT_EXIT(
        {
            QuitHandling handling;
            handling.setExitHook(hook);
            QTimer::singleShot(0, [] { std::exit(1); });
            QCoreApplication::exec();
        },
        ::testing::ExitedWithCode(5), "");
    // Once the handling is gone its hook never runs.
    EXPECT_EXIT(
        {
            { QuitHandling(nullptr).setExitHook(hook); }
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
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

// Docking waits on the session bus and the tray, so it happens in the event
// loop, after whatever the launch shows first; nothing set before is lost.
TEST(StatusItem, DocksOnceTheEventLoopRunsWithWhatWasSetBefore) {
    QtStatusItem item;
    QPixmap mask(22, 22);
    mask.fill(Qt::white);
    item.setImage(QIcon(mask), true);
    item.setToolTip(QStringLiteral("Corvanta"));
    item.show();
    EXPECT_FALSE(item.isDocked());
    QCoreApplication::processEvents();
    ASSERT_TRUE(item.isDocked());
    EXPECT_EQ(item.trayIcon()->toolTip(), QStringLiteral("Corvanta"));
    EXPECT_FALSE(item.trayIcon()->icon().isNull());
    EXPECT_TRUE(item.trayIcon()->isVisible());
}

}  // namespace
}  // namespace corvanta::platform
