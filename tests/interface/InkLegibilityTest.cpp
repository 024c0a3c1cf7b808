// What reaches the screen at a device pixel ratio of 1: key caps of every label
// the shipped catalog uses, symbols that reach their colour, the platform
// badge's stand-in mark, and the toolbar block's height.
#include <set>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include "InterfaceFixture.h"
#include "catalog/ShortcutItem.h"
#include "interface/CategoryTabsView.h"
#include "interface/CollapsedBar.h"
#include "interface/HeaderView.h"
#include "interface/PanelMetrics.h"
#include "interface/ShortcutRow.h"
#include "interface/SmallControls.h"
#include "interface/SymbolImage.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;

int channelDistance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// The rows and columns holding ink (pixels far from `background`) in `area`.
struct Ink {
    int top = -1, bottom = -1, left = -1, right = -1;
    bool empty() const { return top < 0; }
    int height() const { return bottom - top + 1; }
    double centerY() const { return (top + bottom + 1) / 2.0; }
};

Ink inkIn(const QImage& image, const QRect& area, const QColor& background, int threshold = 80) {
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (channelDistance(image.pixelColor(x, y), background) < threshold)
                continue;
            if (ink.top < 0)
                ink.top = y;
            ink.bottom = y;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

// The pixel of `area` that differs most from `background`.
QColor strongestInk(const QImage& image, const QRect& area, const QColor& background) {
    QColor strongest = background;
    int best = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = channelDistance(pixel, background);
            if (distance > best) {
                best = distance;
                strongest = pixel;
            }
        }
    }
    return strongest;
}

// Every distinct key label of the shipped catalog, in either language.
std::set<QString> catalogKeyLabels() {
    std::set<QString> labels;
    const QDir folder(QStringLiteral(CORVANTA_SOURCE_DIR "/resources/catalog"));
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto software = QJsonDocument::fromJson(file.readAll())["software"].toArray();
        for (const auto& pack : software)
            for (const auto& category : pack.toObject()["categories"].toArray())
                for (const auto& item : category.toObject()["items"].toArray())
                    for (const char* field : {"keys", "keysEn"})
                        for (const auto& key : item.toObject()[QLatin1String(field)].toArray())
                            labels.insert(key.toString());
    }
    return labels;
}

bool isSymbolLabel(const QString& label) {
    for (const QChar c : label) {
        const char16_t u = c.unicode();
        if (!((u >= 0x2190 && u <= 0x21FF) || (u >= 0x2300 && u <= 0x23FF)))
            return false;
    }
    return true;
}

struct RenderedCap {
    QImage image;
    QRectF cap;
};

RenderedCap renderCap(const QString& label, const ThemeColors& colors) {
    using Cap = ShortcutRow::KeyCap;
    const style::TextFace& face = Cap::face();
    const QRectF cap(QPointF(6, 6), Cap::size(face, label));
    QImage image(int(cap.right()) + 6, int(cap.bottom()) + 6, QImage::Format_ARGB32_Premultiplied);
    image.fill(colors.content);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Cap::paint(painter, cap, face, label, colors);
    painter.end();
    return {image, cap};
}

// The cap's inside, clear of its border line.
QRect capInside(const QRectF& cap) {
    return cap.toRect().adjusted(2, 2, -3, -3);
}

TEST(KeyCapInk, EveryCatalogLabelFitsItsCapAndSymbolsStandAsTallAsACapital) {
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::dark);
    const std::set<QString> labels = catalogKeyLabels();
    ASSERT_GT(labels.size(), 50u);
    for (const char* symbol : {"⌘", "⌥", "⇧", "⌃", "↩", "⌫", "⌦", "⎋"})
        ASSERT_TRUE(labels.count(QString::fromUtf8(symbol))) << symbol;

    const RenderedCap letter = renderCap(QStringLiteral("S"), colors);
    const Ink capital = inkIn(letter.image, capInside(letter.cap), colors.surfaceRaised);
    ASSERT_FALSE(capital.empty());
    ASSERT_GE(capital.height(), 6);
    EXPECT_NEAR(capital.centerY(), letter.cap.center().y(), 1.0);

    for (const QString& label : labels) {
        SCOPED_TRACE(label.toStdString());
        const RenderedCap drawn = renderCap(label, colors);
        const QRect inside = capInside(drawn.cap);
        const Ink ink = inkIn(drawn.image, inside, colors.surfaceRaised);
        ASSERT_FALSE(ink.empty());
        // The cap widens to its text: nothing touches the padding's edge.
        EXPECT_GT(ink.left, inside.left());
        EXPECT_LT(ink.right, inside.right());
        if (isSymbolLabel(label)) {
            EXPECT_GE(ink.height(), capital.height() - 1);
            EXPECT_NEAR(ink.centerY(), drawn.cap.center().y(), 1.0);
        }
    }
}

