// The tray icon. Where the platform has no tray the item keeps its settings and
// shows nothing until one appears; the application runs on.
#include "platform/qt/QtStatusItem.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QIconEngine>
#include <QMouseEvent>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "platform/qt/XcbReply.h"

namespace corvanta::platform {
namespace {

// Light on dark trays; the dark halo outlines it on light ones. Both keep
// better than 10:1 against the tray they are meant to stand out from.
const QColor kGlyph(0xFF, 0xFF, 0xFF);
const QColor kHalo(0x1A, 0x1A, 0x1A);

constexpr int kDesignPixels = 22;

bool isX11() {
    return QGuiApplication::platformName() == QStringLiteral("xcb");
}

// A private, short-lived connection: the tray is asked only when the icon is
// set and when a tray appears.
struct TrayQuery {
    TrayQuery() : connection(xcb_connect(nullptr, &screen)) {}
    ~TrayQuery() { xcb_disconnect(connection); }
    TrayQuery(const TrayQuery&) = delete;
    TrayQuery& operator=(const TrayQuery&) = delete;
    bool ok() const { return !xcb_connection_has_error(connection); }
    xcb_atom_t selection() const {
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
        return xcb::internAtom(connection, name.c_str());
    }

    int screen = 0;
    xcb_connection_t* connection;
};

std::optional<QColor> announcedTrayForeground() {
    if (!isX11())
        return std::nullopt;
    TrayQuery query;
    if (!query.ok())
        return std::nullopt;
    xcb_connection_t* c = query.connection;
    const xcb_atom_t selection = query.selection();
    const xcb_atom_t colors = xcb::internAtom(c, "_NET_SYSTEM_TRAY_COLORS");
    if (selection == XCB_ATOM_NONE || colors == XCB_ATOM_NONE)
        return std::nullopt;
    auto owner = xcb::owned(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return std::nullopt;
    auto property = xcb::owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, owner->owner, colors, XCB_ATOM_CARDINAL, 0, 12), nullptr));
    if (!property || property->format != 32)
        return std::nullopt;
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(property.get()));
    return trayForeground(
        std::span<const uint32_t>(values, xcb_get_property_value_length(property.get()) / 4));
}

// The mask grown by `radius` pixels (a disc), as an alpha channel.
QImage grown(const QImage& alpha, int radius) {
    QImage result(alpha.size(), QImage::Format_Alpha8);
    const int w = alpha.width();
    const int h = alpha.height();
    for (int y = 0; y < h; ++y) {
        uchar* out = result.scanLine(y);
        for (int x = 0; x < w; ++x) {
            int strongest = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                const int sy = y + dy;
                if (sy < 0 || sy >= h)
                    continue;
                const uchar* row = alpha.constScanLine(sy);
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int sx = x + dx;
                    if (sx < 0 || sx >= w || dx * dx + dy * dy > radius * radius + radius)
                        continue;
                    strongest = std::max<int>(strongest, row[sx]);
                }
            }
            out[x] = uchar(strongest);
        }
    }
    return result;
}

// `alpha` filled with `color`.
QImage painted(const QImage& alpha, const QColor& color) {
    QImage layer(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(color);
    QPainter painter(&layer);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, alpha);
    return layer;
}

// The template drawn in the tray's colour at whatever size and scale the tray
// paints it: the mask is asked for in device pixels, so an icon that renders
// at any size (an SVG) stays sharp, and nothing is scaled after tinting.
class TintedIconEngine final : public QIconEngine {
public:
    TintedIconEngine(QIcon source, TrayTint tint) : source_(std::move(source)), tint_(tint) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // `size` in device pixels: QIcon asks for the size times the scale.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0 || scale <= 0)
            return {};
        const std::pair key(side, scale);
        auto it = made_.find(key);
        if (it == made_.end()) {
            // Trays ask for a handful of sizes; keep what they asked for.
            if (made_.size() > 16)
                made_.clear();
            const int points = std::max(1, static_cast<int>(std::lround(side / scale)));
            const QImage mask = source_.pixmap(QSize(points, points), scale).toImage();
            it = made_.emplace(key, QPixmap::fromImage(tintedTemplate(mask, tint_))).first;
        }
        return it->second;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const QSize device = (QSizeF(rect.size()) * scale).toSize();
        painter->drawPixmap(rect, scaledPixmap(device, mode, state, scale));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {44, 44}, {48, 48}, {64, 64}};
    }
    QString key() const override { return QStringLiteral("corvanta.tinted-template"); }
    QIconEngine* clone() const override { return new TintedIconEngine(source_, tint_); }

private:
    QIcon source_;
    TrayTint tint_;
    std::map<std::pair<int, qreal>, QPixmap> made_;
};

}  // namespace

TrayTint trayTint(const std::optional<QColor>& foreground) {
    // A tray that names its icons' colour knows its own background.
    if (foreground)
        return {*foreground, std::nullopt};
    return {kGlyph, kHalo};
}

