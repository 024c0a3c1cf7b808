// The panel from the keyboard and through a screen reader's eyes: Tab order,
// focus rings only for Tab, states of segments, tabs, pin and pack button, the
// keyboard's place after a collapse, Ctrl+K announced again, hidden faces left
// out of the tree, the picker's keyboard, the sheets as dialogs, and the
// result bar's sentence.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "ActiveBridge.h"
#include "InterfaceFixture.h"
#include "interface/CategoryTabsView.h"
#include "interface/CollapsedBar.h"
#include "interface/FooterView.h"
#include "interface/HeaderView.h"
#include "interface/PickerSearchField.h"
#include "interface/ResultBarView.h"
#include "interface/ShortcutListView.h"
#include "interface/SmallControls.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/SoftwarePickerPopover.h"
#include "interface/SubmissionSheet.h"
#include "interface/ToolbarView.h"

namespace corvanta {
namespace {

struct Recorded {
    QAccessible::Event type;
    QObject* object;
    QAccessible::Id id;
};
std::vector<Recorded>* recorded = nullptr;

// Records the events the toolkit would hand the platform's bridge.
class Recorder {
public:
    Recorder() : previous_(QAccessible::installUpdateHandler(&record)) { recorded = &events; }
    ~Recorder() {
        QAccessible::installUpdateHandler(previous_);
        recorded = nullptr;
    }
    std::vector<Recorded> events;

private:
    static void record(QAccessibleEvent* event) {
        QAccessibleInterface* iface = event->accessibleInterface();
        recorded->push_back(
            {event->type(), event->object(), iface ? QAccessible::uniqueId(iface) : 0});
    }
    QAccessible::UpdateHandler previous_;
};

class KeyboardFocusTest : public testing_support::InterfaceFixture {
protected:
    KeyboardFocusTest() { QAccessible::setActive(true); }
    ~KeyboardFocusTest() override { QAccessible::setActive(false); }
    testing_support::ActiveBridge bridge_;

