// The shortcut list: which of the empty states or the sections it shows, the
// texts in both languages, rows and key caps as painted, the favourite star,
// pinned headers while scrolling, and the scroll area's set-up.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "InterfaceFixture.h"
#include "catalog/ShortcutItem.h"
#include "interface/OverlayScrollBar.h"
#include "interface/Palette.h"
#include "interface/ScrollPerformanceTuner.h"
#include "interface/ShortcutListView.h"
#include "interface/ShortcutRow.h"

namespace corvanta {
namespace {

using Content = ShortcutListView::Content;

// A pack whose later, merged version files the same item under a second
// category, as merged catalogs do.
const char* kBaseCatalog = R"({"software": [
  {"id": "delta", "name": "Delta", "vendor": "Tests", "accent": "#3366FF", "glyph": "D",
   "dataStatus": "curated", "categories": [
     {"id": "edit", "zh": "编辑", "en": "Edit", "items": [
       {"id": "undo", "keys": ["⌘", "Z"], "zh": "撤销", "en": "Undo", "tags": []}]}]}]})";
const char* kMergedCatalog = R"({"software": [
  {"id": "delta", "name": "Delta", "vendor": "Tests", "accent": "#3366FF", "glyph": "D",
   "dataStatus": "curated", "categories": [
     {"id": "history", "zh": "历史", "en": "History", "items": [
       {"id": "undo", "keys": ["⌘", "Z"], "zh": "撤销", "en": "Undo", "tags": []}]}]}]})";

class ShortcutListTest : public testing_support::InterfaceFixture {
protected:
    ~ShortcutListTest() override {
        view.reset();
        store.reset();
        if (!ownRoot_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(ownRoot_, ignored);
        }
    }

    ShortcutListView& expandedList(int width = 420, int height = 620) {
        makeView(width, height);
        recordWindowCommands();
        expandPanel();
        return list();
    }
    ShortcutListView& list() const { return *view->shortcutList(); }

    // A view over catalog files of our own (file name -> contents).
    ShortcutListView& expandedListOver(
        const std::vector<std::pair<std::string, std::string>>& files) {
        std::random_device random;
        ownRoot_ = std::filesystem::temp_directory_path() /
                   ("corvanta-list-test-" + std::to_string(random()));
        std::filesystem::create_directories(ownRoot_ / "catalog");
        for (const auto& [name, text] : files)
            std::ofstream(ownRoot_ / "catalog" / (name + ".json")) << text;
        store = std::make_unique<ShortcutStore>(platform::Bundle(ownRoot_, "org.corvanta.Tests"),
                                                defaults);
        view = std::make_unique<CorvantaView>(*store, commands);
        view->resize(420, 620);
        view->show();
        drain();
        recordWindowCommands();
        expandPanel();
        return list();
    }

    // The list as painted over the panel's content background.
    QImage grabList() const {
        const QWidget* viewport = list().viewport();
        return view->grab(QRect(viewport->mapTo(view.get(), QPoint(0, 0)), viewport->size()))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    const ThemeColors& colors() const { return ThemeColors::forTheme(store->theme.get()); }

    // The bounding box of everything in `area` that is not the content colour.
    QRect paintedBounds(const QImage& image, const QRect& area) const {
        const QRgb background = colors().content.rgb();
        QRect bounds;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (image.pixel(x, y) != background)
                    bounds |= QRect(x, y, 1, 1);
            }
        }
        return bounds;
    }

    void clickStar(int section, int row) {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {},
                          list().starRect(section, row).center());
        drain();
    }

private:
    std::filesystem::path ownRoot_;
};

TEST_F(ShortcutListTest, EmptyStatesFollowTheirOrderOfPrecedence) {
    ShortcutListView& shortcuts = expandedList();
    EXPECT_EQ(shortcuts.content(), Content::sections);

    // A catalog-only pack hides its shortcuts, whatever the filters say.
    store->selectSoftware("gamma");
    drain();
    EXPECT_EQ(shortcuts.content(), Content::verification);
    store->favoriteOnly = true;
    drain();
    EXPECT_EQ(shortcuts.content(), Content::verification);

    // A load error wins over everything.
    store->loadError = std::optional<std::string>("no pack");
    drain();
    EXPECT_EQ(shortcuts.content(), Content::loadFailure);
    store->loadError = std::optional<std::string>();
    drain();
    EXPECT_EQ(shortcuts.content(), Content::verification);

    // Nothing to show: the hint follows the favourites filter.
    store->selectSoftware("alpha");
    store->favoriteOnly = true;
    drain();
    EXPECT_EQ(shortcuts.content(), Content::noResults);
    EXPECT_EQ(shortcuts.shownEmptyState()->message,
              QStringLiteral("Use the star to keep common commands here."));
    store->favoriteOnly = false;
    store->query = std::string("nothing matches this");
    drain();
    EXPECT_EQ(shortcuts.content(), Content::noResults);
    EXPECT_EQ(shortcuts.shownEmptyState()->message, QStringLiteral("Try a command, tool, or key."));
    EXPECT_EQ(shortcuts.sectionCount(), 0);
    EXPECT_FALSE(shortcuts.verticalScrollBar()->isVisible());
}

