// The shortcut list as a screen reader and a keyboard user meet it: rows keep
// their accessible objects while they are shown and changes go out as
// well-formed additions and removals; the keyboard moves a current row and
// reaches its star, each reported as focused; the focus mark shows only for
// keyboard focus; the toast is announced as a notification once settled.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QTest>

#include "ActiveBridge.h"
#include "InterfaceFixture.h"
#include "interface/ShortcutListView.h"
#include "interface/SubmissionToastView.h"

namespace corvanta {
namespace {

// One event as the platform's bridge would see it, read when it is sent.
struct Told {
    QAccessible::Event type;
    unsigned id;
    QString name;
    QAccessible::Role role;
    int index;  // in the parent, −1 when the parent does not know it
};

std::vector<Told>* toldEvents = nullptr;

class Recorder {
public:
    Recorder() : previous_(QAccessible::installUpdateHandler(&record)) { toldEvents = &events; }
    ~Recorder() {
        QAccessible::installUpdateHandler(previous_);
        toldEvents = nullptr;
    }
    std::vector<Told> of(QAccessible::Event type) const {
        std::vector<Told> found;
        for (const Told& told : events) {
            if (told.type == type)
                found.push_back(told);
        }
        return found;
    }
    std::vector<Told> events;

private:
    static void record(QAccessibleEvent* event) {
        QAccessibleInterface* iface = event->accessibleInterface();
        if (!iface)
            return;
        QAccessibleInterface* parent = iface->parent();
        toldEvents->push_back({event->type(), QAccessible::uniqueId(iface),
                               iface->text(QAccessible::Name), iface->role(),
                               parent ? parent->indexOfChild(iface) : -1});
    }
    QAccessible::UpdateHandler previous_;
};

class ListAccessibilityTest : public testing_support::InterfaceFixture {
protected:
    ListAccessibilityTest() { QAccessible::setActive(true); }
    ~ListAccessibilityTest() override { QAccessible::setActive(false); }

    const testing_support::ActiveBridge bridge;

    ShortcutListView& shownList() {
        recordWindowCommands();
        makeView();
        expandPanel();
        return *view->shortcutList();
    }
    QAccessibleInterface* listAccessible() {
        return QAccessible::queryAccessibleInterface(view->shortcutList());
    }
    // The list's child with this name.
    QAccessibleInterface* entry(const QString& name) {
        QAccessibleInterface* list = listAccessible();
        for (int i = 0; i < list->childCount(); ++i) {
            if (list->child(i)->text(QAccessible::Name) == name)
                return list->child(i);
        }
        return nullptr;
    }
    void type(const std::string& query) {
        store->query = query;
        drain();
    }
};

TEST_F(ListAccessibilityTest, ShownRowsKeepTheirObjectsAndChangesAreToldOneByOne) {
    shownList();
    QAccessibleInterface* redo = entry("Redo, Shift Command Z");
    ASSERT_TRUE(redo);
    const QAccessible::Id redoID = QAccessible::uniqueId(redo);
    const QAccessible::Id starID = QAccessible::uniqueId(redo->child(1));
    ASSERT_TRUE(entry("Save, Command S"));

    Recorder recorder;
    type("redo");
    // Only the Edit heading and Redo stay: the row and its star are the same
    // objects, and the star still presses.
    ASSERT_EQ(listAccessible()->childCount(), 2);
    EXPECT_EQ(QAccessible::uniqueId(listAccessible()->child(1)), redoID);
    EXPECT_EQ(QAccessible::uniqueId(listAccessible()->child(1)->child(1)), starID);
    QAccessibleInterface* star = QAccessible::accessibleInterface(starID);
    ASSERT_TRUE(star && star->actionInterface());
    star->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    drain();
    EXPECT_TRUE(store->favorites->contains("alpha:redo"));
    EXPECT_EQ(QAccessible::accessibleInterface(starID)->text(QAccessible::Name),
              "Remove Redo from favorites");
    // The star is a toggle, and its flip is told as a state change.
    EXPECT_TRUE(star->state().checkable);
    EXPECT_TRUE(star->state().checked);
    std::vector<unsigned> flipped;
    for (const Told& told : recorder.of(QAccessible::StateChanged)) flipped.push_back(told.id);
    EXPECT_EQ(flipped, std::vector<unsigned>{starID});

    // Every entry asked for before and gone now is told as removed, with no
    // reorder that adds every child again.
    EXPECT_EQ(recorder.of(QAccessible::ObjectReorder).size(), 0u);
    EXPECT_EQ(recorder.of(QAccessible::ObjectDestroyed).size(), 7u);
    EXPECT_EQ(recorder.of(QAccessible::ObjectCreated).size(), 0u);
    std::vector<unsigned> renamed;
    for (const Told& told : recorder.of(QAccessible::NameChanged)) {
        if (told.role == QAccessible::CheckBox)
            renamed.push_back(told.id);
    }
    EXPECT_EQ(renamed, std::vector<unsigned>{starID});

    // Entries that come back are told as added, each at its place.
    recorder.events.clear();
    type("");
    const auto added = recorder.of(QAccessible::ObjectCreated);
    ASSERT_EQ(added.size(), 7u);
    for (const Told& told : added) {
        EXPECT_GE(told.index, 0) << told.name.toStdString();
        EXPECT_EQ(listAccessible()->child(told.index)->text(QAccessible::Name), told.name);
    }
    EXPECT_EQ(QAccessible::uniqueId(entry("Redo, Shift Command Z")), redoID);

    // A language switch renames the same objects.
    recorder.events.clear();
    store->toggleLanguage();
    drain();
    EXPECT_EQ(QAccessible::uniqueId(entry("重做，Shift Command Z")), redoID);
    EXPECT_EQ(recorder.of(QAccessible::ObjectCreated).size(), 0u);
    EXPECT_EQ(recorder.of(QAccessible::ObjectDestroyed).size(), 0u);
    EXPECT_FALSE(recorder.of(QAccessible::NameChanged).empty());
}

TEST_F(ListAccessibilityTest, KeyboardMovesTheCurrentRowAndReachesItsStar) {
    ShortcutListView& list = shownList();
    EXPECT_EQ(list.focusPolicy(), Qt::TabFocus);
    Recorder recorder;
    list.setFocus(Qt::TabFocusReason);
    drain();
    ASSERT_TRUE(list.hasFocus());
    ASSERT_EQ(list.currentRow(), std::make_pair(0, 0));
    auto focused = [&] {
        const auto told = recorder.of(QAccessible::Focus);
        return told.empty() ? QString() : told.back().name;
    };
    EXPECT_EQ(focused(), "Undo, Command Z");
    EXPECT_TRUE(entry("Undo, Command Z")->state().focused);
    EXPECT_EQ(listAccessible()->focusChild(), entry("Undo, Command Z"));

    // Down crosses into the next section; End and Home go to the ends.
    for (int i = 0; i < 3; ++i) QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.currentRow(), std::make_pair(1, 0));
    EXPECT_EQ(focused(), "Zoom in, Command Plus");
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.currentRow(), std::make_pair(2, 0));
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.currentRow(), std::make_pair(2, 0));
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(list.currentRow(), std::make_pair(0, 0));
    QTest::keyClick(&list, Qt::Key_PageDown);
    EXPECT_EQ(list.currentRow(), std::make_pair(2, 0));

    // Space on the row toggles its favourite; Tab reaches the star, whose
    // Space toggles it back; Shift+Tab returns to the row.
    QTest::keyClick(&list, Qt::Key_Space);
    drain();
    EXPECT_TRUE(store->favorites->contains("alpha:save"));
    QTest::keyClick(&list, Qt::Key_Tab);
    EXPECT_TRUE(list.hasFocus());
    EXPECT_TRUE(list.isStarCurrent());
    EXPECT_EQ(focused(), "Remove Save from favorites");
    EXPECT_TRUE(entry("Save, Command S")->child(1)->state().focused);
    QTest::keyClick(&list, Qt::Key_Space);
    drain();
    EXPECT_FALSE(store->favorites->contains("alpha:save"));
    QTest::keyClick(&list, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_FALSE(list.isStarCurrent());
    EXPECT_EQ(focused(), "Save, Command S");

    // When the current row leaves the result, the row in its place is current.
    type("zoom");
    EXPECT_EQ(list.currentRow(), std::make_pair(0, 0));
    EXPECT_EQ(focused(), "Zoom in, Command Plus");
}