TEST(KeyCapInk, CapsStillWidenToTheirText) {
    using Cap = ShortcutRow::KeyCap;
    const style::TextFace& face = Cap::face();
    EXPECT_EQ(Cap::size(face, QStringLiteral("⌘")).width(), Cap::kMinWidth);
    EXPECT_EQ(Cap::size(face, QStringLiteral("S")).width(), Cap::kMinWidth);
    EXPECT_GT(Cap::size(face, QStringLiteral("Page Down")).width(), 50);
    EXPECT_GT(Cap::size(face, QStringLiteral("⌘⇧⌥⌃")).width(),
              Cap::size(face, QStringLiteral("⌘⇧")).width());
}

// Caps are drawn from kept pixmaps; each label and theme still gets its own,
// and a cap off whole pixels is drawn directly, looking the same.
TEST(KeyCapInk, KeptCapsFollowTheirLabelThemeAndPlace) {
    const ThemeColors& dark = ThemeColors::forTheme(AppTheme::dark);
    const ThemeColors& light = ThemeColors::forTheme(AppTheme::light);
    const RenderedCap s = renderCap(QStringLiteral("S"), dark);
    const RenderedCap c = renderCap(QStringLiteral("C"), dark);
    EXPECT_NE(s.image, c.image);
    EXPECT_EQ(renderCap(QStringLiteral("S"), dark).image, s.image);
    const RenderedCap lit = renderCap(QStringLiteral("S"), light);
    EXPECT_EQ(lit.image.pixelColor(lit.cap.center().toPoint() + QPoint(-6, 0)),
              light.surfaceRaised);
    EXPECT_EQ(s.image.pixelColor(s.cap.center().toPoint() + QPoint(-6, 0)), dark.surfaceRaised);

    // Half a pixel across, the same cap keeps its look: its ink is as wide
    // and as tall as on whole pixels.
    using Cap = ShortcutRow::KeyCap;
    const style::TextFace& face = Cap::face();
    const QRectF shifted(QPointF(6.5, 6), Cap::size(face, QStringLiteral("S")));
    QImage image(s.image.size() + QSize(1, 0), QImage::Format_ARGB32_Premultiplied);
    image.fill(dark.content);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Cap::paint(painter, shifted, face, QStringLiteral("S"), dark);
    painter.end();
    const Ink whole = inkIn(s.image, capInside(s.cap), dark.surfaceRaised);
    const Ink half = inkIn(image, capInside(shifted.translated(0.5, 0)), dark.surfaceRaised);
    EXPECT_NEAR(half.height(), whole.height(), 1);
    EXPECT_NEAR(half.right - half.left, whole.right - whole.left, 2);
}

// The badge's stand-in reads as a computer: an outlined screen above a wider
// deck. A command key (or a cross) is the same upside down.
TEST(SymbolInk, PlatformBadgeMarkIsAComputerNotACross) {
    ASSERT_TRUE(SymbolImage::isKnown("apple.logo"));
    const QImage image =
        SymbolImage::pixmap("apple.logo", 9.5, style::Weight::medium, Qt::black, 1).toImage();
    std::vector<int> rowWidths;
    for (int y = 0; y < image.height(); ++y) {
        int left = -1, right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() < 110)
                continue;
            left = left < 0 ? x : left;
            right = x;
        }
        if (left >= 0)
            rowWidths.push_back(right - left + 1);
    }
    ASSERT_GE(rowWidths.size(), 4u);
    // The deck is the widest part and lies in the lower half; every row of
    // the upper half (the screen) is narrower.
    const auto widest = std::max_element(rowWidths.begin(), rowWidths.end());
    const std::size_t half = rowWidths.size() / 2;
    EXPECT_GE(std::size_t(widest - rowWidths.begin()), half);
    for (std::size_t i = 0; i < half; ++i) EXPECT_LE(rowWidths[i], *widest - 2) << "row " << i;
}

