// The application object; see CorvantaApp.h.
#include "shell/CorvantaApp.h"

#include <QApplication>
#include <QDBusConnection>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "catalog/CatalogPreload.h"
#include "interface/CorvantaView.h"
#include "interface/SoftwareIconRepository.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/qt/EventMonitors.h"
#include "platform/qt/FontConfiguration.h"
#include "platform/qt/MainQueue.h"
#include "platform/qt/PanelWindow.h"
#include "platform/qt/QtMainQueue.h"
#include "platform/qt/QtPanelWindow.h"
#include "platform/qt/QuitHandling.h"
#include "platform/qt/Screens.h"
#include "platform/qt/SingleInstance.h"
#include "platform/qt/StatusItem.h"
#include "platform/qt/Workspace.h"
#include "shell/AppDelegate.h"
#include "shell/FloatingWindowController.h"
#include "shell/QuitKey.h"

namespace corvanta {

namespace {

constexpr double kSettingsFlushDelaySeconds = 0.5;

// Found without the toolkit, so that the catalog can be read while it starts.
platform::Bundle mainBundle(const char* argv0) {
    std::optional<std::string> identifier{std::string(CorvantaApp::bundleIdentifier)};
    if (const char* override = std::getenv(CorvantaApp::resourcesVariable); override && *override) {
        return platform::Bundle(override, identifier);
    }
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty())
        executable = argv0;
    return platform::Bundle::forExecutable(executable, identifier);
}

}  // namespace

int CorvantaApp::main(int argc, char** argv) {
    // What the first frame waits for is done on worker threads while the
    // toolkit connects to the display: the session bus, the font configuration
    // and the catalog here, the font database and the desktop entries for the
    // logo once this process is known to be the primary. The session bus is
    // what the toolkit's accessibility bridge waits for when the first widget
    // is named or shown: milliseconds, tens of them where the bus is found by
    // starting dbus-launch.
    // Qt takes the first thread that uses it for the main one: this one.
    QThread::currentThread();
    const std::jthread sessionBus([] { QDBusConnection::sessionBus(); });
    const std::jthread fontConfiguration = platform::preloadFontConfiguration();
    platform::Bundle bundle = mainBundle(argc > 0 ? argv[0] : "");
    CatalogPreload catalog(bundle);
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(
        QString::fromUtf8(bundleIdentifier.data(), bundleIdentifier.size()));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Corvanta"));
    QGuiApplication::setDesktopFileName(
        QString::fromUtf8(bundleIdentifier.data(), bundleIdentifier.size()));

    // A second launch hands over to the running instance, which shows its panel.
    platform::SingleInstance singleInstance;
    switch (singleInstance.tryBecomePrimary()) {
        case platform::SingleInstance::Role::Primary:
            break;
        case platform::SingleInstance::Role::HandedOver:
            return 0;
        case platform::SingleInstance::Role::PrimaryUnreachable:
            std::fprintf(stderr, "corvanta: another instance is running, but %s\n",
                         qPrintable(singleInstance.unreachableReason()));
            return 1;
    }

    // Only the primary draws, so only it reads ahead what the first frame needs.
    const std::jthread fonts = style::preloadFonts();
    // Logos drawn before the entries were in show their stand-in; they are
    // drawn again with the installed icons once the entries arrive.
    SoftwareIconRepository::preloadDesktopEntries([] {
        for (QWidget* window : QApplication::topLevelWidgets()) window->update();
    });

    platform::QuitHandling quitHandling;
    platform::QtMainQueue queue;
    platform::MainQueue::setShared(&queue);
    platform::JsonFileUserDefaults defaults(platform::JsonFileUserDefaults::defaultDirectory(),
                                            "settings");
    // Left-over temporary files are stale only to the one process that holds
    // the folder's lock; without it they may be another instance's write.
    if (singleInstance.holdsLock())
        defaults.removeStaleTemporaryFiles();
    // Moving or resizing the panel saves its place on every step; the file is
    // written at most twice a second, and at once on quit.
    defaults.setFlushScheduler([&queue](std::function<void()> flush) {
        queue.postAfter(kSettingsFlushDelaySeconds, std::move(flush));
    });
    platform::Screens& screens = platform::Screens::shared();
    ShellServices services{
        std::move(bundle),
        defaults,
        screens,
        queue,
        platform::EventMonitors::shared(),
        [&screens, &queue](const platform::Rect& frame) -> std::unique_ptr<platform::PanelWindow> {
            return std::make_unique<platform::QtPanelWindow>(frame, screens, queue);
        },
        &catalog};
    SymbolImage::setDirectory(
        QString::fromStdString((services.bundle.resourceRoot() / "symbols").string()));
    SoftwareIconRepository::setBundle(services.bundle);
    if (const auto logo = services.bundle.url("CorvantaLogo", "svg", "images"))
        CorvantaView::setLogoFile(QString::fromStdString(logo->string()));
    const std::unique_ptr<platform::Workspace> workspace = platform::Workspace::create();

    AppDelegate delegate(services, *workspace, [] { return platform::StatusItem::create(); });
    QApplication::setQuitOnLastWindowClosed(
        delegate.applicationShouldTerminateAfterLastWindowClosed());
    const QuitKey quitKey([] { QCoreApplication::quit(); });
    auto reopen = singleInstance.reopenRequested.connect(
        [&delegate] { delegate.applicationShouldHandleReopen(true); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [&delegate, &defaults] {
        delegate.applicationWillTerminate();
        defaults.synchronize();
    });
    // Losing the X server (a logout) ends the process from inside the event
    // loop, without aboutToQuit; pending settings are written all the same.
    quitHandling.setExitHook([&defaults] { defaults.synchronize(); });
    // Launching is finished here: everything is set up, and the panel's
    // first frame is then the event loop's first work.
    delegate.applicationDidFinishLaunching();

    const int status = QApplication::exec();
    quitHandling.setExitHook(nullptr);
    platform::MainQueue::setShared(nullptr);
    return status;
}

}  // namespace corvanta
