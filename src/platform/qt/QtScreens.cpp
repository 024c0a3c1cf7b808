// QScreen geometry as y-up snapshots.
#include "platform/qt/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace corvanta::platform {
namespace {

Rect fromQRect(const QRect& r) {
    return makeRect(r.x(), r.y(), r.width(), r.height());
}

}  // namespace

QtScreens::QtScreens(QObject* parent) : QObject(parent) {
    auto* app = qGuiApp;
    if (!app)
        return;
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        announce();
    });
    connect(app, &QGuiApplication::screenRemoved, this, [this](QScreen*) { announce(); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this](QScreen*) { announce(); });
}

void QtScreens::watch(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, [this] { announce(); });
    connect(screen, &QScreen::availableGeometryChanged, this, [this] { announce(); });
}

void QtScreens::announce() {
    parametersChanged.emit();
}

Rect QtScreens::primaryGeometry() {
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        return fromQRect(primary->geometry());
    return makeRect(0, 0, 1440, 900);
}

ScreenInfo QtScreens::info(const QScreen* screen) {
    const Rect primary = primaryGeometry();
    ScreenInfo result;
    result.frame = yUpFromYDown(fromQRect(screen->geometry()), primary);
    result.visibleFrame = yUpFromYDown(fromQRect(screen->availableGeometry()), primary);
    result.displayID =
        displayIDFor(screen->name().toStdString(), screen->manufacturer().toStdString(),
                     screen->model().toStdString(), screen->serialNumber().toStdString());
    return result;
}

std::vector<ScreenInfo> QtScreens::screens() const {
    std::vector<ScreenInfo> result;
    if (!qGuiApp)
        return result;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        result.push_back(info(primary));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            result.push_back(info(screen));
    return result;
}

std::optional<ScreenInfo> QtScreens::mainScreen() const {
    if (!qGuiApp)
        return std::nullopt;
    if (const QWindow* focus = QGuiApplication::focusWindow())
        if (const QScreen* screen = focus->screen())
            return info(screen);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        return info(primary);
    return std::nullopt;
}

}  // namespace corvanta::platform