std::optional<QColor> trayForeground(std::span<const uint32_t> colors) {
    if (colors.size() < 3)
        return std::nullopt;
    const auto channel = [](uint32_t value) { return int(std::min<uint32_t>(value, 0xFFFF) >> 8); };
    return QColor(channel(colors[0]), channel(colors[1]), channel(colors[2]));
}

QImage tintedTemplate(const QImage& mask, const TrayTint& tint) {
    // Worked on pixel for pixel: a scale on the mask would draw it at a
    // fraction of the layers' size.
    QImage alpha = mask.convertToFormat(QImage::Format_Alpha8);
    alpha.setDevicePixelRatio(1);
    QImage result(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    if (tint.halo) {
        const int radius = std::max(
            1, (std::min(alpha.width(), alpha.height()) + kDesignPixels / 2) / kDesignPixels);
        painter.drawImage(0, 0, painted(grown(alpha, radius), *tint.halo));
    }
    painter.drawImage(0, 0, painted(alpha, tint.glyph));
    painter.end();
    result.setDevicePixelRatio(mask.devicePixelRatio());
    return result;
}

std::unique_ptr<StatusItem> StatusItem::create() {
    return std::make_unique<QtStatusItem>();
}

QtStatusItem::QtStatusItem() {
    if (qApp)
        qApp->installEventFilter(this);
    // Docking asks the session bus and the X server about the tray, which
    // can take tens of milliseconds: the item docks once the event loop runs,
    // so a panel shown meanwhile is on screen without waiting for it.
    QMetaObject::invokeMethod(
        this, [this] { dock(); }, Qt::QueuedConnection);
}

void QtStatusItem::dock() {
    if (tray_)
        return;
    tray_ = std::make_unique<QSystemTrayIcon>();
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Trigger is the primary-button click; context and middle
                // clicks and double clicks are not ours. Where the icon's
                // window is ours the press never gets here (eventFilter acts
                // on the release); a tray host that activates the item
                // itself (StatusNotifierItem) chooses the moment.
                if (reason == QSystemTrayIcon::Trigger && onClick)
                    onClick();
            });
    if (isX11()) {
        TrayQuery query;
        if (query.ok()) {
            managerAtom_ = xcb::internAtom(query.connection, "MANAGER");
            traySelectionAtom_ = query.selection();
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    tray_->setToolTip(toolTip_);
    applyImage();
    if (shown_)
        tray_->show();
}

QSystemTrayIcon* QtStatusItem::trayIcon() {
    dock();
    return tray_.get();
}

QtStatusItem::~QtStatusItem() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void QtStatusItem::setImage(const QIcon& icon, bool isTemplate) {
    image_ = icon;
    isTemplate_ = isTemplate;
    if (tray_)
        applyImage();
}

void QtStatusItem::applyImage() {
    if (!isTemplate_ || image_.isNull()) {
        tray_->setIcon(image_);
        return;
    }
    tray_->setIcon(QIcon(new TintedIconEngine(image_, trayTint(announcedTrayForeground()))));
}

// A tray that starts (or restarts) announces itself on the root window; it may
// ask for another colour than the one before.
bool QtStatusItem::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !managerAtom_ || !traySelectionAtom_)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->type == managerAtom_ && client->format == 32 &&
        client->data.data32[1] == traySelectionAtom_ && isTemplate_) {
        // After Qt's own handling of the same message has docked the icon.
        QMetaObject::invokeMethod(
            this, [this] { applyImage(); }, Qt::QueuedConnection);
    }
    return false;
}

// On an XEmbed tray the icon is a window of ours, which Qt activates on the
// press. Like a button, the item acts when the button comes up over it, so a
// press that is dragged away does nothing.
bool QtStatusItem::isTrayWindow(QObject* object) const {
    return object->isWidgetType() && object->inherits("QSystemTrayIconSys");
}

bool QtStatusItem::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !isTrayWindow(watched))
        return false;
    if (type != QEvent::MouseButtonRelease) {
        // A second click's press counts as a press: each click toggles.
        pressed_ = true;
        return true;
    }
    const bool wasPressed = pressed_;
    pressed_ = false;
    const auto* window = static_cast<QWidget*>(watched);
    if (wasPressed && window->rect().contains(mouse->position().toPoint()) && onClick)
        onClick();
    return true;
}

void QtStatusItem::setToolTip(const QString& toolTip) {
    toolTip_ = toolTip;
    if (tray_)
        tray_->setToolTip(toolTip);
}

QString QtStatusItem::toolTip() const {
    return toolTip_;
}

// Tray protocols carry no separate accessible name; screen readers read the
// tool tip, so the label is kept for the day the platform offers one.
void QtStatusItem::setAccessibilityLabel(const QString& label) {
    accessibilityLabel_ = label;
}

// Shown even while no tray is running: Qt docks the icon as soon as a tray
// appears (a desktop often starts its panel after its autostart programs) and
// again after the tray restarts.
void QtStatusItem::show() {
    shown_ = true;
    if (tray_)
        tray_->show();
}

bool QtStatusItem::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace corvanta::platform