TEST_F(ListAccessibilityTest, FocusMarkShowsOnlyForKeyboardFocus) {
    ShortcutListView& list = shownList();
    const QImage plain = list.viewport()->grab().toImage();
    list.setFocus(Qt::MouseFocusReason);
    drain();
    EXPECT_FALSE(list.showsFocusIndicator());
    EXPECT_EQ(list.viewport()->grab().toImage(), plain);
    list.clearFocus();
    list.setFocus(Qt::TabFocusReason);
    drain();
    EXPECT_TRUE(list.showsFocusIndicator());
    EXPECT_NE(list.viewport()->grab().toImage(), plain);
    list.clearFocus();
    drain();
    EXPECT_EQ(list.viewport()->grab().toImage(), plain);
}

TEST_F(ListAccessibilityTest, ToastIsANotificationAnnouncedOnceTheFocusHasSettled) {
    shownList();
    Recorder recorder;
    view->model().showSubmissionToast(SubmissionToastKind::feedback);
    drain();
    SubmissionToastView& toast = *view->toast();
    QAccessibleInterface* notification = QAccessible::queryAccessibleInterface(&toast)->child(0);
    ASSERT_TRUE(notification);
    EXPECT_EQ(notification->role(), QAccessible::Notification);
    EXPECT_EQ(toast.text(), "Feedback sent — thank you");
    // Spoken with a comma's pause, not the dash's name.
    EXPECT_EQ(notification->text(QAccessible::Name), "Feedback sent, thank you");
    // Not yet: the focus may still be on its way back to the panel.
    EXPECT_TRUE(notification->state().invisible);
    EXPECT_TRUE(recorder.of(QAccessible::ObjectShow).empty() ||
                recorder.of(QAccessible::ObjectShow).back().role != QAccessible::Notification);
    drain(1.0);
    EXPECT_FALSE(notification->state().invisible);
    const auto shown = recorder.of(QAccessible::ObjectShow);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().role, QAccessible::Notification);
    EXPECT_EQ(shown.back().name, "Feedback sent, thank you");

    store->toggleLanguage();
    view->model().showSubmissionToast(SubmissionToastKind::softwareRequest);
    drain(1.0);
    EXPECT_EQ(recorder.of(QAccessible::ObjectShow).back().role, QAccessible::Notification);
    EXPECT_EQ(notification->text(QAccessible::Name), toast.text());
    EXPECT_FALSE(toast.text().isEmpty());
}

}  // namespace
}  // namespace corvanta