TEST_F(ShortcutListTest, EveryEmptyStateSpeaksBothLanguages) {
    struct Case {
        std::function<void(ShortcutStore&)> setUp;
        std::string_view icon;
        const char* en[2];
        const char* zh[2];
    };
    const std::vector<Case> cases = {
        {[](ShortcutStore& s) { s.loadError = std::optional<std::string>("x"); },
         "exclamationmark.triangle",
         {"Unable to load shortcuts",
          "Please verify that the shortcut data file is included in the app."},
         {"快捷键数据加载失败", "请确认快捷键数据文件已正确包含在应用中。"}},
        {[](ShortcutStore& s) { s.selectSoftware("gamma"); },
         "checkmark.shield",
         {"Shortcuts under verification",
          "This app is in the catalog. Unverified shortcuts stay hidden until its official macOS "
          "defaults are confirmed."},
         {"快捷键正在核验",
          "该软件已收入分类目录；官方 macOS 默认键位核验完成前，不展示未经证实的内容。"}},
        {[](ShortcutStore& s) { s.favoriteOnly = true; },
         "magnifyingglass",
         {"No shortcuts found", "Use the star to keep common commands here."},
         {"没有找到快捷键", "点击星标收藏常用命令。"}},
        {[](ShortcutStore& s) { s.query = std::string("qqqq"); },
         "magnifyingglass",
         {"No shortcuts found", "Try a command, tool, or key."},
         {"没有找到快捷键", "试试搜索中文、英文或具体按键。"}},
    };
    ShortcutListView& shortcuts = expandedList();
    for (const Case& c : cases) {
        store->loadError = std::optional<std::string>();
        store->selectSoftware("alpha");
        store->favoriteOnly = false;
        store->query = std::string();
        c.setUp(*store);
        for (AppLanguage language : {AppLanguage::en, AppLanguage::zh}) {
            store->language = language;
            drain();
            const auto shown = shortcuts.shownEmptyState();
            ASSERT_TRUE(shown) << c.icon;
            const auto& texts = language == AppLanguage::zh ? c.zh : c.en;
            EXPECT_EQ(shown->icon, c.icon);
            EXPECT_EQ(shown->title, QString::fromUtf8(texts[0]));
            EXPECT_EQ(shown->message, QString::fromUtf8(texts[1]));
        }
    }
}

TEST_F(ShortcutListTest, EmptyStateIsCentredWithItsTile) {
    ShortcutListView& shortcuts = expandedList();
    store->query = std::string("qqqq");
    drain();
    const QImage image = grabList();
    image.save(QStringLiteral("/tmp/corvanta-list-empty.png"));
    // The tile spans 42 points, its border on whole pixels inside that,
    // centred horizontally over the list.
    const QRect painted = paintedBounds(image, image.rect());
    ASSERT_FALSE(painted.isEmpty());
    const QRgb content = colors().content.rgb();
    int widest = 0, widestLeft = 0;
    for (int y = painted.top(); y < painted.top() + 42; ++y) {
        for (int x = 0, run = 0; x < image.width(); ++x) {
            run = image.pixel(x, y) != content ? run + 1 : 0;
            if (run > widest) {
                widest = run;
                widestLeft = x - run + 1;
            }
        }
    }
    EXPECT_EQ(widest, 42);
    EXPECT_NEAR(widestLeft + widest / 2.0, shortcuts.viewport()->width() / 2.0, 1.5);
    EXPECT_NEAR(painted.center().y(), shortcuts.viewport()->height() / 2.0, 3);
}

