// What a screen reader finds through the toolkit's accessibility interfaces:
// the list's headings, rows read with their keys and stars, the picker's
// popup, tiles, headings and hint, the sheets' field names, the toast's alert
// and the collapsed bar's texts; and that renders announce no unchanged name.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "ActiveBridge.h"
#include "InterfaceFixture.h"
#include "catalog/SoftwareGroup.h"
#include "interface/CollapsedBar.h"
#include "interface/PickerSearchField.h"
#include "interface/ShortcutListView.h"
#include "interface/ShortcutRow.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/SoftwarePickerPopover.h"
#include "interface/SubmissionToastView.h"

namespace corvanta {
namespace {

std::vector<QAccessible::Event>* recordedEvents = nullptr;

// Records the events the toolkit would hand the platform's bridge.
class EventRecorder {
public:
    EventRecorder() : previous_(QAccessible::installUpdateHandler(&record)) {
        recordedEvents = &events;
    }
    ~EventRecorder() {
        QAccessible::installUpdateHandler(previous_);
        recordedEvents = nullptr;
    }
    int count(QAccessible::Event type) const {
        return static_cast<int>(std::count(events.begin(), events.end(), type));
    }
    std::vector<QAccessible::Event> events;

private:
    static void record(QAccessibleEvent* event) { recordedEvents->push_back(event->type()); }
    QAccessible::UpdateHandler previous_;
};

// The first child, depth first, with this role and name.
QAccessibleInterface* findAccessible(QAccessibleInterface* root, QAccessible::Role role,
                                     const QString& name) {
    if (!root)
        return nullptr;
    if (root->role() == role && root->text(QAccessible::Name) == name)
        return root;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* found = findAccessible(root->child(i), role, name))
            return found;
    }
    return nullptr;
}

QStringList namesWithRole(QAccessibleInterface* root, QAccessible::Role role) {
    QStringList names;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (child && child->role() == role)
            names << child->text(QAccessible::Name);
    }
    return names;
}

void press(QAccessibleInterface* button) {
    ASSERT_TRUE(button);
    ASSERT_TRUE(button->actionInterface());
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

QString groupName(SoftwareGroup group, AppLanguage language) {
    const std::string_view text = title(group, language);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class AccessibilityTest : public testing_support::InterfaceFixture {
protected:
    AccessibilityTest() { QAccessible::setActive(true); }
    ~AccessibilityTest() override { QAccessible::setActive(false); }

    CorvantaView& expandedView() {
        recordWindowCommands();
        makeView();
        expandPanel();
        return *view;
    }
    SoftwarePickerPopover& openPicker() {
        expandedView();
        view->model().set(&CorvantaViewState::softwarePickerChevronExpanded, true);
        view->model().set(&CorvantaViewState::showsSoftwarePicker, true);
        drain();
        return *view->softwarePicker();
    }
};

TEST_F(AccessibilityTest, ListReadsHeadingsAndRowsWithTheirKeysAndKeepsStarsPressable) {
    expandedView();
    ShortcutListView& list = *view->shortcutList();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&list);
    ASSERT_TRUE(accessible);
    // Three headings and six rows, in display order.
    ASSERT_EQ(accessible->childCount(), 9);
    QAccessibleInterface* heading = accessible->child(0);
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->role(), QAccessible::Heading);
    // Spoken in its own case, not spelled out as the painted capitals.
    EXPECT_EQ(heading->text(QAccessible::Name), "Edit");
    EXPECT_EQ(list.sectionTitle(0), "EDIT");
    EXPECT_EQ(heading->childCount(), 0);
    EXPECT_EQ(namesWithRole(accessible, QAccessible::Heading).size(), 3);

    QAccessibleInterface* redo = accessible->child(2);
    ASSERT_TRUE(redo);
    EXPECT_EQ(redo->role(), QAccessible::ListItem);
    EXPECT_EQ(redo->text(QAccessible::Name), "Redo, Shift Command Z");
    EXPECT_EQ(accessible->indexOfChild(redo), 2);
    EXPECT_EQ(accessible->indexOfChild(heading), 0);
    EXPECT_EQ(redo->parent(), accessible);
    EXPECT_TRUE(findAccessible(accessible, QAccessible::ListItem, "Save, Command S"));
    EXPECT_TRUE(findAccessible(accessible, QAccessible::ListItem, "Hand tool, Space"));
    EXPECT_EQ(redo->rect().size(), list.rowRect(0, 1).size());
    EXPECT_EQ(accessible->childAt(redo->rect().center().x(), redo->rect().center().y()), redo);

    // Flat review reads a row by its text, then its star.
    ASSERT_EQ(redo->childCount(), 2);
    QAccessibleInterface* text = redo->child(0);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->role(), QAccessible::StaticText);
    EXPECT_EQ(text->text(QAccessible::Name), "Redo, Shift Command Z");
    EXPECT_EQ(text->parent(), redo);
    QAccessibleInterface* star = redo->child(1);
    ASSERT_TRUE(star);
    EXPECT_EQ(star->role(), QAccessible::CheckBox);
    EXPECT_EQ(star->text(QAccessible::Name), "Add Redo to favorites");
    EXPECT_EQ(star->parent(), redo);
    EXPECT_EQ(redo->indexOfChild(star), 1);
    EXPECT_LT(text->rect().right(), star->rect().left());
    EXPECT_EQ(text->rect().center().y(), star->rect().center().y());
    EXPECT_EQ(redo->childAt(star->rect().center().x(), star->rect().center().y()), star);
    EXPECT_EQ(star->rect().size(), list.starRect(0, 1).size());
    press(star);
    drain();
    EXPECT_TRUE(store->favorites->contains("alpha:redo"));
    EXPECT_EQ(accessible->child(2)->child(1)->text(QAccessible::Name),
              "Remove Redo from favorites");

    store->toggleLanguage();
    drain();
    EXPECT_TRUE(findAccessible(accessible, QAccessible::ListItem, "重做，Shift Command Z"));
    EXPECT_TRUE(findAccessible(accessible, QAccessible::Heading, "编辑"));

    store->query = std::string("qqqq");
    drain();
    EXPECT_EQ(accessible->childCount(), 0);
    EXPECT_EQ(accessible->text(QAccessible::Name), "没有找到快捷键");
}

