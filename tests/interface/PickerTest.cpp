// The pack picker: query matching and rows, the popover's state on opening and
// closing, its search field, tiles and their actions.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "InterfaceFixture.h"
#include "catalog/SoftwarePack.h"
#include "interface/PickerMatching.h"
#include "interface/PickerSearchField.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/SoftwarePickerPopover.h"
#include "interface/SubmissionSheet.h"
#include "platform/qt/FakeEventMonitors.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;

SoftwarePack pack(std::string id, std::string name) {
    SoftwarePack result;
    result.id = std::move(id);
    result.name = std::move(name);
    return result;
}

TEST(PickerMatching, ToleratesCaseAccentsWidthSpacesAndPunctuation) {
    const SoftwarePack photoLab = pack("photolab", "Photo Lab");
    for (const char* query : {"lab photo", "  photo  ", "PHOTO", "photó", "ｐｈｏｔｏ", "photo-lab",
                              "photolab", "\tlab\nphoto\t", ""}) {
        EXPECT_TRUE(picker::matches(photoLab, query)) << query;
    }
    for (const char* query : {"photo x", "-", "lab-x", "labx"}) {
        EXPECT_FALSE(picker::matches(photoLab, query)) << query;
    }
    EXPECT_TRUE(picker::matches(pack("vs-code", "Code"), "-"));
    // The identifier is searched as well as the name.
    EXPECT_TRUE(picker::matches(pack("ps2024", "Photoshop"), "2024"));
    // Letters of every script survive the bridging of punctuation.
    EXPECT_TRUE(picker::matches(pack("wps", "WPS 文字"), "文字"));
    EXPECT_TRUE(picker::matches(pack("wps", "WPS 文字"), "wps·文字"));
    EXPECT_TRUE(picker::queryTokens(" \t\n\u3000").empty());
    EXPECT_EQ(picker::queryTokens(" Café  LAB "), (std::vector<std::string>{"cafe", "lab"}));
}

TEST(PickerMatching, CutsRowsOfTwoWithTheRequestTileLast) {
    const SoftwarePack a = pack("a", "A"), b = pack("b", "B"), c = pack("figma", "Figma");
    auto ids = [](const std::vector<std::vector<SoftwarePickerEntry>>& rows) {
        std::vector<std::vector<std::string>> out;
        for (const auto& row : rows) {
            out.emplace_back();
            for (const auto& entry : row) out.back().push_back(entry.id());
        }
        return out;
    };
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(ids(picker::rows(SoftwareGroup::office, {&a, &b, &c}, true)),
              (Rows{{"software-a", "software-b"}, {"software-figma", "add-office"}}));
    EXPECT_EQ(ids(picker::rows(SoftwareGroup::office, {&a, &b}, true)),
              (Rows{{"software-a", "software-b"}, {"add-office"}}));
    EXPECT_EQ(ids(picker::rows(SoftwareGroup::office, {&c}, false)), (Rows{{"software-figma"}}));
    EXPECT_TRUE(picker::rows(SoftwareGroup::dataAI, {}, false).empty());
}

class PickerTest : public InterfaceFixture {
protected:
    SoftwarePickerPopover& openPicker() {
        makeView();
        expandPanel();
        // As the pack button does: the chevron at once, the flag a turn later.
        view->model().set(&CorvantaViewState::softwarePickerChevronExpanded, true);
        view->model().set(&CorvantaViewState::showsSoftwarePicker, true);
        drain();
        return *view->softwarePicker();
    }
    void activateSearch() {
        QTest::mouseClick(view->softwarePicker()->searchButton(), Qt::LeftButton);
        drain();
    }
    void clickTile(const std::string& packID) {
        SoftwarePickerGrid* grid = view->softwarePicker()->grid();
        grid->scrollToTile(packID);
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->tileRect(packID).center().toPoint());
    }
    void expectPickerClosed() {
        const CorvantaViewState& s = view->model().state();
        EXPECT_FALSE(s.showsSoftwarePicker);
        EXPECT_FALSE(s.softwarePickerChevronExpanded);
        EXPECT_FALSE(s.softwarePickerSearchIsActive);
        EXPECT_FALSE(s.softwarePickerSearchIsFocused);
        EXPECT_EQ(s.softwarePickerQuery, "");
    }
};

