// The application delegate: start-up, the status item, reopening and following
// the front-most application.
#include "shell/AppDelegate.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ShellFixture.h"
#include "catalog/ShortcutStore.h"
#include "platform/qt/FakeStatusItem.h"
#include "platform/qt/FakeWorkspace.h"
#include "shell/FloatingWindowController.h"

namespace corvanta {
namespace {

using testing_support::ShellFixture;
using testing_support::TestBundle;

class AppDelegateTest : public ShellFixture {
protected:
    AppDelegateTest() {
        defaults.setString("CorvantaSoftware", "alpha");
        delegate = std::make_unique<AppDelegate>(services(), workspace, [this] {
            auto item = std::make_unique<platform::FakeStatusItem>();
            statusItem = item.get();
            return item;
        });
    }

    std::string selected() const {
        return delegate->floatingWindowController()->store().selectedSoftwareID.get();
    }

    platform::FakeWorkspace workspace;
    platform::FakeStatusItem* statusItem = nullptr;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, LaunchInstallsTheStatusItemAndShowsThePanelInFront) {
    EXPECT_EQ(delegate->floatingWindowController(), nullptr);
    delegate->applicationDidFinishLaunching();
    ASSERT_NE(statusItem, nullptr);
    EXPECT_EQ(statusItem->toolTip(), "Corvanta");
    EXPECT_EQ(statusItem->accessibilityLabel(), "Corvanta");
    EXPECT_TRUE(statusItem->isTemplate());
    EXPECT_TRUE(statusItem->isShown());
    ASSERT_NE(delegate->floatingWindowController(), nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->frontCount(), 1);
    EXPECT_EQ(panel->makeKeyCount(), 1);
    EXPECT_FALSE(delegate->applicationShouldTerminateAfterLastWindowClosed());
}

TEST_F(AppDelegateTest, StatusIconUsesTheLogoElseTheKeyboardSymbolElseNothing) {
    delegate->applicationDidFinishLaunching();
    EXPECT_TRUE(statusItem->icon().isNull());  // the test bundle has no images

    const char* square =
        R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 22 22"><rect width="22" height="22"/></svg>)";
    bundle.write("symbols/keyboard.svg", square);
    AppDelegate withSymbol(services(), workspace, [this] {
        auto item = std::make_unique<platform::FakeStatusItem>();
        statusItem = item.get();
        return item;
    });
    withSymbol.applicationDidFinishLaunching();
    EXPECT_FALSE(statusItem->icon().isNull());
    EXPECT_EQ(statusItem->icon().pixmap(QSize(22, 22), 2.0).size(), QSize(44, 44));
}

// The keyboard symbol is the logo's stand-in; without it, a bundle whose logo
// is missing leaves the tray slot empty.
TEST_F(AppDelegateTest, ShippedBundleFallsBackToTheShippedKeyboardSymbol) {
    const std::filesystem::path shipped = CORVANTA_SOURCE_RESOURCES "/symbols/keyboard.svg";
    ASSERT_TRUE(std::filesystem::exists(shipped));
    std::ifstream file(shipped);
    bundle.write("symbols/keyboard.svg", std::string(std::istreambuf_iterator<char>(file), {}));
    delegate->applicationDidFinishLaunching();
    const QImage icon = statusItem->icon().pixmap(QSize(22, 22), 1.0).toImage();
    ASSERT_FALSE(icon.isNull());
    int inked = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) inked += qAlpha(icon.pixel(x, y)) > 127;
    EXPECT_GT(inked, 40);  // a drawn symbol, not an empty square
    EXPECT_TRUE(statusItem->isTemplate());
    // A tray of any size and scale gets the drawing made at its size, not a
    // scaled copy of another.
    QImage drawn(30, 30, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    QSvgRenderer(QString::fromStdString(shipped.string())).render(&painter);
    painter.end();
    const QPixmap asked = statusItem->icon().pixmap(QSize(15, 15), 2.0);
    EXPECT_EQ(asked.devicePixelRatio(), 2.0);
    EXPECT_EQ(asked.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), drawn);
}

TEST_F(AppDelegateTest, StatusItemClickTogglesThePanel) {
    delegate->applicationDidFinishLaunching();
    statusItem->click();
    EXPECT_FALSE(panel->isVisible());
    statusItem->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->frontCount(), 2);
    // Still the one controller and the one panel.
    statusItem->click();
    statusItem->click();
    EXPECT_EQ(panel->frontCount(), 3);
}

TEST_F(AppDelegateTest, ReopenShowsTheHiddenPanel) {
    delegate->applicationDidFinishLaunching();
    delegate->floatingWindowController()->commands().closeWindow();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(delegate->applicationShouldHandleReopen(false));
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(AppDelegateTest, ReopenAndTheStatusItemBringThePanelToTheCurrentDesktop) {
    // Desktop 0 is where the panel first shows; the user then goes to desktop 1.
    int panelDesktop = -1;
    int currentDesktop = 0;
    delegate->setDesktops({[&](QWidget*) { return panelDesktop == currentDesktop; },
                           [&](QWidget*) { panelDesktop = currentDesktop; }});
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(panelDesktop, 0);

    currentDesktop = 1;
    EXPECT_TRUE(delegate->applicationShouldHandleReopen(true));
    EXPECT_EQ(panelDesktop, 1);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->makeKeyCount(), 2);

    // The status item: a panel shown elsewhere comes here instead of hiding;
    // the one here hides.
    currentDesktop = 2;
    statusItem->click();
    EXPECT_EQ(panelDesktop, 2);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->makeKeyCount(), 3);
    statusItem->click();
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(AppDelegateTest, FollowsOtherApplicationsButNotItself) {
    delegate->applicationDidFinishLaunching();
    ASSERT_EQ(selected(), "alpha");

    workspace.activate(TestBundle::identifier);
    EXPECT_EQ(selected(), "alpha");
    workspace.activate("BetaBoard");  // a window class; matched case-insensitively
    EXPECT_EQ(selected(), "beta");
    EXPECT_EQ(defaults.string("CorvantaSoftware"), "beta");
    workspace.activate("com.unknown.app");
    EXPECT_EQ(selected(), "beta");
    workspace.activate("");
    EXPECT_EQ(selected(), "beta");

    // While the panel is expanded the pack stays.
    delegate->floatingWindowController()->store().isExpanded = true;
    workspace.activate("com.example.alpha");
    EXPECT_EQ(selected(), "beta");
}

TEST_F(AppDelegateTest, ActivationsBeforeThePanelExistsAreDropped) {
    delegate->workspaceApplicationDidActivate("com.example.beta");
    EXPECT_EQ(delegate->floatingWindowController(), nullptr);
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(selected(), "alpha");
}

TEST_F(AppDelegateTest, TerminationStopsFollowing) {
    delegate->applicationDidFinishLaunching();
    delegate->applicationWillTerminate();
    workspace.activate("com.example.beta");
    EXPECT_EQ(selected(), "alpha");
}

}  // namespace
}  // namespace corvanta
