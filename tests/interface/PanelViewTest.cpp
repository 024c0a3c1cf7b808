// The root view driven as a user would: buttons and keys found by their
// identifiers, then the store, the window commands and the view state checked.
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include "InterfaceFixture.h"
#include "interface/BackdropCache.h"
#include "interface/CategoryTabsView.h"
#include "interface/CollapsedBar.h"
#include "interface/FooterView.h"
#include "interface/HeaderView.h"
#include "interface/KeptPixmap.h"
#include "interface/ResultBarView.h"
#include "interface/ShortcutListView.h"
#include "interface/SmallControls.h"
#include "interface/ToolbarView.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;

class PanelView : public InterfaceFixture {
protected:
    void SetUp() override {
        recordWindowCommands();
        makeView();
        view->activateWindow();
        QApplication::setActiveWindow(view.get());
    }
    void click(QAbstractButton* button) {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        drain();
    }
    QLineEdit* searchField() { return find<QLineEdit>("corvanta.search"); }
    QColor pixelAt(QWidget* widget, QPoint point) {
        return QColor(widget->grab().toImage().pixel(point));
    }
};

TEST_F(PanelView, CollapsedBarButtonsExpandAndClose) {
    IconButton* expand = view->collapsedBar()->expandButton();
    EXPECT_EQ(expand->systemName(), "chevron.down");
    EXPECT_EQ(expand->accessibleName(), "Expand shortcut panel");
    click(view->collapsedBar()->closeButton());
    EXPECT_EQ(closeCalls, 1);
    click(expand);
    ASSERT_EQ(expandedCalls, std::vector<bool>{true});
    drain(0.1);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(view->header()->isVisible());
    EXPECT_FALSE(view->collapsedBar()->isVisible());
}

TEST_F(PanelView, CloseWithoutCallbackChangesNothing) {
    commands.closeWindow = nullptr;
    const int renders = view->model().renderCount();
    click(view->collapsedBar()->closeButton());
    EXPECT_EQ(closeCalls, 0);
    EXPECT_EQ(view->model().renderCount(), renders);
}

TEST_F(PanelView, HeaderPinThemeAndLanguage) {
    expandPanel();
    HeaderView* header = view->header();
    // Pinned is the default.
    EXPECT_EQ(header->pinButton()->systemName(), "pin.fill");
    EXPECT_EQ(header->pinButton()->accessibleName(), "Unpin window");
    click(header->pinButton());
    EXPECT_FALSE(store->isPinned.get());
    EXPECT_EQ(pinnedCalls, std::vector<bool>{false});
    EXPECT_EQ(header->pinButton()->systemName(), "pin");
    EXPECT_EQ(header->pinButton()->accessibleName(), "Pin window");

    EXPECT_EQ(header->themeButton()->systemName(), "sun.max");
    EXPECT_EQ(header->themeButton()->accessibleName(), "Switch to light mode");
    click(header->themeButton());
    EXPECT_EQ(store->theme.get(), AppTheme::light);
    EXPECT_EQ(header->themeButton()->systemName(), "moon");
    EXPECT_EQ(header->themeButton()->accessibleName(), "Switch to dark mode");

    EXPECT_EQ(header->languageButton()->accessibleName(), "Switch to Chinese");
    click(header->languageButton());
    EXPECT_EQ(store->language.get(), AppLanguage::zh);
    EXPECT_EQ(header->languageButton()->accessibleName(), "切换到英文");
    EXPECT_EQ(header->themeButton()->accessibleName(), "切换到深色模式");
    EXPECT_EQ(header->closeButton()->accessibleName(), "关闭窗口");
    EXPECT_EQ(header->expandButton()->accessibleName(), "收起快捷键面板");
    EXPECT_EQ(header->packButton()->accessibleName(), "选择快捷键软件，当前为 Alpha Pad");

    // Without a window callback the pin state still changes in the store.
    commands.setPinned = nullptr;
    click(header->pinButton());
    EXPECT_TRUE(store->isPinned.get());
    EXPECT_EQ(pinnedCalls.size(), 1u);
}

