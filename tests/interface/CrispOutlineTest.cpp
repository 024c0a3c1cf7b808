// One-pixel outlines land on whole device pixels: a crossing of a picker tile's
// or a footer key cap's edge meets the outside colour, one line of the stroke's
// colour as thick as the scale, then the inside colour, and no blend between.
#include <cmath>

#include <gtest/gtest.h>

#include <QImage>

#include "InterfaceFixture.h"
#include "interface/FooterView.h"
#include "interface/Palette.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/SoftwarePickerPopover.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;

QImage rendered(QWidget& widget, int scale) {
    QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

// Walks `count` logical points from `from` (logical) along `step` (a unit
// step), a device pixel at a time.
testing::AssertionResult crispCrossing(const QImage& image, QPointF from, QPoint step, int count,
                                       const QColor& line, int scale) {
    const QPoint start(int(std::floor(from.x() * scale)), int(std::floor(from.y() * scale)));
    std::vector<QRgb> met;
    for (int i = 0; i < count * scale; ++i) met.push_back(image.pixel(start + step * i));
    QString seen;
    for (QRgb rgb : met) seen += QString::number(rgb, 16) + QLatin1Char(' ');
    const auto first = std::find(met.begin(), met.end(), line.rgba());
    if (first == met.begin() || first == met.end())
        return testing::AssertionFailure() << "no line between two sides: " << seen.toStdString();
    const auto end = std::find_if(first, met.end(), [&](QRgb c) { return c != line.rgba(); });
    if (end - first != scale || end == met.end())
        return testing::AssertionFailure() << "line not " << scale << " px: " << seen.toStdString();
    const bool plainOutside = std::all_of(met.begin(), first, [&](QRgb c) { return c == met[0]; });
    const bool plainInside = std::all_of(end, met.end(), [&](QRgb c) { return c == *end; });
    if (!plainOutside || !plainInside)
        return testing::AssertionFailure() << "blended pixels: " << seen.toStdString();
    return testing::AssertionSuccess();
}

class CrispOutlineTest : public InterfaceFixture {};

TEST_F(CrispOutlineTest, PickerTilesAtOneAndTwoTimes) {
    makeView();
    expandPanel();
    view->model().set(&CorvantaViewState::softwarePickerChevronExpanded, true);
    view->model().set(&CorvantaViewState::showsSoftwarePicker, true);
    drain();
    SoftwarePickerPopover& popover = *view->softwarePicker();
    for (const AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        if (store->theme.get() != theme)
            store->toggleTheme();
        drain();
        const ThemeColors& colors = ThemeColors::forTheme(theme);
        for (const int scale : {1, 2}) {
            const QImage image = rendered(popover, scale);
            // The popover's own outline, on its window's edge.
            const int row = popover.height() / 2 * scale;
            for (int x = 0; x < scale; ++x) EXPECT_EQ(image.pixelColor(x, row), colors.border);
            EXPECT_EQ(image.pixelColor(scale, row), colors.panel);
            // Left and right columns, selected and not.
            for (const char* id : {"alpha", "beta", "gamma"}) {
                SCOPED_TRACE(std::string(id) + " at " + std::to_string(scale) + "x, theme " +
                             std::to_string(int(theme)));
                const QRectF tile =
                    popover.grid()->tileRect(id).translated(popover.grid()->geometry().topLeft());
                ASSERT_FALSE(tile.isEmpty());
                const QColor line =
                    store->selectedSoftwareID.get() == id ? colors.accent : colors.border;
                const double midX = tile.center().x(), midY = tile.center().y();
                EXPECT_TRUE(crispCrossing(image, {midX, tile.top() - 3}, {0, 1}, 6, line, scale));
                EXPECT_TRUE(
                    crispCrossing(image, {midX, tile.bottom() - 3}, {0, 1}, 6, line, scale));
                EXPECT_TRUE(crispCrossing(image, {tile.left() - 3, midY}, {1, 0}, 6, line, scale));
                EXPECT_TRUE(crispCrossing(image, {tile.right() - 3, midY}, {1, 0}, 6, line, scale));
            }
        }
    }
}

TEST_F(CrispOutlineTest, FooterKeyCapsAtOneAndTwoTimes) {
    makeView();
    expandPanel();
    FooterView& footer = *view->footer();
    const QColor line = ThemeColors::forTheme(store->theme.get()).border;
    for (const int scale : {1, 2}) {
        const QImage image = rendered(footer, scale);
        int keys = 0;
        for (const FooterView::Item& item : footer.items()) {
            if (item.kind != FooterView::Item::Kind::key)
                continue;
            ++keys;
            SCOPED_TRACE(item.text.toStdString() + " at " + std::to_string(scale) + "x");
            const double midX = std::floor(item.frame.center().x());
            EXPECT_TRUE(crispCrossing(image, {midX, item.frame.top() - 3}, {0, 1}, 6, line, scale));
            EXPECT_TRUE(
                crispCrossing(image, {midX, item.frame.bottom() - 3}, {0, 1}, 6, line, scale));
        }
        EXPECT_EQ(keys, 2);
    }
}

}  // namespace
}  // namespace corvanta