TEST_F(PickerTest, RootMembersFilterTheStoresSections) {
    makeView();
    EXPECT_EQ(view->model().softwarePickerMatchCount(), 3);
    EXPECT_EQ(view->model().filteredSoftwarePickerSections(), store->groupedSoftwareCache());
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("SHEET"));
    const auto sections = view->model().filteredSoftwarePickerSections();
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].group, SoftwareGroup::office);
    ASSERT_EQ(sections[0].software.size(), 1u);
    EXPECT_EQ(sections[0].software[0]->id, "gamma");
    EXPECT_EQ(view->model().softwarePickerMatchCount(), 1);
    // Group titles are not searched, only names and identifiers.
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("office"));
    EXPECT_TRUE(view->model().filteredSoftwarePickerSections().empty());
    EXPECT_EQ(view->model().softwarePickerMatchCount(), 0);
    EXPECT_EQ(view->model().softwarePickerRows(store->groupedSoftwareCache()[0], true).size(), 2u);
}

TEST_F(PickerTest, OpensResetAndClosesWithTheChevronOnHide) {
    makeView();
    expandPanel();
    view->model().update([](CorvantaViewState& s) {
        s.softwarePickerQuery = "left over";
        s.softwarePickerSearchIsActive = true;
        s.showsSoftwarePicker = true;
        s.softwarePickerChevronExpanded = true;
    });
    drain();
    SoftwarePickerPopover& popover = *view->softwarePicker();
    ASSERT_TRUE(popover.isVisible());
    EXPECT_EQ(popover.width(), SoftwarePickerPopover::kWidth);
    EXPECT_EQ(view->model().state().softwarePickerQuery, "");
    EXPECT_FALSE(view->model().state().softwarePickerSearchIsActive);
    EXPECT_TRUE(popover.searchButton()->isVisible());
    // Placed under the pack button, inside the screen.
    EXPECT_GE(popover.geometry().top(), popover.anchorRect().bottom());
    EXPECT_TRUE(popover.screen()->availableGeometry().contains(popover.geometry()));

    // Escape and outside clicks hide the popup; the state follows at once.
    popover.hide();
    expectPickerClosed();
    drain();
    EXPECT_FALSE(popover.isVisible());
}

TEST_F(PickerTest, OneOutsideClickClosesThePickerAndWorksTheControlUnderIt) {
    // Wide enough that the footer's right end lies beside the popover.
    makeView(800, 560);
    expandPanel();
    SoftwarePickerPopover& popover = *view->softwarePicker();
    auto open = [&] {
        view->model().update([](CorvantaViewState& s) {
            s.showsSoftwarePicker = s.softwarePickerChevronExpanded = true;
        });
        drain();
        ASSERT_TRUE(popover.isVisible());
    };
    auto clickThroughPopup = [&](const char* name) {
        QWidget* control = find<QWidget>(QString::fromLatin1(name));
        ASSERT_TRUE(control) << name;
        const QPoint global = control->mapToGlobal(control->rect().center());
        ASSERT_FALSE(popover.geometry().contains(global)) << name;
        // While the popup holds the pointer, its window takes the press and
        // the release.
        QTest::mousePress(popover.windowHandle(), Qt::LeftButton, {},
                          popover.mapFromGlobal(global));
        QTest::mouseRelease(popover.windowHandle(), Qt::LeftButton, {},
                            popover.mapFromGlobal(global));
        EXPECT_FALSE(popover.isVisible()) << name;
        expectPickerClosed();
    };

    open();
    clickThroughPopup("corvanta.header.theme");
    EXPECT_EQ(store->theme.get(), AppTheme::light);
    drain();
    open();
    clickThroughPopup("corvanta.header.language");
    EXPECT_EQ(store->language.get(), AppLanguage::zh);
    drain();

    // Feedback: the picker is gone at once, the sheet follows a turn later.
    open();
    clickThroughPopup("corvanta.feedback.open");
    EXPECT_FALSE(find<QAbstractButton>("corvanta.feedback.open")->isDown());
    drain();
    EXPECT_TRUE(view->model().state().showsFeedbackDialog);
    EXPECT_TRUE(view->feedbackDialog()->isVisible());
    view->model().dismissFeedbackDialog();
    drain();

    // The pack button only closes the picker; it does not open it again.
    open();
    clickThroughPopup("corvanta.header.software");
    drain();
    EXPECT_FALSE(popover.isVisible());
    expectPickerClosed();
}

