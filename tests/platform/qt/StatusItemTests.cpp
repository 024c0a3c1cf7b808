// The tray icon's colours: visible on light and dark trays, the tray's own
// colour where it names one.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QSvgRenderer>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/QtStatusItem.h"
#include "platform/qt/XcbReply.h"

namespace corvanta::platform {
namespace {

double channel(double value) {
    value /= 255.0;
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}
double luminance(QColor c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double contrast(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QImage renderSvg(const char* file, int pixels) {
    QSvgRenderer renderer(QString::fromUtf8(file));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// What a tray of colour `tray` shows: the share of the icon's inked pixels
// that stand out from the tray at 3:1 or better, and the best contrast held
// by at least a quarter of them.
struct Visibility {
    double visibleShare = 0;
    double contrast = 0;
};
Visibility onTray(const QImage& icon, QColor tray) {
    QImage shown(icon.size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(tray);
    QPainter(&shown).drawImage(0, 0, icon);
    std::vector<double> ratios;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            if (qAlpha(icon.pixel(x, y)) > 127)
                ratios.push_back(contrast(QColor(shown.pixel(x, y)), tray));
        }
    }
    if (ratios.empty())
        return {};
    std::sort(ratios.begin(), ratios.end(), std::greater<>());
    const auto visible =
        std::count_if(ratios.begin(), ratios.end(), [](double r) { return r >= 3; });
    return {double(visible) / double(ratios.size()), ratios[ratios.size() / 4]};
}

const QColor kLightTray(0xF0, 0xF0, 0xF0);
const QColor kDarkTray(0x20, 0x20, 0x20);
const char* const kLogo = CORVANTA_SOURCE_RESOURCES "/images/CorvantaWhiteLogo.svg";
const char* const kKeyboard = CORVANTA_SOURCE_RESOURCES "/symbols/keyboard.svg";

TEST(StatusItemTint, LogoAndFallbackStandOutOnLightAndDarkTrays) {
    const TrayTint tint = trayTint(std::nullopt);
    for (const char* file : {kLogo, kKeyboard}) {
        for (const int pixels : {22, 44}) {
            const QImage mask = renderSvg(file, pixels);
            // The bare white logo all but vanishes on a light tray.
            if (file == kLogo) {
                EXPECT_LT(onTray(mask, kLightTray).visibleShare, 0.05);
            }
            const QImage icon = tintedTemplate(mask, tint);
            EXPECT_EQ(icon.size(), mask.size());
            for (const QColor& tray : {kLightTray, kDarkTray, QColor(0x80, 0x80, 0x80)}) {
                const Visibility seen = onTray(icon, tray);
                SCOPED_TRACE(std::string(file) + " at " + std::to_string(pixels) + " px on " +
                             tray.name().toStdString());
                EXPECT_GE(seen.contrast, 3.0);
                EXPECT_GE(seen.visibleShare, 0.3);
            }
        }
    }
}

TEST(StatusItemTint, FollowsTheColourTheTrayAnnounces) {
    // _NET_SYSTEM_TRAY_COLORS: normal, error, warning, success; 16 bits a channel.
    const uint32_t colors[12] = {0x2020, 0x4040, 0xFFFF, 0xFFFF, 0,      0,
                                 0xFFFF, 0xFFFF, 0,      0,      0xFFFF, 0};
    const auto foreground = trayForeground(colors);
    ASSERT_TRUE(foreground);
    EXPECT_EQ(*foreground, QColor(0x20, 0x40, 0xFF));
    EXPECT_FALSE(trayForeground(std::span<const uint32_t>(colors, 2)));
    // Larger numbers than 16 bits hold are taken as full intensity.
    const uint32_t tooLarge[3] = {0x1FFFF, 0, 0};
    EXPECT_EQ(*trayForeground(tooLarge), QColor(0xFF, 0, 0));

    const TrayTint tint = trayTint(QColor(Qt::black));
    EXPECT_EQ(tint, (TrayTint{QColor(Qt::black), std::nullopt}));
    const QImage icon = tintedTemplate(renderSvg(kLogo, 22), tint);
    int inked = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                ++inked;
                EXPECT_EQ(QColor(pixel), QColor(Qt::black));
            }
        }
    }
    EXPECT_GT(inked, 25);
    EXPECT_GE(onTray(icon, kLightTray).contrast, 3.0);
}

// What a tray's window paints: the icon in a slot of `logical` size at `scale`.
QImage paintedInSlot(const QIcon& icon, QSize logical, int scale) {
    QImage slot(logical * scale, QImage::Format_ARGB32_Premultiplied);
    slot.setDevicePixelRatio(scale);
    slot.fill(Qt::transparent);
    QPainter painter(&slot);
    icon.paint(&painter, QRect(QPoint(0, 0), logical));
    painter.end();
    slot.setDevicePixelRatio(1);
    return slot;
}

// An SVG drawn at whatever size it is asked for, as the application's icon is.
class SvgEngine final : public QIconEngine {
public:
    explicit SvgEngine(const char* file) : file_(file) {}
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return QPixmap::fromImage(renderSvg(file_, std::min(size.width(), size.height())));
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        QSvgRenderer(QString::fromUtf8(file_)).render(painter, QRectF(rect));
    }
    QIconEngine* clone() const override { return new SvgEngine(file_); }

private:
    const char* file_;
};