TEST_F(PanelView, PackButtonFlipsTheChevronAtOnceAndThePickerOneTurnLater) {
    expandPanel();
    QTest::mouseClick(view->header()->packButton(), Qt::LeftButton);
    EXPECT_TRUE(view->model().state().softwarePickerChevronExpanded);
    EXPECT_FALSE(view->model().state().showsSoftwarePicker);
    drain();
    EXPECT_TRUE(view->model().state().showsSoftwarePicker);
    // The button decides by the chevron: a second click closes.
    QTest::mouseClick(view->header()->packButton(), Qt::LeftButton);
    EXPECT_FALSE(view->model().state().softwarePickerChevronExpanded);
    drain();
    EXPECT_FALSE(view->model().state().showsSoftwarePicker);
}

TEST_F(PanelView, PickerOpeningQueuedBeforeACollapseIsDropped) {
    expandPanel();
    view->model().toggleSoftwarePicker();
    view->model().collapse();
    drain(0.2);
    EXPECT_FALSE(view->model().state().showsSoftwarePicker);
    EXPECT_FALSE(view->model().state().softwarePickerChevronExpanded);
}

TEST_F(PanelView, SearchFieldWritesTheQueryPerKeystrokeAndKeepsFocus) {
    expandPanel();
    std::vector<std::string> writes;
    auto connection =
        store->query.willSet.connect([&](const std::string& q) { writes.push_back(q); });
    QLineEdit* field = searchField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->accessibleName(), "Search shortcuts");
    EXPECT_EQ(field->placeholderText(), "Search commands, tools or keys");
    field->setFocus();
    drain();
    EXPECT_TRUE(view->model().state().searchIsFocused);
    QTest::keyClicks(field, "undo");
    EXPECT_EQ(writes, (std::vector<std::string>{"u", "un", "und", "undo"}));
    QTest::keyClick(field, Qt::Key_Return);
    drain();
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(view->model().state().searchIsFocused);
    // Ctrl+K belongs to the panel: the text stays and the field keeps focus.
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_K, Qt::ControlModifier);
    drain();
    EXPECT_EQ(field->text(), "undo");
    EXPECT_TRUE(view->model().state().searchIsFocused);

    // The focused field is outlined in the accent colour; unfocused in border.
    ToolbarView* toolbar = view->toolbar();
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::dark);
    EXPECT_EQ(pixelAt(toolbar, QPoint(toolbar->width() / 2, 10)), colors.accent);
    store->dismissSearchRequestID = store->dismissSearchRequestID.get() + 1;
    drain();
    EXPECT_FALSE(view->model().state().searchIsFocused);
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(pixelAt(toolbar, QPoint(toolbar->width() / 2, 10)), colors.border);

    // A store-side reset (another pack) empties the field.
    store->selectSoftware("beta");
    drain();
    EXPECT_EQ(field->text(), "");
}

TEST_F(PanelView, CollapsingTakesTheKeyboardFromTheHiddenSearch) {
    // Escape from the shell, then the header's collapse button.
    const std::vector<std::function<void()>> collapses{
        [this] { store->escapeRequestID = store->escapeRequestID.get() + 1; },
        [this] { click(find<QAbstractButton>("corvanta.header.expand")); },
    };
    for (const auto& collapse : collapses) {
        expandPanel();
        QLineEdit* field = searchField();
        view->model().focusSearchCommand();
        drain();
        ASSERT_TRUE(field->hasFocus());
        collapse();
        drain(0.5);
        ASSERT_FALSE(store->isExpanded.get());
        EXPECT_FALSE(view->model().state().searchIsFocused);
        EXPECT_FALSE(field->hasFocus());
        // Keys typed on the bar reach the window, not the hidden field.
        QTest::keyClick(view->windowHandle(), Qt::Key_Z);
        QTest::keyClick(view->windowHandle(), Qt::Key_Z);
        drain();
        EXPECT_EQ(store->query.get(), "");
        EXPECT_EQ(field->text(), "");
    }
}

TEST_F(PanelView, CtrlKExpandsACollapsedPanelThenFocusesTheSearch) {
    QTest::keyClick(view.get(), Qt::Key_K, Qt::ControlModifier);
    drain(0.1);
    drain(0.1);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(view->model().state().searchIsFocused);
    EXPECT_TRUE(searchField()->hasFocus());
}