TEST_F(PickerTest, QueuedOpeningIsDroppedUnlessThePanelIsExpandedAndStill) {
    makeView();
    view->model().update([](CorvantaViewState& s) {
        s.showsSoftwarePicker = s.softwarePickerChevronExpanded = true;
    });
    drain();
    EXPECT_FALSE(view->softwarePicker()->isVisible());
    expectPickerClosed();

    expandPanel();
    view->model().update([](CorvantaViewState& s) {
        s.isWindowTransitioning = true;
        s.showsSoftwarePicker = s.softwarePickerChevronExpanded = true;
    });
    drain();
    EXPECT_FALSE(view->softwarePicker()->isVisible());
    expectPickerClosed();
}

TEST_F(PickerTest, GridShowsRowsOfTwoRequestTilesAndHalfWidthLoneTiles) {
    SoftwarePickerPopover& popover = openPicker();
    SoftwarePickerGrid& grid = *popover.grid();
    EXPECT_EQ(grid.height(), SoftwarePickerPopover::kListHeight);
    // office: beta and gamma side by side, then its request tile alone.
    const QRectF beta = grid.tileRect("beta"), gamma = grid.tileRect("gamma");
    EXPECT_EQ(beta.top(), gamma.top());
    EXPECT_EQ(beta.width(), gamma.width());
    EXPECT_NEAR(beta.width(), (SoftwarePickerPopover::kWidth - 22 - 7) / 2.0, 0.01);
    auto* office = find<QAbstractButton>("corvanta.add-software.office");
    auto* design = find<QAbstractButton>("corvanta.add-software.design");
    ASSERT_TRUE(office && design);
    EXPECT_EQ(office->accessibleName(), "Request software for Office");
    EXPECT_GT(office->y(), beta.bottom());
    EXPECT_NEAR(office->width(), beta.width(), 1);

    // Under a query: no request tiles, the lone match keeps half the width.
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("gam"));
    drain();
    EXPECT_FALSE(find<QAbstractButton>("corvanta.add-software.office"));
    EXPECT_NEAR(grid.tileRect("gamma").width(), beta.width(), 0.01);
    EXPECT_TRUE(grid.tileRect("beta").isEmpty());
    EXPECT_EQ(popover.hintText(), "1 matching software apps");
}

TEST_F(PickerTest, TextsInBothLanguages) {
    SoftwarePickerPopover& popover = openPicker();
    EXPECT_EQ(popover.hintText(),
              "Shortcut packs are grouped by office, design, engineering, "
              "development, media, and more.");
    EXPECT_EQ(popover.searchButton()->accessibleName(), "Search software");
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("nothing like it"));
    drain();
    EXPECT_TRUE(popover.grid()->showsNoMatch());
    EXPECT_EQ(popover.hintText(), "0 matching software apps");

    store->toggleLanguage();
    drain();
    EXPECT_EQ(popover.hintText(), "找到 0 个相关软件");
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string(" \t"));
    drain();
    EXPECT_EQ(popover.hintText(), "快捷键库已按办公、设计、工程、开发与媒体等场景分类。");
    EXPECT_EQ(popover.searchButton()->accessibleName(), "搜索软件名称");
    EXPECT_EQ(find<QAbstractButton>("corvanta.add-software.office")->accessibleName(),
              "提交希望新增到办公软件的软件");
    activateSearch();
    EXPECT_EQ(popover.searchField()->placeholderText(), "搜索软件名称");
}

TEST_F(PickerTest, ChoosingATileResetsThePickerBeforeSelecting) {
    openPicker();
    store->query = "undo";
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("beta"));
    drain();
    std::vector<bool> pickerOpenAtSelection;
    auto connection = store->selectedSoftwareID.willSet.connect([&](const std::string&) {
        pickerOpenAtSelection.push_back(view->model().state().showsSoftwarePicker ||
                                        view->model().state().softwarePickerChevronExpanded ||
                                        !view->model().state().softwarePickerQuery.empty());
    });
    clickTile("beta");
    EXPECT_EQ(pickerOpenAtSelection, std::vector<bool>{false});
    EXPECT_EQ(store->selectedSoftwareID.get(), "beta");
    EXPECT_EQ(store->query.get(), "");
    expectPickerClosed();
    drain();
    EXPECT_FALSE(view->softwarePicker()->isVisible());
}