TEST_F(AccessibilityTest, PickerPopupIsInThePanelsTreeWithPressableTilesHeadingsAndHint) {
    SoftwarePickerPopover& popover = openPicker();
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(view.get());
    QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(&popover);
    ASSERT_TRUE(panel);
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->parent(), panel);
    const int index = panel->indexOfChild(popup);
    ASSERT_GE(index, 0);
    EXPECT_EQ(panel->child(index), popup);
    EXPECT_EQ(popup->role(), QAccessible::Dialog);
    EXPECT_EQ(popup->text(QAccessible::Name), "Choose software");
    EXPECT_EQ(popup->text(QAccessible::Description), "Switch the shortcut library");

    QAccessibleInterface* hint = popup->child(popup->childCount() - 1);
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->role(), QAccessible::StaticText);
    EXPECT_EQ(hint->text(QAccessible::Name), popover.hintText());
    EXPECT_FALSE(popover.hintText().isEmpty());
    EXPECT_EQ(popup->indexOfChild(hint), popup->childCount() - 1);

    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(popover.grid());
    ASSERT_TRUE(grid);
    const QStringList headings = namesWithRole(grid, QAccessible::Heading);
    EXPECT_TRUE(headings.contains(groupName(SoftwareGroup::office, AppLanguage::en)));
    EXPECT_TRUE(headings.contains(groupName(SoftwareGroup::design, AppLanguage::en)));
    const QStringList buttons = namesWithRole(grid, QAccessible::Button);
    EXPECT_TRUE(buttons.contains("Alpha Pad, 6 items"));
    EXPECT_TRUE(buttons.contains("Gamma Sheet, Verification pending"));
    const QString request =
        "Request software for " + groupName(SoftwareGroup::office, AppLanguage::en);
    EXPECT_TRUE(buttons.contains(request));
    // A heading precedes the tiles of its group.
    QAccessibleInterface* office = findAccessible(
        grid, QAccessible::Heading, groupName(SoftwareGroup::office, AppLanguage::en));
    QAccessibleInterface* beta = findAccessible(grid, QAccessible::Button, "Beta Board, 1 items");
    ASSERT_TRUE(office && beta);
    EXPECT_LT(grid->indexOfChild(office), grid->indexOfChild(beta));
    EXPECT_EQ(beta->parent(), grid);
    EXPECT_EQ(beta->rect().size(), popover.grid()->tileRect("beta").toAlignedRect().size());

    store->toggleLanguage();
    drain();
    EXPECT_TRUE(namesWithRole(grid, QAccessible::Button).contains("Alpha Pad，6 项"));
    EXPECT_TRUE(namesWithRole(grid, QAccessible::Button).contains("Gamma Sheet，核验中"));
    EXPECT_EQ(popup->text(QAccessible::Name), "选择软件");
    store->toggleLanguage();
    drain();

    press(findAccessible(grid, QAccessible::Button, "Beta Board, 1 items"));
    drain();
    EXPECT_EQ(store->selectedSoftwareID.get(), "beta");
    EXPECT_FALSE(view->model().state().showsSoftwarePicker);
    EXPECT_EQ(panel->indexOfChild(popup), -1);
}

TEST_F(AccessibilityTest, PickerRequestTileIsPressedThroughItsInterface) {
    SoftwarePickerPopover& popover = openPicker();
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(popover.grid());
    press(findAccessible(
        grid, QAccessible::Button,
        "Request software for " + groupName(SoftwareGroup::office, AppLanguage::en)));
    // A real button's press action clicks it the way a click looks: shortly.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view->model().state().softwareRequestGroup.has_value(); }));
    drain();
    EXPECT_TRUE(view->model().state().showsSoftwareRequest);
    EXPECT_EQ(view->model().state().softwareRequestGroup, SoftwareGroup::office);
}