    CorvantaView& expandedView() {
        recordWindowCommands();
        makeView();
        view->activateWindow();
        QApplication::setActiveWindow(view.get());
        expandPanel();
        return *view;
    }
    QWidget* focus() const { return QApplication::focusWidget(); }
    // Presses Tab (or Shift+Tab) where the keyboard is.
    void tab(bool back = false) {
        QTest::keyClick(focus(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        drain();
    }
    static QAccessible::State stateOf(QObject* object) {
        return QAccessible::queryAccessibleInterface(object)->state();
    }
    SoftwarePickerPopover& openPicker() {
        view->header()->packButton()->click();
        drain();
        drain();
        return *view->softwarePicker();
    }
};

TEST_F(KeyboardFocusTest, TabWalksThePanelTopToBottomAndAClickTakesNoFocus) {
    expandedView();
    ToolbarView& toolbar = *view->toolbar();
    HeaderView& header = *view->header();
    toolbar.searchField()->setFocus(Qt::OtherFocusReason);
    drain();
    std::vector<QWidget*> expected{toolbar.allButton(), toolbar.favoritesButton()};
    for (CategoryButton* tab : view->categoryTabs()->tabs()) expected.push_back(tab);
    if (view->shortcutList()->focusPolicy() & Qt::TabFocus)
        expected.push_back(view->shortcutList());
    expected.push_back(view->footer()->feedbackButton());
    for (QWidget* control :
         {static_cast<QWidget*>(header.packButton()), static_cast<QWidget*>(header.themeButton()),
          static_cast<QWidget*>(header.pinButton()), static_cast<QWidget*>(header.languageButton()),
          static_cast<QWidget*>(header.expandButton()), static_cast<QWidget*>(header.closeButton()),
          static_cast<QWidget*>(toolbar.searchField())})
        expected.push_back(control);
    ASSERT_EQ(view->categoryTabs()->tabs().size(), 4u);
    std::vector<QWidget*> reached;
    // Inside the list, Tab may first visit the current row's star.
    for (int presses = 0; reached.size() < expected.size() && presses < 40; ++presses) {
        QWidget* before = focus();
        tab();
        if (focus() != before)
            reached.push_back(focus());
    }
    EXPECT_EQ(reached, expected);
    tab(true);
    EXPECT_EQ(focus(), header.closeButton());

    // Space presses the focused button; a click on another takes no focus.
    tab(true);
    tab(true);
    tab(true);
    ASSERT_EQ(focus(), header.pinButton());
    const bool pinnedBefore = store->isPinned.get();
    QTest::keyClick(focus(), Qt::Key_Space);
    drain();
    EXPECT_EQ(store->isPinned.get(), !pinnedBefore);
    QTest::mouseClick(toolbar.favoritesButton(), Qt::LeftButton);
    drain();
    EXPECT_EQ(focus(), header.pinButton());
    EXPECT_TRUE(store->favoriteOnly.get());
}

// A tab reached by Tab from outside the strip scrolls into view, as one
// reached from a neighbouring tab does.
TEST_F(KeyboardFocusTest, ATabReachedFromOutsideTheStripScrollsIntoView) {
    expandedView();
    CategoryTabsView& strip = *view->categoryTabs();
    strip.setFixedWidth(120);
    drain();
    QScrollBar* bar = strip.horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    view->toolbar()->favoritesButton()->setFocus(Qt::TabFocusReason);
    drain();
    tab();
    ASSERT_EQ(focus(), strip.tabs().front());
    EXPECT_EQ(bar->value(), 0);
    // And from below, Shift+Tab into the last tab.
    bar->setValue(0);
    view->shortcutList()->setFocus(Qt::TabFocusReason);
    drain();
    tab(true);
    ASSERT_EQ(focus(), strip.tabs().back());
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(KeyboardFocusTest, OnlyFocusFromTabDrawsARing) {
    expandedView();
    FilterButton* all = view->toolbar()->allButton();
    FilterButton* favorites = view->toolbar()->favoritesButton();
    const QImage plain = all->grab().toImage();
    all->setFocus(Qt::OtherFocusReason);
    drain();
    EXPECT_EQ(all->grab().toImage(), plain);
    view->toolbar()->searchField()->setFocus(Qt::OtherFocusReason);
    tab();
    ASSERT_EQ(focus(), all);
    EXPECT_TRUE(all->showsFocusIndicator());
    EXPECT_NE(all->grab().toImage(), plain);
    tab();
    ASSERT_EQ(focus(), favorites);
    EXPECT_FALSE(all->showsFocusIndicator());
    EXPECT_EQ(all->grab().toImage(), plain);
}

TEST_F(KeyboardFocusTest, SegmentsTabsPinAndPackButtonReportTheirStates) {
    expandedView();
    ToolbarView& toolbar = *view->toolbar();
    QAccessibleInterface* all = QAccessible::queryAccessibleInterface(toolbar.allButton());
    QAccessibleInterface* favorites =
        QAccessible::queryAccessibleInterface(toolbar.favoritesButton());
    EXPECT_EQ(all->role(), QAccessible::RadioButton);
    EXPECT_TRUE(all->state().checked);
    EXPECT_FALSE(favorites->state().checked);
    toolbar.favoritesButton()->click();
    drain();
    EXPECT_FALSE(all->state().checked);
    EXPECT_TRUE(favorites->state().checked);
    // Clicking the chosen one again keeps it chosen.
    toolbar.favoritesButton()->click();
    drain();
    EXPECT_TRUE(favorites->state().checked);

    const auto& tabs = view->categoryTabs()->tabs();
    tabs[2]->click();
    drain();
    for (std::size_t i = 0; i < tabs.size(); ++i) EXPECT_EQ(stateOf(tabs[i]).checked, i == 2) << i;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(tabs[2])->role(), QAccessible::RadioButton);

    QAccessibleInterface* pin = QAccessible::queryAccessibleInterface(view->header()->pinButton());
    EXPECT_EQ(pin->role(), QAccessible::CheckBox);
    const bool pinned = store->isPinned.get();
    EXPECT_EQ(pin->state().checked, pinned);
    view->header()->pinButton()->click();
    drain();
    EXPECT_EQ(pin->state().checked, !pinned);

    PlainButton* pack = view->header()->packButton();
    EXPECT_TRUE(stateOf(pack).hasPopup);
    EXPECT_FALSE(stateOf(pack).expanded);
    openPicker();
    EXPECT_TRUE(stateOf(pack).expanded);
}

TEST_F(KeyboardFocusTest, ACollapseLeavesTheKeyboardOnTheBarsExpandButtonNamingThePack) {
    expandedView();
    view->toolbar()->searchField()->setFocus(Qt::OtherFocusReason);
    drain();
    view->model().collapse();
    drain(0.5);
    IconButton* expand = view->collapsedBar()->expandButton();
    EXPECT_EQ(focus(), expand);
    EXPECT_FALSE(expand->showsFocusIndicator());
    EXPECT_TRUE(expand->accessibleDescription().startsWith("Alpha Pad"));
    EXPECT_EQ(expand->accessibleName(), "Expand shortcut panel");
    // Space on it expands, and the keyboard follows to the header.
    QTest::keyClick(expand, Qt::Key_Space);
    drain(0.5);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_EQ(focus(), view->header()->expandButton());
}

TEST_F(KeyboardFocusTest, CtrlKOnTheFocusedSearchFieldAnnouncesItAsANewObject) {
    expandedView();
    ShortcutSearchField* field = view->toolbar()->searchField();
    QTest::keyClick(view->windowHandle(), Qt::Key_K, Qt::ControlModifier);
    drain();
    ASSERT_EQ(focus(), field);
    const QAccessible::Id before =
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(field));
    Recorder recorder;
    QTest::keyClick(field, Qt::Key_K, Qt::ControlModifier);
    drain();
    const auto focused = std::find_if(
        recorder.events.begin(), recorder.events.end(),
        [&](const Recorded& e) { return e.type == QAccessible::Focus && e.object == field; });
    ASSERT_NE(focused, recorder.events.end());
    EXPECT_NE(focused->id, before);
    EXPECT_EQ(focus(), field);
    // The new object is the field's, and still the toolbar's child.
    QAccessibleInterface* fresh = QAccessible::queryAccessibleInterface(field);
    EXPECT_EQ(QAccessible::uniqueId(fresh), focused->id);
    EXPECT_GE(fresh->parent()->indexOfChild(fresh), 0);
}

TEST_F(KeyboardFocusTest, OnlyTheFaceOnScreenIsListedAndHidingOneSaysNothingOfItsObjects) {
    expandedView();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(view.get());
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(view->collapsedBar());
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(view->toolbar()->parent());
    EXPECT_GE(root->indexOfChild(panel), 0);
    EXPECT_EQ(root->indexOfChild(bar), -1);

    Recorder recorder;
    view->model().collapse();
    drain(0.5);
    EXPECT_GE(root->indexOfChild(bar), 0);
    EXPECT_EQ(root->indexOfChild(panel), -1);
    for (int i = 0; i < root->childCount(); ++i) EXPECT_NE(root->child(i), panel);
    for (const Recorded& event : recorder.events) {
        auto* widget = qobject_cast<QWidget*>(event.object);
        const bool inPanel = widget && view->toolbar()->parentWidget()->isAncestorOf(widget);
        EXPECT_FALSE(inPanel && event.type == QAccessible::ObjectHide)
            << widget->objectName().toStdString();
    }
    const auto joined =
        std::count_if(recorder.events.begin(), recorder.events.end(), [&](const Recorded& e) {
            return e.type == QAccessible::ObjectCreated && e.object == view->collapsedBar();
        });
    EXPECT_EQ(joined, 1);
}

TEST_F(KeyboardFocusTest, PickerTakesTheKeyboardAndItsTilesAreWalkedAndChosenByKeys) {
    expandedView();
    SoftwarePickerPopover& picker = openPicker();
    ASSERT_TRUE(picker.isVisible());
    EXPECT_EQ(focus(), picker.searchButton());
    SoftwarePickerGrid* grid = picker.grid();
    QTest::keyClick(focus(), Qt::Key_Tab);
    drain();
    ASSERT_EQ(focus(), grid);
    const int first = grid->currentAccessibleIndex();
    ASSERT_GE(first, 0);
    QAccessibleInterface* gridAccessible = QAccessible::queryAccessibleInterface(grid);
    QAccessibleInterface* tile = gridAccessible->child(first);
    EXPECT_TRUE(tile->state().focused);
    QTest::keyClick(grid, Qt::Key_Right);
    const int second = grid->currentAccessibleIndex();
    EXPECT_GT(second, first);
    EXPECT_FALSE(gridAccessible->child(first)->state().focused);
    // The tiles in order: Beta Board and Gamma Sheet (office), then Alpha Pad.
    int index = second;
    while (gridAccessible->child(index)->text(QAccessible::Name) != "Alpha Pad, 6 items") {
        QTest::keyClick(grid, Qt::Key_Right);
        ASSERT_NE(grid->currentAccessibleIndex(), index) << "never reached Alpha Pad";
        index = grid->currentAccessibleIndex();
    }
    store->selectSoftware("beta");
    drain();
    QTest::keyClick(grid, Qt::Key_Return);
    drain();
    EXPECT_EQ(store->selectedSoftwareID.get(), "alpha");
    EXPECT_FALSE(view->model().state().showsSoftwarePicker);
}

TEST_F(KeyboardFocusTest, PickerFieldIsNamedAndHiddenTextsFollowTheLanguage) {
    expandedView();
    SoftwarePickerPopover& picker = openPicker();
    picker.searchButton()->click();
    drain();
    ASSERT_TRUE(picker.searchField());
    EXPECT_EQ(picker.searchField()->accessibleName(), "Search software");
    picker.clearButton()->click();
    drain();
    view->model().softwarePickerDidClose();
    drain();
    store->toggleLanguage();
    drain();
    EXPECT_EQ(picker.clearButton()->accessibleName(), "清除软件搜索");
}

TEST_F(KeyboardFocusTest, SheetIsANamedDialogWalkedByTabWithCtrlReturnOnItsSubmitButton) {
    expandedView();
    view->model().presentFeedbackDialog();
    drain();
    drain();
    SubmissionSheet& sheet = *view->feedbackDialog();
    ASSERT_TRUE(sheet.isVisible());
    QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(&sheet);
    EXPECT_EQ(dialog->role(), QAccessible::Dialog);
    EXPECT_EQ(dialog->text(QAccessible::Name), "Issue or suggestion");
    QAccessibleInterface* submit = QAccessible::queryAccessibleInterface(sheet.submitButton());
    ASSERT_TRUE(submit->actionInterface());
    EXPECT_EQ(
        submit->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
        QStringList{QKeySequence(Qt::CTRL | Qt::Key_Return).toString(QKeySequence::NativeText)});

    sheet.firstField()->setFocus(Qt::OtherFocusReason);
    drain();
    QTest::keyClicks(sheet.firstField(), "x");
    std::vector<QWidget*> reached;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(reached, (std::vector<QWidget*>{sheet.contactField(), sheet.submitButton(),
                                              sheet.closeButton(), sheet.firstField()}));

    store->toggleLanguage();
    drain();
    EXPECT_EQ(dialog->text(QAccessible::Name), "问题与建议");
}

TEST_F(KeyboardFocusTest, ResultBarReadsAsASentenceAndTheListHasANameInEitherLanguage) {
    expandedView();
    ResultBarView& bar = *view->resultBar();
    EXPECT_EQ(bar.accessibleName(), "All shortcuts, 6 items");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view->shortcutList());
    EXPECT_EQ(list->text(QAccessible::Name), "Shortcuts");
    store->query = std::string("save");
    drain();
    EXPECT_EQ(bar.accessibleName(), "Search results for save, 1 item");
    store->toggleLanguage();
    drain();
    EXPECT_EQ(bar.accessibleName(), "save 的搜索结果，1 项");
    EXPECT_EQ(list->text(QAccessible::Name), "快捷键");
}

}  // namespace
}  // namespace corvanta