TEST_F(PickerTest, RequestTileOpensTheSheetOneTurnLaterWithClearedFields) {
    openPicker();
    view->model().update([](CorvantaViewState& s) {
        s.requestedSoftwareName = "unfinished";
        s.requestContact = "me@example.com";
        s.requestNameIsFocused = true;
    });
    QTest::mouseClick(find<QAbstractButton>("corvanta.add-software.design"), Qt::LeftButton);
    const CorvantaViewState& s = view->model().state();
    EXPECT_EQ(s.softwareRequestGroup, SoftwareGroup::design);
    EXPECT_EQ(s.requestedSoftwareName, "");
    EXPECT_EQ(s.requestContact, "");
    EXPECT_FALSE(s.requestNameIsFocused);
    EXPECT_FALSE(s.showsSoftwarePicker);
    EXPECT_FALSE(s.softwarePickerChevronExpanded);
    EXPECT_FALSE(s.showsSoftwareRequest);
    drain();
    EXPECT_TRUE(s.showsSoftwareRequest);
}

TEST_F(PickerTest, RequestSheetIsDroppedWhenThePanelCollapsesFirst) {
    openPicker();
    QTest::mouseClick(find<QAbstractButton>("corvanta.add-software.office"), Qt::LeftButton);
    store->isExpanded = false;
    drain();
    EXPECT_FALSE(view->model().state().showsSoftwareRequest);
}

TEST_F(PickerTest, SearchFieldTakesFocusFiltersAndClearGivesRealFocus) {
    SoftwarePickerPopover& popover = openPicker();
    activateSearch();
    PickerSearchField* field = popover.searchField();
    ASSERT_TRUE(field);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(view->model().state().softwarePickerSearchIsFocused);
    EXPECT_TRUE(popover.searchOutlineFocused());
    EXPECT_FALSE(popover.clearButton()->isVisible());

    QTest::keyClicks(field, "alp");
    EXPECT_EQ(view->model().state().softwarePickerQuery, "alp");
    drain();
    EXPECT_TRUE(popover.clearButton()->isVisible());
    EXPECT_FALSE(popover.grid()->tileRect("alpha").isEmpty());
    EXPECT_TRUE(popover.grid()->tileRect("beta").isEmpty());

    // The field lost the keyboard; the clear button brings it back for real.
    field->clearFocus();
    drain();
    EXPECT_FALSE(view->model().state().softwarePickerSearchIsFocused);
    QTest::mouseClick(popover.clearButton(), Qt::LeftButton);
    drain();
    EXPECT_EQ(view->model().state().softwarePickerQuery, "");
    EXPECT_EQ(field->text(), "");
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(popover.searchOutlineFocused());
    EXPECT_FALSE(popover.clearButton()->isVisible());
}

TEST_F(PickerTest, SearchFieldSelectsItsTextOnlyWhenItGetsTheFocusAndFollowsTheTheme) {
    SoftwarePickerPopover& popover = openPicker();
    QTest::mouseClick(popover.searchButton(), Qt::LeftButton);
    view->model().set(&CorvantaViewState::softwarePickerQuery, std::string("beta"));
    queue.runNext();  // the render that creates the field and queues its focus
    PickerSearchField* field = popover.searchField();
    ASSERT_TRUE(field);
    field->setEnabled(false);  // a field that cannot take the focus
    drain();
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), "");
    field->setEnabled(true);
    field->hide();
    field->show();
    drain();
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), "beta");
    EXPECT_EQ(field->palette().color(QPalette::Text), QColor("#F4F4F4"));
    EXPECT_EQ(field->palette().color(QPalette::PlaceholderText), QColor("#7C7C7C"));
    store->toggleTheme();
    drain();
    EXPECT_EQ(field->palette().color(QPalette::Text), QColor("#1A1A1A"));
    EXPECT_EQ(field->palette().color(QPalette::PlaceholderText), QColor("#818181"));
}

