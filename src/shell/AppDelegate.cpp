// The application delegate; see AppDelegate.h.
#include "shell/AppDelegate.h"

#include <algorithm>
#include <utility>

#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "catalog/ShortcutStore.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/qt/PanelWindow.h"
#include "platform/qt/StatusItem.h"
#include "platform/qt/Workspace.h"
#include "platform/qt/X11Window.h"
#include "shell/FloatingWindowController.h"

namespace corvanta {

namespace {

constexpr int kStatusIconPoints = 22;

// An icon drawn from an SVG at whatever size it is asked for, so a tray at any
// size and scale gets a sharp image.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(QByteArray svg) : svg_(std::move(svg)) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        QSvgRenderer(svg_).render(&painter);
        return pixmap;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        QSvgRenderer(svg_).render(painter, QRectF(rect));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{kStatusIconPoints, kStatusIconPoints},
                {2 * kStatusIconPoints, 2 * kStatusIconPoints}};
    }
    QString key() const override { return QStringLiteral("corvanta.svg"); }
    QIconEngine* clone() const override { return new SvgIconEngine(svg_); }

private:
    QByteArray svg_;
};

// The status icon from an SVG resource, or a null icon when the file is
// missing or unreadable.
QIcon statusIconFromSvg(const std::optional<std::filesystem::path>& path) {
    if (!path)
        return {};
    const auto bytes = platform::readSelfContainedSvg(*path, platform::kMaxDrawingFileBytes);
    if (!bytes)
        return {};
    QByteArray svg = QByteArray::fromStdString(*bytes);
    if (!QSvgRenderer(svg).isValid())
        return {};
    return QIcon(new SvgIconEngine(std::move(svg)));
}

}  // namespace

AppDelegate::AppDelegate(ShellServices& services, platform::Workspace& workspace,
                         StatusItemFactory makeStatusItem)
    : services_(services),
      workspace_(workspace),
      makeStatusItem_(std::move(makeStatusItem)),
      desktops_{platform::x11::isOnCurrentDesktop, platform::x11::moveToCurrentDesktop} {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    installStatusItem();
    activationObserver_ = workspace_.didActivateApplication.connect(
        [this](const std::string& identifier) { workspaceApplicationDidActivate(identifier); });
    showFloatingWindow();
}

void AppDelegate::applicationWillTerminate() {
    activationObserver_.disconnect();
}

bool AppDelegate::applicationShouldHandleReopen(bool) {
    showFloatingWindow();
    return true;
}

void AppDelegate::installStatusItem() {
    statusItem_ = makeStatusItem_ ? makeStatusItem_() : nullptr;
    if (!statusItem_)
        return;
    const platform::Bundle& bundle = services_.bundle;
    QIcon icon = statusIconFromSvg(bundle.url("CorvantaWhiteLogo", "svg", "images"));
    if (icon.isNull())
        icon = statusIconFromSvg(bundle.url("keyboard", "svg", "symbols"));
    statusItem_->setImage(icon, true);
    statusItem_->setToolTip(QStringLiteral("Corvanta"));
    statusItem_->onClick = [this] { toggleFloatingWindow(); };
    statusItem_->setAccessibilityLabel(QStringLiteral("Corvanta"));
    statusItem_->show();
}

void AppDelegate::showFloatingWindow() {
    if (!controller_)
        controller_ = std::make_unique<FloatingWindowController>(services_);
    platform::PanelWindow* window = controller_->window();
    if (!window)
        return;
    // Reopening means here: a panel left on another desktop comes to the one
    // the user is on (first, so that activating it does not switch desktops).
    desktops_.moveToCurrentDesktop(window->window());
    controller_->showWindow();
    window->makeKey();
    window->orderFrontRegardless();
}

void AppDelegate::toggleFloatingWindow() {
    if (!controller_)
        return;
    platform::PanelWindow* window = controller_->window();
    if (!window)
        return;
    // A panel shown on another desktop is out of sight: the click brings it
    // here, as a launch does, rather than hiding it.
    if (window->isVisible() && desktops_.isOnCurrentDesktop(window->window())) {
        window->orderOut();
    } else {
        showFloatingWindow();
    }
}

void AppDelegate::workspaceApplicationDidActivate(const std::string& bundleIdentifier) {
    if (bundleIdentifier.empty())
        return;
    // Activating this application itself never changes the selected pack.
    const auto& own = services_.bundle.bundleIdentifier();
    if (own && *own == bundleIdentifier)
        return;
    // Activations before the panel exists are dropped, not queued.
    if (!controller_)
        return;
    controller_->store().selectSoftwareMatchingBundleIdentifier(bundleIdentifier);
}

}  // namespace corvanta