TEST_F(PanelView, FilterButtonsWriteFavoriteOnly) {
    expandPanel();
    int writes = 0;
    auto connection = store->favoriteOnly.willSet.connect([&](bool) { ++writes; });
    ToolbarView* toolbar = view->toolbar();
    EXPECT_TRUE(toolbar->allButton()->isActive());
    click(toolbar->favoritesButton());
    EXPECT_TRUE(store->favoriteOnly.get());
    EXPECT_TRUE(toolbar->favoritesButton()->isActive());
    EXPECT_FALSE(toolbar->allButton()->isActive());
    // Clicking the active segment writes again and changes nothing visible.
    click(toolbar->favoritesButton());
    EXPECT_EQ(writes, 2);
    click(toolbar->allButton());
    EXPECT_FALSE(store->favoriteOnly.get());
    store->toggleLanguage();
    drain();
    EXPECT_EQ(toolbar->favoritesButton()->accessibleName(), "收藏");
    EXPECT_EQ(toolbar->allButton()->accessibleName(), "全部");
}

TEST_F(PanelView, CategoryTabsFollowThePackAndTheLanguage) {
    expandPanel();
    const auto& tabs = view->categoryTabs()->tabs();
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(tabs[0]->accessibleName(), "All categories");
    EXPECT_EQ(tabs[2]->accessibleName(), "View");
    EXPECT_TRUE(tabs[0]->isActive());
    click(tabs[2]);
    EXPECT_EQ(store->selectedCategoryID.get(), "view");
    for (std::size_t i = 0; i < tabs.size(); ++i) EXPECT_EQ(tabs[i]->isActive(), i == 2);
    store->toggleLanguage();
    drain();
    EXPECT_EQ(tabs[0]->accessibleName(), "全部分类");
    EXPECT_EQ(tabs[2]->accessibleName(), "视图");
    EXPECT_TRUE(tabs[2]->isActive());
    store->selectSoftware("beta");
    drain();
    EXPECT_EQ(view->categoryTabs()->tabs().size(), 2u);
    EXPECT_TRUE(view->categoryTabs()->tabs()[0]->isActive());
}

TEST_F(PanelView, ResultBarShowsTheQueryVerbatimAndTheCount) {
    expandPanel();
    ResultBarView* bar = view->resultBar();
    EXPECT_EQ(bar->countText(), "6 items");
    store->query = "<b>&amp; undo</b>";
    drain();
    EXPECT_EQ(bar->titleText().toStdString(), store->resultTitle());
    store->query = "undo";
    drain();
    EXPECT_EQ(bar->countText(), "1 item");
    store->toggleLanguage();
    drain();
    EXPECT_EQ(bar->countText(), "1 项");
    EXPECT_EQ(ResultBarView::countText(12, AppLanguage::en), "12 items");
    EXPECT_EQ(ResultBarView::countText(12, AppLanguage::zh), "12 项");
}

namespace {

// Counts the paint events of the widgets it watches.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(std::vector<QWidget*> widgets) {
        for (QWidget* widget : widgets) {
            widget->installEventFilter(this);
            counts_[widget] = 0;
        }
    }
    int count(QWidget* widget) const { return counts_.at(widget); }
    QRegion region(QWidget* widget) const {
        return regions_.contains(widget) ? regions_.at(widget) : QRegion();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = static_cast<QWidget*>(watched);
            ++counts_[widget];
            regions_[widget] += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    std::map<QWidget*, int> counts_;
    std::map<QWidget*, QRegion> regions_;
};

}  // namespace

// A keystroke repaints what it changed (the field, the result bar, the list),
// not the header, the toolbar's plates, the tabs or the footer.
TEST_F(PanelView, AKeystrokeRepaintsOnlyWhatChanged) {
    expandPanel();
    drain();
    QApplication::processEvents();
    QWidget* header = view->header();
    QWidget* toolbar = view->toolbar();
    QWidget* footer = view->footer();
    QWidget* results = view->resultBar();
    PaintCounter counter({header, toolbar, footer, results});
    store->query = std::string("s");
    drain();
    QApplication::processEvents();
    store->query = std::string("sa");
    drain();
    QApplication::processEvents();
    EXPECT_EQ(counter.count(header), 0);
    // The toolbar shows through the transparent field, under the field only.
    const QRect field = view->toolbar()->searchField()->geometry();
    EXPECT_TRUE(QRegion(field).contains(counter.region(toolbar).boundingRect()));
    EXPECT_EQ(counter.count(footer), 0);
    EXPECT_GT(counter.count(results), 0);
    // A new theme still repaints them all.
    store->toggleTheme();
    drain();
    QApplication::processEvents();
    EXPECT_GT(counter.count(header), 0);
    EXPECT_GT(counter.count(footer), 0);
}