TEST_F(PickerTest, OutsideClickMonitorResignsTheFieldAndGoesWithIt) {
    platform::FakeEventMonitors monitors;
    platform::EventMonitors::setShared(&monitors);
    SoftwarePickerPopover& popover = openPicker();
    activateSearch();
    PickerSearchField* field = popover.searchField();
    ASSERT_TRUE(field && field->hasFocus());
    EXPECT_EQ(monitors.monitorCount(), 1u);
    auto click = [&](QWidget* window, QPoint point) {
        platform::Event event;
        event.type = platform::EventType::leftMouseDown;
        event.window = window;
        event.locationInWindow = {double(point.x()), double(window->height() - point.y())};
        EXPECT_TRUE(monitors.send(event));
        drain();
    };
    const QRect inPopover(field->mapTo(&popover, QPoint(0, 0)), field->size());
    click(&popover, inPopover.topLeft() + QPoint(-35, -7));  // within the margins
    click(view.get(), QPoint(5, 5));                         // another window
    EXPECT_TRUE(field->hasFocus());
    EXPECT_TRUE(view->model().state().softwarePickerSearchIsFocused);
    click(&popover, inPopover.bottomLeft() + QPoint(0, 30));  // the list below
    EXPECT_FALSE(field->hasFocus());
    EXPECT_FALSE(view->model().state().softwarePickerSearchIsFocused);
    EXPECT_TRUE(view->model().state().softwarePickerSearchIsActive);

    popover.hide();
    drain();
    EXPECT_FALSE(popover.searchField());
    EXPECT_EQ(monitors.monitorCount(), 0u);
    platform::EventMonitors::setShared(nullptr);
}

// Thirty packs in one family: a list several times taller than its area.
std::string longCatalog() {
    std::string json = R"({"software": [)";
    for (int i = 0; i < 30; ++i) {
        const std::string id = "pack" + std::to_string(100 + i);
        json += std::string(i ? "," : "") + R"({"id": ")" + id + R"(", "name": "Pack )" +
                std::to_string(100 + i) +
                R"(", "vendor": "Tests", "accent": "#3366FF", "glyph": "P", "group": "design",
                "dataStatus": "curated", "categories": [{"id": "edit", "zh": "编辑", "en": "Edit",
                "items": [{"id": "undo", "keys": ["⌘", "Z"], "zh": "撤销", "en": "Undo",
                "tags": []}]}]})";
    }
    return json + "]}";
}

TEST_F(PickerTest, EveryOpeningShowsTheTopOfTheList) {
    writeCatalog(longCatalog());
    SoftwarePickerPopover& popover = openPicker();
    SoftwarePickerGrid* grid = popover.grid();
    QScrollBar* bar = grid->scrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const QRectF firstTile = grid->tileRect("pack100");
    ASSERT_FALSE(firstTile.isEmpty());

    // Scrolled to the end, closed by Escape (a hide) or by choosing nothing,
    // then opened again: the list is back at its top.
    bar->setValue(bar->maximum());
    QTest::keyClick(&popover, Qt::Key_Escape);
    drain();
    ASSERT_FALSE(popover.isVisible());
    view->model().update([](CorvantaViewState& s) {
        s.showsSoftwarePicker = s.softwarePickerChevronExpanded = true;
    });
    drain();
    ASSERT_TRUE(popover.isVisible());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(grid->tileRect("pack100"), firstTile);
    // A click where the first tile shows picks the first pack.
    QTest::mouseClick(grid, Qt::LeftButton, {}, firstTile.center().toPoint());
    drain();
    EXPECT_EQ(store->selectedSoftwareID.get(), "pack100");
}

TEST_F(PickerTest, LongPastesAreKeptWholeInBothSearchFields) {
    const QString pasted(100000, QLatin1Char('q'));
    SoftwarePickerPopover& popover = openPicker();
    activateSearch();
    ASSERT_TRUE(popover.searchField());
    popover.searchField()->insert(pasted);  // what a paste does
    EXPECT_EQ(view->model().state().softwarePickerQuery.size(), 100000u);
    drain();
    EXPECT_EQ(popover.searchField()->text().size(), 100000);
    EXPECT_TRUE(popover.grid()->showsNoMatch());

    popover.hide();
    drain();
    auto* search = find<QLineEdit>("corvanta.search");
    ASSERT_TRUE(search);
    search->insert(pasted);
    EXPECT_EQ(store->query.get().size(), 100000u);
    drain();
    EXPECT_EQ(search->text().size(), 100000);
}

}  // namespace
}  // namespace corvanta