TEST(StatusItemTint, TheTrayGetsTheIconDrawnAtItsSizeAndScale) {
    const TrayTint tint = trayTint(std::nullopt);
    QIcon pixmaps;
    for (const int scale : {1, 2}) {
        QPixmap pixmap = QPixmap::fromImage(renderSvg(kLogo, 22 * scale));
        pixmap.setDevicePixelRatio(scale);
        pixmaps.addPixmap(pixmap);
    }
    QtStatusItem item;
    item.setImage(pixmaps, true);
    // A 22-point slot at 2x shows the 44-pixel drawing, whole and unscaled.
    EXPECT_EQ(paintedInSlot(item.trayIcon()->icon(), {22, 22}, 2),
              tintedTemplate(renderSvg(kLogo, 44), tint));
    const QPixmap twice = item.trayIcon()->icon().pixmap(QSize(22, 22), 2.0);
    EXPECT_EQ(twice.size(), QSize(44, 44));
    EXPECT_EQ(twice.devicePixelRatio(), 2.0);
    EXPECT_EQ(twice.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              tintedTemplate(renderSvg(kLogo, 44), tint));

    // A short slot (a 32-pixel tray at 2x) gets a drawing made at its size.
    item.setImage(QIcon(new SvgEngine(kLogo)), true);
    const QImage shortSlot = paintedInSlot(item.trayIcon()->icon(), {22, 15}, 2);
    const QRect place =
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, {15, 15}, QRect(0, 0, 22, 15));
    EXPECT_EQ(shortSlot.copy(place.x() * 2, place.y() * 2, 30, 30),
              tintedTemplate(renderSvg(kLogo, 30), tint));
}

// A stand-in tray on the X server: it owns the tray selection and names its
// icon colour the way XEmbed trays do.
TEST(StatusItemX11, TakesTheColourFromTheTraySelectionOwner) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server";
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    ASSERT_FALSE(xcb_connection_has_error(c));
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    const xcb_window_t owner = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, owner, it.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string selectionName = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber);
    const xcb_atom_t selection = xcb::internAtom(c, selectionName.c_str());
    const xcb_atom_t colorsAtom = xcb::internAtom(c, "_NET_SYSTEM_TRAY_COLORS");
    const uint32_t colors[12] = {0, 0x8000, 0, 0xFFFF, 0, 0, 0xFFFF, 0xFFFF, 0, 0, 0xFFFF, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, owner, colorsAtom, XCB_ATOM_CARDINAL, 32, 12,
                        colors);
    xcb_set_selection_owner(c, owner, selection, XCB_CURRENT_TIME);
    xcb::owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    QImage mask(22, 22, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter(&mask).fillRect(4, 4, 14, 14, Qt::white);
    QtStatusItem item;
    item.setImage(QIcon(QPixmap::fromImage(mask)), true);
    const QImage shown = item.trayIcon()->icon().pixmap(QSize(22, 22), 1.0).toImage();
    xcb_destroy_window(c, owner);
    xcb_disconnect(c);
    EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(0, 0x80, 0));
    EXPECT_EQ(qAlpha(shown.pixel(1, 1)), 0);  // no halo around an announced colour
}

}  // namespace
}  // namespace corvanta::platform