TEST_F(ShortcutListTest, SectionAndRowTextsFollowTheLanguage) {
    ShortcutListView& shortcuts = expandedList();
    ASSERT_EQ(shortcuts.sectionCount(), 3);
    EXPECT_EQ(shortcuts.sectionTitle(0), QStringLiteral("EDIT"));
    EXPECT_EQ(shortcuts.sectionTitle(1), QStringLiteral("VIEW"));
    EXPECT_EQ(shortcuts.rowCount(0), 3);
    EXPECT_EQ(shortcuts.rowTitle(0, 2), QStringLiteral("Brush size 10 px"));
    EXPECT_EQ(shortcuts.rowTitle(2, 0), QStringLiteral("Save"));
    EXPECT_EQ(shortcuts.starAccessibleName(0, 0), QStringLiteral("Add Undo to favorites"));

    store->toggleLanguage();
    drain();
    EXPECT_EQ(shortcuts.sectionTitle(0), QStringLiteral("编辑"));
    EXPECT_EQ(shortcuts.rowTitle(0, 2), QStringLiteral("画笔大小 10 像素"));
    EXPECT_EQ(shortcuts.rowTitle(2, 0), QStringLiteral("存储"));
    EXPECT_EQ(shortcuts.starAccessibleName(0, 0), QStringLiteral("收藏 撤销"));
}

TEST_F(ShortcutListTest, ChineseTitlesReplaceWholeWordsOnly) {
    auto title = [](const char* zh, AppLanguage language = AppLanguage::zh) {
        ShortcutItem item;
        item.zh = zh;
        item.en = zh;
        return ShortcutRow::displayTitle(item, language);
    };
    EXPECT_EQ(title("画笔大小 10 px"), QStringLiteral("画笔大小 10 像素"));
    EXPECT_EQ(title("画笔 10 px。"), QStringLiteral("画笔 10 像素"));
    EXPECT_EQ(title("画笔 10px"), QStringLiteral("画笔 10px"));
    EXPECT_EQ(title("宽度 5 pxl"), QStringLiteral("宽度 5 pxl"));
    EXPECT_EQ(title("清除 RAM 预览"), QStringLiteral("清除 内存 预览"));
    EXPECT_EQ(title("显示RAM与RAM"), QStringLiteral("显示内存与内存"));
    EXPECT_EQ(title("运行 PROGRAM"), QStringLiteral("运行 PROGRAM"));
    EXPECT_EQ(title("RAMP 工具"), QStringLiteral("RAMP 工具"));
    EXPECT_EQ(title("Purge RAM 10 px.", AppLanguage::en), QStringLiteral("Purge RAM 10 px"));
}

TEST_F(ShortcutListTest, StarClickTogglesTheFavouriteAndItsLabel) {
    ShortcutListView& shortcuts = expandedList();
    EXPECT_FALSE(shortcuts.isFavorite(0, 0));
    clickStar(0, 0);
    EXPECT_TRUE(store->favorites->contains("alpha:undo"));
    EXPECT_TRUE(shortcuts.isFavorite(0, 0));
    EXPECT_EQ(shortcuts.starAccessibleName(0, 0), QStringLiteral("Remove Undo from favorites"));
    store->toggleLanguage();
    drain();
    EXPECT_EQ(shortcuts.starAccessibleName(0, 0), QStringLiteral("取消收藏 撤销"));

    // A click beside the star, or a press dragged off it, does nothing.
    const QRect star = shortcuts.starRect(0, 1);
    QTest::mouseClick(shortcuts.viewport(), Qt::LeftButton, {}, star.center() - QPoint(40, 0));
    QTest::mousePress(shortcuts.viewport(), Qt::LeftButton, {}, star.center());
    QTest::mouseRelease(shortcuts.viewport(), Qt::LeftButton, {}, star.center() + QPoint(0, 40));
    drain();
    EXPECT_EQ(store->favorites.get(), FavoriteSet{"alpha:undo"});

    clickStar(0, 0);
    EXPECT_TRUE(store->favorites->empty());
    EXPECT_EQ(shortcuts.starAccessibleName(0, 0), QStringLiteral("收藏 撤销"));
}