class SymbolReachesItsColour : public InterfaceFixture {
protected:
    void SetUp() override {
        recordWindowCommands();
        makeView();
    }
    // The strongest ink of an icon button against its own fill.
    static void expectReaches(IconButton* button, const QColor& color, const QColor& fill) {
        ASSERT_NE(button, nullptr);
        SCOPED_TRACE(button->systemName());
        const QImage image = button->grab().toImage();
        ASSERT_EQ(image.devicePixelRatio(), 1.0);
        EXPECT_LE(channelDistance(QColor(image.pixel(int(IconButton::kSize) / 2, 2)), fill), 2);
        const QColor ink = strongestInk(image, image.rect().adjusted(4, 4, -4, -4), fill);
        EXPECT_LE(channelDistance(ink, color), 8)
            << ink.name().toStdString() << " for " << color.name().toStdString();
    }
};

TEST_F(SymbolReachesItsColour, IconButtonsStarAndBadgeInBothThemes) {
    const auto useTheme = [this](AppTheme theme) {
        if (store->theme.get() != theme)
            store->toggleTheme();
        drain();
        return ThemeColors::forTheme(theme);
    };
    for (const AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        const ThemeColors colors = useTheme(theme);
        SCOPED_TRACE(theme == AppTheme::dark ? "collapsed, dark" : "collapsed, light");
        expectReaches(view->collapsedBar()->expandButton(), colors.textSecondary, colors.surface);
        expectReaches(view->collapsedBar()->closeButton(), colors.textSecondary, colors.surface);
    }
    expandPanel();
    for (const AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        const ThemeColors colors = useTheme(theme);
        SCOPED_TRACE(theme == AppTheme::dark ? "dark" : "light");
        HeaderView* header = view->header();
        expectReaches(header->themeButton(), colors.textSecondary, colors.surface);
        expectReaches(header->expandButton(), colors.textSecondary, colors.surface);
        expectReaches(header->closeButton(), colors.textSecondary, colors.surface);
        store->setPinned(true);
        drain();
        expectReaches(header->pinButton(), colors.panel, colors.accent);
        store->setPinned(false);
        drain();
        expectReaches(header->pinButton(), colors.textSecondary, colors.surface);

        // The star, empty and filled, on the list's background.
        ShortcutItem item;
        item.en = "Undo";
        item.keys = {"⌘", "Z"};
        for (const bool favorite : {false, true}) {
            const ShortcutRow row(item, AppLanguage::en, favorite, colors.accent);
            QImage image(300, int(ShortcutRow::kHeight), QImage::Format_ARGB32_Premultiplied);
            image.fill(colors.content);
            QPainter painter(&image);
            row.paint(painter, QRectF(image.rect()), colors);
            painter.end();
            const QRect star = ShortcutRow::starRect(QRectF(image.rect())).toRect();
            const QColor color = favorite ? colors.accent : colors.textMuted;
            const QColor ink = strongestInk(image, star, colors.content);
            EXPECT_LE(channelDistance(ink, color), 8)
                << (favorite ? "filled star " : "empty star ") << ink.name().toStdString();
        }

        // The badge's mark as the toolbar draws it.
        QImage badge(20, 20, QImage::Format_ARGB32_Premultiplied);
        badge.fill(colors.surface);
        QPainter painter(&badge);
        SymbolImage::paint(painter, QRectF(badge.rect()), "apple.logo", 9.5, style::Weight::medium,
                           colors.textSecondary);
        painter.end();
        const QColor ink = strongestInk(badge, badge.rect(), colors.surface);
        EXPECT_LE(channelDistance(ink, colors.textSecondary), 8) << ink.name().toStdString();
    }
}

TEST_F(SymbolReachesItsColour, ToolbarBlockLeavesTenPointsUnderTheFilterGroup) {
    expandPanel();
    QWidget* toolbar = find("corvanta.toolbar");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->geometry().top(), panel::kHeaderHeight);
    EXPECT_EQ(toolbar->height(), 10 + 36 + 9 + (FilterButton::kHeight + 4) + 10);
    QWidget* all = find("corvanta.filter.all");
    ASSERT_NE(all, nullptr);
    // The filter group pads its segments by 2, then the toolbar by 10.
    EXPECT_EQ(toolbar->height() - (all->geometry().bottom() + 1) - 2, 10);
    EXPECT_EQ(view->categoryTabs()->geometry().top(), toolbar->geometry().bottom() + 1);
}

}  // namespace
}  // namespace corvanta