// The toolbar keeps its plates as pixels between repaints; a new focus or
// theme draws them afresh.
TEST_F(PanelView, ToolbarPlatesFollowFocusAndThemeThoughKeptBetweenRepaints) {
    expandPanel();
    drain();
    ToolbarView* toolbar = view->toolbar();
    // The search plate's outline, halfway along its top edge.
    const QPoint outline(toolbar->width() / 2, 10);
    auto outlineColour = [&] { return toolbar->grab().toImage().pixelColor(outline); };
    auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
               std::abs(a.blue() - b.blue()) <= 2;
    };
    view->model().set(&CorvantaViewState::searchIsFocused, false);
    drain();
    const ThemeColors dark = ThemeColors::forTheme(store->theme.get());
    EXPECT_TRUE(near(outlineColour(), dark.border)) << outlineColour().name().toStdString();
    view->model().set(&CorvantaViewState::searchIsFocused, true);
    drain();
    EXPECT_TRUE(near(outlineColour(), dark.accent)) << outlineColour().name().toStdString();
    store->toggleTheme();
    drain();
    const ThemeColors light = ThemeColors::forTheme(store->theme.get());
    EXPECT_NE(light.accent, dark.accent);
    EXPECT_TRUE(near(outlineColour(), light.accent)) << outlineColour().name().toStdString();
}

// A kept backdrop is copied in bands of rows; the bands must give the pixels
// of one whole copy, across band edges, in a partial last band and under a
// clip, over what lay beneath or in its place.
TEST(BackdropCacheTest, BandedCopiesPaintExactlyWhatTheBackdropDraws) {
    QWidget widget;
    widget.resize(213, 3 * BackdropCache::kBandRows + 37);
    const auto paint = [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(0, 0, 0, widget.height());
        gradient.setColorAt(0, QColor(20, 30, 200, 255));
        gradient.setColorAt(1, QColor(250, 120, 0, 128));
        painter.setBrush(gradient);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.drawRoundedRect(QRectF(widget.rect()).adjusted(1.5, 1.5, -1.5, -1.5), 12, 12);
    };
    const QRegion clip = QRegion(10, BackdropCache::kBandRows - 5, 150, 90) +
                         QRegion(0, widget.height() - 20, 40, 20);
    for (const auto beneath : {BackdropCache::Beneath::painted, BackdropCache::Beneath::nothing}) {
        QImage drawn(widget.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(QColor(0, 200, 0, 255));
        const QImage base = drawn;
        {
            // The whole backdrop in one copy.
            QPixmap whole(widget.size());
            whole.fill(Qt::transparent);
            QPainter painter(&whole);
            paint(painter);
            painter.end();
            QPainter onto(&drawn);
            onto.setClipRegion(clip);
            if (beneath == BackdropCache::Beneath::nothing)
                onto.setCompositionMode(QPainter::CompositionMode_Source);
            onto.drawPixmap(0, 0, whole);
        }
        // Painted afresh, then taken from the kept pixmap.
        BackdropCache cache;
        for (int pass = 0; pass < 2; ++pass) {
            QImage copied = base;
            QPainter painter(&copied);
            painter.setClipRegion(clip);
            cache.draw(widget, painter, 1, paint, beneath);
            painter.end();
            EXPECT_EQ(copied, drawn)
                << "pass " << pass
                << (beneath == BackdropCache::Beneath::nothing ? ", copied" : ", blended");
        }
    }
}

// Keys of kept pixmaps: values are taken as raw bits and texts with their
// length, so no two different lists of parts give one key.
TEST(PixmapKeyTest, DifferentPartsNeverMakeTheSameKey) {
    const auto key = [](auto... parts) {
        PixmapKey built(QLatin1StringView("k:"));
        (built.add(parts), ...);
        return built.text();
    };
    EXPECT_EQ(key(QStringLiteral("ab"), 1.5), key(QStringLiteral("ab"), 1.5));
    EXPECT_NE(key(QStringLiteral("ab"), QStringLiteral("c")),
              key(QStringLiteral("a"), QStringLiteral("bc")));
    EXPECT_NE(key(0.5), key(-0.5));
    EXPECT_NE(key(1.0), key(quint64(1)));
    EXPECT_NE(key(quint64(1) << 48), key(quint64(1) << 32));
    EXPECT_NE(key(std::string_view("\xE2\x8C\x98")), key(std::string_view("\xE2\x8C\x99")));
}

// A typed key changes the screen in one step: the field, the result bar and
// the filtered list are painted before the key's handling ends, once each,
// and nothing of them is left over for a later turn.
TEST_F(PanelView, ATypedKeyPaintsFieldResultsAndListAtOnceAndOnlyOnce) {
    expandPanel();
    drain();
    QApplication::processEvents();
    QLineEdit* field = view->toolbar()->searchField();
    QWidget* results = view->resultBar();
    QWidget* list = view->shortcutList()->viewport();
    PaintCounter counter({field, results, list});
    // The press alone: the release redraws the caret, a person's release
    // coming well after the press.
    QTest::keyPress(field, Qt::Key_S);
    EXPECT_EQ(store->query.get(), "s");
    EXPECT_EQ(counter.count(field), 1);
    EXPECT_EQ(counter.count(results), 1);
    EXPECT_EQ(counter.count(list), 1);
    drain();
    QApplication::processEvents();
    EXPECT_EQ(counter.count(field), 1);
    EXPECT_EQ(counter.count(results), 1);
    EXPECT_EQ(counter.count(list), 1);
}

TEST_F(PanelView, ManyWritesInOneTurnRenderOnce) {
    const int before = view->model().renderCount();
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("a"));
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("ab"));
    store->toggleTheme();
    store->toggleLanguage();
    EXPECT_EQ(view->model().renderCount(), before);
    drain();
    EXPECT_EQ(view->model().renderCount(), before + 1);
    // Writing the value already held schedules nothing.
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("ab"));
    drain();
    EXPECT_EQ(view->model().renderCount(), before + 1);
}