TEST_F(ShortcutListTest, FilledStarTakesTheAccentColour) {
    ShortcutListView& shortcuts = expandedList();
    auto accentPixels = [&] {
        const QImage image = grabList();
        const QRect star = shortcuts.starRect(0, 0);
        const QColor accent = colors().accent;
        int count = 0;
        for (int y = star.top(); y <= star.bottom(); ++y) {
            for (int x = star.left(); x <= star.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += std::abs(c.red() - accent.red()) + std::abs(c.green() - accent.green()) +
                             std::abs(c.blue() - accent.blue()) <
                         40;
            }
        }
        return count;
    };
    EXPECT_EQ(accentPixels(), 0);
    clickStar(0, 0);
    EXPECT_GT(accentPixels(), 0);
}

TEST_F(ShortcutListTest, UnstarringTheLastFavouriteUnderTheFilterEmptiesTheList) {
    ShortcutListView& shortcuts = expandedList();
    clickStar(1, 1);
    store->favoriteOnly = true;
    drain();
    ASSERT_EQ(shortcuts.content(), Content::sections);
    ASSERT_EQ(shortcuts.rows().size(), 1u);
    EXPECT_EQ(shortcuts.rowTitle(0, 0), QStringLiteral("Hand tool"));
    clickStar(0, 0);
    EXPECT_EQ(shortcuts.content(), Content::noResults);
    EXPECT_EQ(shortcuts.shownEmptyState()->message,
              QStringLiteral("Use the star to keep common commands here."));
}

TEST_F(ShortcutListTest, KeyCapsAreTwentyOneByTwentyTwoForANarrowKey) {
    ShortcutListView& shortcuts = expandedList();
    const QImage image = grabList();
    image.save(QStringLiteral("/tmp/corvanta-list-rows.png"));
    // Row "Brush size 10 px" has the single key "]"; "Hand tool" has "Space".
    auto capBounds = [&](int section, int row) {
        const QRect star = shortcuts.starRect(section, row);
        const QRect frame = shortcuts.rowRect(section, row);
        return paintedBounds(image, QRect(star.left() - 90, frame.top(), 90 - 2, frame.height()));
    };
    const QRect narrow = capBounds(0, 2);
    EXPECT_EQ(narrow.size(), QSize(21, 22));
    EXPECT_EQ(narrow.right(), shortcuts.starRect(0, 2).left() - 8 - 1);
    const QRect wide = capBounds(1, 1);
    EXPECT_GT(wide.width(), 21);
    EXPECT_EQ(wide.height(), 22);
    // The cap's fill is the raised surface colour.
    EXPECT_EQ(QColor(image.pixel(narrow.left() + 3, narrow.center().y())), colors().surfaceRaised);
    EXPECT_EQ(ShortcutRow::KeyCap::size(ShortcutRow::KeyCap::face(), QStringLiteral("⌘")).height(),
              22);
}

TEST_F(ShortcutListTest, PinnedHeaderStaysOnTopUntilTheNextPushesItUp) {
    ShortcutListView& shortcuts = expandedList(420, 400);
    QScrollBar* bar = shortcuts.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const int viewHeader = 28 + 3 * 41;  // top of the "VIEW" header

    bar->setValue(50);
    EXPECT_EQ(shortcuts.pinnedHeader(), std::make_pair(0, 0));
    // The first row's star now lies under the pinned header, which hides it
    // and takes its clicks.
    const QRect hiddenStar = shortcuts.starRect(0, 0);
    ASSERT_LT(hiddenStar.top(), 0);
    ASSERT_GT(hiddenStar.bottom(), 0);
    const QImage image = grabList();
    const QRect band(hiddenStar.left(), 0, hiddenStar.width(), 28);
    EXPECT_TRUE(paintedBounds(image, band).isEmpty());
    QTest::mouseClick(shortcuts.viewport(), Qt::LeftButton, {}, QPoint(band.center().x(), 4));
    drain();
    EXPECT_TRUE(store->favorites->empty());

    bar->setValue(viewHeader - 10);
    EXPECT_EQ(shortcuts.pinnedHeader(), std::make_pair(0, -18));
    bar->setValue(viewHeader + 5);
    EXPECT_EQ(shortcuts.pinnedHeader(), std::make_pair(1, 0));
    bar->setValue(bar->maximum());
    EXPECT_EQ(shortcuts.pinnedHeader(), std::make_pair(1, 0));
    // Scrolled to the end, the last row ends 10 above the bottom.
    EXPECT_EQ(shortcuts.rowRect(2, 0).bottom() + 1 + 10, shortcuts.viewport()->height());
}

