// The picker's kept painting: a tile copied from its kept pixmap paints the
// pixels drawing it would, and typing repaints a popover as a fresh one shows.
#include <gtest/gtest.h>

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QScreen>

#include "InterfaceFixture.h"
#include "catalog/SoftwarePack.h"
#include "interface/PickerTilePainter.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/SoftwarePickerPopover.h"

namespace corvanta {
namespace {

SoftwarePack pack(std::string id, std::string name, std::string glyph) {
    SoftwarePack result;
    result.id = std::move(id);
    result.name = std::move(name);
    result.glyph = std::move(glyph);
    result.accent = "#3366FF";
    return result;
}

// Wherever a tile starts between whole pixels, selected or not, in either
// theme, its kept pixmap paints exactly what drawing it does, the first time
// and when copied again.
TEST(PickerTile, KeptTilesPaintExactlyWhatDrawingThemWould) {
    const SoftwarePack packs[] = {
        pack("letters", "Microsoft PowerPoint", "P"), pack("figma", "Figma", ""),
        pack("long", "A pack whose name is far too long for a tile", "Lo"),
        pack("wide", "选择软件名称", "选")};
    const QSizeF size(183.5, 59);
    for (const AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        const ThemeColors& colors = ThemeColors::forTheme(theme);
        const auto draw = [&](const PickerTile& tile, QPointF origin, bool kept, QColor fill) {
            QImage image(420, 90, QImage::Format_ARGB32_Premultiplied);
            image.fill(fill);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(0, -3);
            const QRectF rect(origin, size);
            if (kept)
                EXPECT_TRUE(picker_tile::paintKept(painter, rect, tile, colors, colors.panel));
            else
                picker_tile::paint(painter, rect, tile, colors);
            painter.end();
            return image;
        };
        for (const SoftwarePack& software : packs) {
            for (const bool selected : {false, true}) {
                const PickerTile tile{&software, QStringLiteral("42 items"), selected};
                for (const QPointF origin :
                     {QPointF(11, 14), QPointF(201.5, 14), QPointF(12.25, 10.75)}) {
                    const QImage direct = draw(tile, origin, false, colors.panel);
                    EXPECT_EQ(draw(tile, origin, true, colors.panel), direct) << software.id;
                    EXPECT_EQ(draw(tile, origin, true, colors.panel), direct)
                        << software.id << " copied again";
                }
            }
        }
        // The pixmap brings the colour it was told the tile lies on.
        const PickerTile tile{&packs[0], QStringLiteral("42 items"), false};
        EXPECT_EQ(draw(tile, QPointF(11, 14), true, Qt::red).pixelColor(11, 11), colors.panel);
    }
}

TEST(PickerTile, DrawnDirectlyWhereAPixmapCouldNotMatch) {
    const SoftwarePack software = pack("letters", "Numbers", "Nu");
    const PickerTile tile{&software, QStringLiteral("37 items"), false};
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::dark);
    QImage image(400, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const QRectF rect(10, 10, 180, 59);
    EXPECT_FALSE(picker_tile::paintKept(painter, rect, tile, colors, QColor(20, 20, 20, 200)));
    painter.setOpacity(0.7);
    EXPECT_FALSE(picker_tile::paintKept(painter, rect, tile, colors, colors.panel));
    painter.setOpacity(1);
    painter.scale(1.5, 1.5);
    EXPECT_FALSE(picker_tile::paintKept(painter, rect, tile, colors, colors.panel));
}

class PickerPaintingTest : public testing_support::InterfaceFixture {
protected:
    SoftwarePickerPopover& openPicker() {
        makeView();
        expandPanel();
        view->model().set(&CorvantaViewState::softwarePickerChevronExpanded, true);
        view->model().set(&CorvantaViewState::showsSoftwarePicker, true);
        drain();
        return *view->softwarePicker();
    }
    void type(const char* query) {
        view->model().set(&CorvantaViewState::softwarePickerQuery, std::string(query));
        drain();
    }
};

// Records what part of a widget is repainted.
class PaintRecorder : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// A popover typed into shows what a fresh one with the same query shows (no
// kept piece goes stale), and a key that changes the hint repaints it.
TEST_F(PickerPaintingTest, TypingRepaintsTheHintAndShowsWhatAFreshPopoverShows) {
    SoftwarePickerPopover& popover = openPicker();
    const QImage empty = popover.grab().toImage();
    PaintRecorder recorder;
    popover.installEventFilter(&recorder);
    type("gam");
    EXPECT_EQ(popover.hintText(), "1 matching software apps");
    EXPECT_TRUE(recorder.painted.contains(popover.hintRect()));
    const QImage typed = popover.grab().toImage();
    EXPECT_NE(typed, empty);
    type("");
    EXPECT_EQ(popover.grab().toImage(), empty);
    type("gam");
    EXPECT_EQ(popover.grab().toImage(), typed);
    // The same state painted with nothing kept.
    QPixmapCache::clear();
    EXPECT_EQ(popover.grab().toImage(), typed);
    popover.removeEventFilter(&recorder);
}

// A key that leaves the matches as they were repaints none of the grid.
TEST_F(PickerPaintingTest, KeysThatKeepTheMatchesLeaveTheGridAlone) {
    SoftwarePickerPopover& popover = openPicker();
    type("gam");
    PaintRecorder recorder;
    popover.grid()->installEventFilter(&recorder);
    type("gamm");
    EXPECT_TRUE(recorder.painted.isEmpty());
    EXPECT_FALSE(popover.grid()->tileRect("gamma").isEmpty());
    type("gammx");
    EXPECT_TRUE(popover.grid()->showsNoMatch());
    EXPECT_FALSE(recorder.painted.isEmpty());
    popover.grid()->removeEventFilter(&recorder);
}

// A key repaints the tiles and headers that changed, not those drawn as
// before where they were before; the window then shows what painting it
// whole shows.
TEST_F(PickerPaintingTest, KeysRepaintWhatChangedAndTheWindowShowsTheWhole) {
    SoftwarePickerPopover& popover = openPicker();
    SoftwarePickerGrid& grid = *popover.grid();
    const QRect beta = grid.tileRect("beta").toAlignedRect();
    ASSERT_FALSE(beta.isEmpty());
    PaintRecorder recorder;
    grid.installEventFilter(&recorder);
    // Every name holds an "a": office stays, its request tile goes and
    // design moves up.
    type("a");
    EXPECT_EQ(grid.tileRect("beta").toAlignedRect(), beta);
    EXPECT_FALSE(recorder.painted.intersects(beta.adjusted(4, 4, -4, -4)));
    EXPECT_TRUE(recorder.painted.contains(grid.tileRect("alpha").toAlignedRect()));
    grid.removeEventFilter(&recorder);
    // The grid's part of the window (the outline's translucent edge aside,
    // which a window grab and a widget grab hand back differently).
    const QRect part = grid.geometry().adjusted(2, 0, -2, 0);
    const auto opaque = [&](const QImage& image) {
        return image.copy(part).convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_EQ(opaque(popover.screen()->grabWindow(popover.winId()).toImage()),
              opaque(popover.grab().toImage()));
}

// The grid paints its own background rather than have the popover painted
// beneath it: the panel colour between tiles, the outline down both sides.
TEST_F(PickerPaintingTest, GridPaintsWhatLiesBeneathIt) {
    SoftwarePickerPopover& popover = openPicker();
    type("a");
    const QImage shown = popover.grab().toImage();
    const QRect list = popover.grid()->geometry();
    const QRectF beta = popover.grid()->tileRect("beta").translated(list.topLeft());
    ASSERT_FALSE(beta.isEmpty());
    const int y = int(beta.center().y());
    const QColor panel = ThemeColors::forTheme(store->theme.get()).panel;
    EXPECT_EQ(shown.pixelColor(int(beta.left()) - 4, y), panel);
    EXPECT_EQ(shown.pixelColor(int(beta.right()) + 4, y), panel);
    // Down both sides the outline runs on as it does above the list.
    for (const int x : {0, 1, shown.width() - 2, shown.width() - 1})
        EXPECT_EQ(shown.pixel(x, y), shown.pixel(x, list.top() - 8)) << x;
}

}  // namespace
}  // namespace corvanta