// A render only projects state onto widgets: one write, one render, and the
// render leaves the state as it found it (so it never schedules another).
TEST_F(PanelView, OneStateWriteRendersOnceAndTheRenderWritesNothing) {
    expandPanel();
    view->softwarePicker();
    view->feedbackDialog();
    drain();
    auto snapshot = [this] {
        const CorvantaViewState& s = view->model().state();
        return std::make_tuple(s.showsSoftwarePicker, s.softwarePickerChevronExpanded,
                               s.softwarePickerQuery, s.softwarePickerSearchIsActive,
                               s.showsFeedbackDialog, s.feedbackMessage, s.showsSubmissionToast,
                               s.searchIsFocused);
    };
    CorvantaViewModel& model = view->model();
    const std::vector<std::function<void()>> writes = {
        [&] { model.set(&CorvantaViewState::showsSoftwarePicker, true); },
        [&] { model.set(&CorvantaViewState::softwarePickerQuery, std::string("fig")); },
        [&] { model.set(&CorvantaViewState::showsSoftwarePicker, false); },
        [&] { model.set(&CorvantaViewState::feedbackMessage, std::string("hello")); },
        [&] { model.set(&CorvantaViewState::showsSubmissionToast, true); },
        [&] { model.set(&CorvantaViewState::showsSubmissionToast, false); },
    };
    for (std::size_t i = 0; i < writes.size(); ++i) {
        SCOPED_TRACE(i);
        const int before = model.renderCount();
        writes[i]();
        const auto written = snapshot();
        drain();
        EXPECT_EQ(model.renderCount(), before + 1);
        EXPECT_EQ(snapshot(), written);
    }
}

TEST_F(PanelView, ThemeSwitchRepaintsThePanelInTheLightPalette) {
    expandPanel();
    const ThemeColors& dark = ThemeColors::forTheme(AppTheme::dark);
    const ThemeColors& light = ThemeColors::forTheme(AppTheme::light);
    const QImage before = view->grab().toImage();
    // Header block on chrome, result bar on content.
    EXPECT_EQ(QColor(before.pixel(view->width() / 2, 8)), dark.chrome);
    EXPECT_EQ(QColor(before.pixel(view->width() / 2, 62 + 94 + 42 + 4)), dark.content);
    store->toggleTheme();
    drain();
    const QImage after = view->grab().toImage();
    EXPECT_EQ(QColor(after.pixel(view->width() / 2, 8)), light.chrome);
    EXPECT_EQ(QColor(after.pixel(view->width() / 2, 62 + 94 + 42 + 4)), light.content);
    // The tab row lets the content colour through above and beside its tabs.
    EXPECT_EQ(QColor(after.pixel(view->width() / 2, 62 + 94 + 3)), light.content);
    // The footer block sits on chrome at the bottom.
    EXPECT_EQ(QColor(after.pixel(view->width() / 2, view->height() - 10)), light.chrome);
}

}  // namespace
}  // namespace corvanta