TEST_F(ShortcutListTest, RepeatedItemIdsInTwoCategoriesShareOneStar) {
    ShortcutListView& shortcuts = expandedListOver(
        {{"shortcuts-mac", kBaseCatalog}, {"extended-shortcuts-mac", kMergedCatalog}});
    ASSERT_EQ(shortcuts.sectionCount(), 2);
    EXPECT_EQ(shortcuts.sectionTitle(1), QStringLiteral("HISTORY"));
    EXPECT_NE(shortcuts.rowRect(0, 0), shortcuts.rowRect(1, 0));
    clickStar(1, 0);
    EXPECT_EQ(store->favorites.get(), FavoriteSet{"delta:undo"});
    EXPECT_TRUE(shortcuts.isFavorite(0, 0));
    EXPECT_TRUE(shortcuts.isFavorite(1, 0));
    EXPECT_EQ(shortcuts.starAccessibleName(0, 0), QStringLiteral("Remove Undo from favorites"));
}

TEST_F(ShortcutListTest, EntriesAreRebuiltOnlyWhenTheResultChanges) {
    ShortcutListView& shortcuts = expandedList();
    const int before = shortcuts.rebuildCount();
    store->toggleTheme();
    view->model().set(&CorvantaViewState::searchIsFocused, true);
    drain();
    EXPECT_EQ(shortcuts.rebuildCount(), before);
    store->query = std::string("hand");
    drain();
    EXPECT_EQ(shortcuts.rebuildCount(), before + 1);
    EXPECT_EQ(shortcuts.rows().size(), 1u);

    // A paint between a store change and its render never indexes the old
    // result.
    store->query = std::string();
    shortcuts.viewport()->repaint();
    EXPECT_EQ(shortcuts.rows().size(), 6u);
}

TEST_F(ShortcutListTest, ScrollAreaIsSetUpOnceForVerticalPixelScrolling) {
    ShortcutListView& shortcuts = expandedList(420, 480);
    EXPECT_EQ(shortcuts.tuner().configuredScrollArea(), &shortcuts);
    EXPECT_FALSE(shortcuts.tuner().configure(shortcuts));
    EXPECT_FALSE(shortcuts.viewport()->autoFillBackground());
    EXPECT_EQ(shortcuts.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(shortcuts.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // The area's own bar is hidden; the overlay scroller shows the position
    // only while the list moves.
    EXPECT_EQ(shortcuts.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    OverlayScrollBar* overlay = shortcuts.tuner().overlayScrollBar();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(overlay->isThumbShown());
    EXPECT_EQ(overlay->geometry().right(), shortcuts.viewport()->geometry().right());
    // Resizing the panel by hand keeps it on the viewport's edge at once.
    shortcuts.resize(shortcuts.width() + 40, shortcuts.height() - 60);
    EXPECT_EQ(overlay->geometry().right(), shortcuts.viewport()->geometry().right());
    EXPECT_EQ(overlay->geometry().height(), shortcuts.viewport()->geometry().height());

    QScrollBar* bar = shortcuts.verticalScrollBar();
    auto wheel = [&](QPoint pixels, QPoint angle) {
        const QPointF at(50, 50);
        QWheelEvent event(at, shortcuts.viewport()->mapToGlobal(at), pixels, angle, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(shortcuts.viewport(), &event);
    };
    wheel(QPoint(0, -7), QPoint(0, -10));
    EXPECT_EQ(bar->value(), 7);
    wheel(QPoint(-30, -5), QPoint(-120, -20));  // mostly sideways
    EXPECT_EQ(bar->value(), 7);
    wheel(QPoint(), QPoint(0, -120));  // one notch of a mouse wheel
    EXPECT_EQ(bar->value(), 7 + ScrollPerformanceTuner::kWheelStep);
    EXPECT_EQ(overlay->value(), bar->value());
    EXPECT_TRUE(overlay->isThumbShown());
    drain(OverlayScrollBar::kLingerSeconds + 0.1);
    EXPECT_FALSE(overlay->isThumbShown());
    // Dragging the overlay scrolls the list.
    overlay->setValue(3);
    EXPECT_EQ(bar->value(), 3);

    // A result that fits lets the pointer through the bar's strip to the rows;
    // the bar stays put, so a keystroke that crosses the list's height does
    // not hide and show it again (each costs a repaint of its strip).
    store->query = std::string("zzzz-no-such-shortcut");
    drain();
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_TRUE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
    store->query = std::string();
    drain();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_FALSE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
}

}  // namespace
}  // namespace corvanta
