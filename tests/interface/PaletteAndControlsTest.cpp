// The palette's pairs in both themes, and the small controls' measures and
// colours as they are drawn.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "interface/Palette.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/TextFace.h"

namespace corvanta {
namespace {

// The widget alone on a transparent image, without any window background.
QImage grabOf(QWidget& widget) {
    widget.ensurePolished();
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(Palette, EveryPairResolvesToItsThemeMember) {
    struct Row {
        const AdaptiveColor& color;
        const char* dark;
        const char* light;
    };
    const Row rows[] = {
        {Palette::panel(), "#141414", "#FBFBFB"},
        {Palette::chrome(), "#1B1B1B", "#FFFFFF"},
        {Palette::content(), "#0F0F0F", "#F8F8F8"},
        {Palette::surface(), "#1E1E1E", "#F3F3F3"},
        {Palette::surfaceRaised(), "#282828", "#EDEDED"},
        {Palette::surfaceSelected(), "#363636", "#E4E4E4"},
        {Palette::border(), "#414141", "#DADADA"},
        {Palette::textPrimary(), "#F4F4F4", "#1A1A1A"},
        {Palette::textSecondary(), "#AEAEAE", "#585858"},
        {Palette::textMuted(), "#7C7C7C", "#818181"},
        {Palette::accent(), "#D0D0D0", "#4A4A4A"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.color.resolve(AppTheme::dark), QColor(row.dark)) << row.dark;
        EXPECT_EQ(row.color.resolve(AppTheme::light), QColor(row.light)) << row.light;
    }
    EXPECT_EQ(ThemeColors::forTheme(AppTheme::dark).textPrimary, QColor("#F4F4F4"));
    EXPECT_EQ(ThemeColors::forTheme(AppTheme::light).textPrimary, QColor("#1A1A1A"));
}

TEST(Palette, ColourStringsAreOpaqueSrgb) {
    const QColor color = colorFromHex("#141414");
    EXPECT_EQ(color.alpha(), 255);
    EXPECT_EQ(color.red(), 20);
    EXPECT_EQ(colorFromHex("#80FF0000"), QColor(255, 0, 0));
    EXPECT_EQ(colorFromHex("#GG0000"), QColor(0, 0, 0));
}

TEST(SmallControls, IconButtonIsASquareNamedByItsLabelThatOnlyTabFocuses) {
    IconButton button;
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::light);
    button.setContent("xmark", colors.textSecondary, "Close window", colors.surface);
    EXPECT_EQ(button.size(), QSize(30, 30));
    EXPECT_EQ(button.focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(button.accessibleName(), "Close window");
    // The fill covers the square's middle; the corners outside the radius stay clear.
    const QImage image = grabOf(button);
    EXPECT_EQ(QColor(image.pixel(15, 2)), colors.surface);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    button.click();
    EXPECT_EQ(clicks, 1);
}

TEST(SmallControls, FilterButtonStatesAndWidths) {
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::dark);
    FilterButton plain;
    FilterButton starred;
    plain.setContent("All", std::nullopt, false, colors);
    starred.setContent("All", std::string("star"), true, colors);
    EXPECT_EQ(plain.height(), 25);
    // No symbol: the title alone plus 9 on each side, no leading gap.
    EXPECT_NEAR(plain.width(), 18 + style::face(style::TextRole::filterTitle).width("All"), 1.0);
    EXPECT_GT(starred.width(), plain.width() + 10);
    // Inactive blends with the group's surface; active stands out.
    EXPECT_EQ(QColor(grabOf(plain).pixel(4, 12)), colors.surface);
    EXPECT_EQ(QColor(grabOf(starred).pixel(4, 12)), colors.surfaceSelected);
}

TEST(SmallControls, ActiveCategoryTabInBothThemes) {
    for (AppTheme theme : {AppTheme::light, AppTheme::dark}) {
        const ThemeColors& colors = ThemeColors::forTheme(theme);
        CategoryButton active;
        active.setContent("Edit", true, colors.accent, colors);
        const QImage image = grabOf(active);
        EXPECT_EQ(QColor(image.pixel(4, 12)),
                  theme == AppTheme::light ? QColor("#4A4A4A") : QColor("#D0D0D0"));
        // The title is drawn in the panel colour on the accent fill.
        bool foundPanelText = false;
        for (int x = 0; x < image.width() && !foundPanelText; ++x)
            for (int y = 0; y < image.height(); ++y)
                if (QColor(image.pixel(x, y)) == colors.panel)
                    foundPanelText = true;
        EXPECT_TRUE(foundPanelText);

        CategoryButton inactive;
        inactive.setContent("A very long category title indeed", false, colors.accent, colors);
        EXPECT_EQ(inactive.height(), 25);
        EXPECT_GT(inactive.width(), active.width() * 3);
        EXPECT_EQ(QColor(grabOf(inactive).pixel(inactive.width() / 2, 0)), colors.border);
    }
}

TEST(SmallControls, MiniKeyAndDragDotsMeasures) {
    EXPECT_EQ(MiniKey::size("Esc").height(), 16);
    EXPECT_GT(MiniKey::size("Ctrl K").width(), MiniKey::size("Esc").width());
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::dark);
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        DragDots::paint(painter, QRectF(0, 0, 7, 20), colors);
    }
    // Six dots in a 7 × 12 grip centred in the frame: nothing outside it.
    int minX = 20, maxX = -1, minY = 20, maxY = -1;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            if (qAlpha(image.pixel(x, y)) > 0) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    EXPECT_EQ(maxX - minX + 1, 7);
    EXPECT_EQ(maxY - minY + 1, 12);
}

TEST(Style, ContinuousCornersStayInsideTheirRectangle) {
    const QRectF rect(0, 0, 34, 34);
    const QPainterPath path = style::continuousRoundedRect(rect, 10.54);
    EXPECT_TRUE(path.contains(QPointF(17, 17)));
    EXPECT_FALSE(path.contains(QPointF(1, 1)));
    EXPECT_TRUE(path.contains(QPointF(17, 0.5)));
    EXPECT_EQ(path.boundingRect(), rect);
    // A radius larger than the shape allows is clamped, never inverted.
    EXPECT_EQ(style::continuousRoundedRect(QRectF(0, 0, 20, 10), 100).boundingRect(),
              QRectF(0, 0, 20, 10));
}

TEST(Style, FontsLoadedAheadOnAWorkerMeasureAsOnTheMainThread) {
    const QFont font = style::systemFont(13, style::Weight::semibold);
    std::jthread ahead = style::preloadFonts();
    // Measured while the worker resolves the same faces.
    const double during = QFontMetricsF(font).horizontalAdvance(QStringLiteral("Corvanta"));
    ahead.join();
    EXPECT_GT(during, 0);
    EXPECT_EQ(QFontMetricsF(font).horizontalAdvance(QStringLiteral("Corvanta")), during);
}

}  // namespace
}  // namespace corvanta
