// StatusItem on QSystemTrayIcon. A template image is drawn in the colour the
// tray asks for, or, where the tray says nothing, light with a dark halo so
// that it shows on light and dark trays alike. The click acts on the release
// where the tray icon's own window receives the mouse (XEmbed trays).
#pragma once

#include <QAbstractNativeEventFilter>
#include <QColor>
#include <QImage>
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/qt/StatusItem.h"

class QSystemTrayIcon;

namespace corvanta::platform {

// How a template image's mask is coloured in the tray.
struct TrayTint {
    QColor glyph;
    std::optional<QColor> halo;  // drawn under the glyph, around its edge
    bool operator==(const TrayTint&) const = default;
};

// The tint for a tray that announces `foreground` as its icons' colour, or
// for one that announces nothing.
TrayTint trayTint(const std::optional<QColor>& foreground);
// The "normal" colour of an XEmbed tray's _NET_SYSTEM_TRAY_COLORS value
// (red, green, blue as 16-bit numbers, then the error, warning and success
// colours), or nothing when the value is too short.
std::optional<QColor> trayForeground(std::span<const uint32_t> colors);
// The mask's coverage (its alpha) drawn in `tint`: the halo is the mask grown
// by about a twenty-second of the image's size, the glyph goes over it.
QImage tintedTemplate(const QImage& mask, const TrayTint& tint);

class QtStatusItem final : public QObject, public StatusItem, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    QtStatusItem();
    ~QtStatusItem() override;

    void setImage(const QIcon& icon, bool isTemplate) override;
    void setToolTip(const QString& toolTip) override;
    void setAccessibilityLabel(const QString& label) override;
    void show() override;
    bool isAvailable() const override;

    QString toolTip() const;
    QString accessibilityLabel() const { return accessibilityLabel_; }
    // The tray icon itself (docked now if the event loop has not docked it
    // yet), for tests that simulate an activation.
    QSystemTrayIcon* trayIcon();
    bool isDocked() const { return tray_ != nullptr; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dock();
    void applyImage();
    bool isTrayWindow(QObject* object) const;

    std::unique_ptr<QSystemTrayIcon> tray_;
    QString toolTip_;
    QString accessibilityLabel_;
    QIcon image_;
    bool isTemplate_ = false;
    bool shown_ = false;
    // Whether the left button went down on the tray icon's own window.
    bool pressed_ = false;
    uint32_t managerAtom_ = 0;
    uint32_t traySelectionAtom_ = 0;
};

}  // namespace corvanta::platform