TEST_F(AccessibilityTest, NoMatchReadsAsTheGridsNameAndUnchangedTilesKeepTheirInterfaces) {
    SoftwarePickerPopover& popover = openPicker();
    QTest::mouseClick(popover.searchButton(), Qt::LeftButton);
    drain();
    ASSERT_TRUE(popover.searchField());
    // The request tiles' names are set only when they change.
    QAbstractButton* request = find<QAbstractButton>("corvanta.add-software.design");
    ASSERT_TRUE(request);
    QTest::keyClicks(popover.searchField(), "a");
    drain();
    // A render that changes nothing keeps the tiles' interfaces.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(popover.grid());
    QAccessibleInterface* alpha = findAccessible(grid, QAccessible::Button, "Alpha Pad, 6 items");
    ASSERT_TRUE(alpha);
    store->toggleTheme();
    drain();
    EXPECT_EQ(findAccessible(grid, QAccessible::Button, "Alpha Pad, 6 items"), alpha);

    QTest::keyClicks(popover.searchField(), "qqq");
    drain();
    EXPECT_EQ(grid->text(QAccessible::Name), "No software found");
    EXPECT_EQ(grid->text(QAccessible::Description), "Try a shorter software name");
    EXPECT_TRUE(namesWithRole(grid, QAccessible::Button).isEmpty());
}

TEST_F(AccessibilityTest, SheetFieldsAreNamedByTheirLabelsInTheLanguageInUse) {
    expandedView();
    view->model().presentFeedbackDialog();
    drain();
    auto* message = find<QPlainTextEdit>("corvanta.feedback.message");
    auto* contact = find<QPlainTextEdit>("corvanta.feedback.contact");
    ASSERT_TRUE(message && contact);
    QAccessibleInterface* messageAccessible = QAccessible::queryAccessibleInterface(message);
    EXPECT_EQ(messageAccessible->text(QAccessible::Name), "Issue or suggestion");
    EXPECT_EQ(messageAccessible->text(QAccessible::Description), message->placeholderText());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(contact)->text(QAccessible::Name),
              "Contact details (optional)");

    store->toggleLanguage();
    drain();
    EXPECT_EQ(messageAccessible->text(QAccessible::Name), "问题与建议");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(contact)->text(QAccessible::Name),
              "联系方式（非必填）");
    view->model().dismissFeedbackDialog();
    drain();

    view->model().update([](CorvantaViewState& s) {
        s.softwareRequestGroup = SoftwareGroup::office;
        s.showsSoftwareRequest = true;
    });
    drain();
    auto* name = find<QLineEdit>("corvanta.software-request.name");
    ASSERT_TRUE(name);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(name)->text(QAccessible::Name), "软件名称");
}

TEST_F(AccessibilityTest, ToastIsAnAlertMessageReadAsItsText) {
    expandedView();
    view->model().showSubmissionToast(SubmissionToastKind::feedback);
    drain();
    SubmissionToastView& toast = *view->toast();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&toast);
    EXPECT_EQ(accessible->role(), QAccessible::AlertMessage);
    EXPECT_EQ(accessible->text(QAccessible::Name), toast.text());
    EXPECT_FALSE(toast.text().isEmpty());
}

TEST_F(AccessibilityTest, ToastAlertsOnceAndKeystrokesAnnounceNoUnchangedName) {
    const testing_support::ActiveBridge bridge;
    ASSERT_TRUE(QAccessible::isActive());
    SoftwarePickerPopover& popover = openPicker();
    QTest::mouseClick(popover.searchButton(), Qt::LeftButton);
    drain();
    ASSERT_TRUE(popover.searchField());
    EventRecorder recorder;
    QTest::keyClicks(popover.searchField(), "a");
    drain();
    QTest::keyClicks(popover.searchField(), "l");
    drain();
    EXPECT_EQ(recorder.count(QAccessible::NameChanged), 0);
    view->model().showSubmissionToast(SubmissionToastKind::feedback);
    drain();
    EXPECT_EQ(recorder.count(QAccessible::Alert), 1);
    store->toggleTheme();
    drain();
    EXPECT_EQ(recorder.count(QAccessible::Alert), 1);
}

TEST_F(AccessibilityTest, CollapsedBarReadsThePackNameAndCaption) {
    makeView();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(view->collapsedBar());
    ASSERT_TRUE(bar);
    const QString pack = QString::fromStdString(store->selectedSoftware()->name);
    QAccessibleInterface* row = findAccessible(bar, QAccessible::Client, pack);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text(QAccessible::Description), "Shortcut companion");
    store->toggleLanguage();
    drain();
    EXPECT_EQ(row->text(QAccessible::Description), "快捷键助手");
}

}  // namespace
}  // namespace corvanta
