// Pasting into every text field of the panel, the picker and the sheets when
// the clipboard holds nothing, only an image, or text.
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

#include "InterfaceFixture.h"
#include "interface/PasteSafe.h"
#include "interface/SoftwarePickerPopover.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;

QString textOf(QWidget* field) {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return line->text();
    return qobject_cast<QPlainTextEdit*>(field)->toPlainText();
}

// The clipboards a user can have: one another application emptied (data
// without any format), one never filled, and one holding only an image.
std::vector<std::function<void()>> clipboardsWithoutText() {
    return {
        [] { QGuiApplication::clipboard()->setMimeData(new QMimeData); },
        [] { QGuiApplication::clipboard()->clear(); },
        [] {
            QImage image(4, 4, QImage::Format_ARGB32);
            image.fill(Qt::red);
            QGuiApplication::clipboard()->setImage(image);
        },
    };
}

class PasteTest : public InterfaceFixture {
protected:
    ~PasteTest() override { QGuiApplication::clipboard()->clear(); }

    // Types into the field, pastes each clipboard without text with both paste
    // keys, then pastes text: only the text is added.
    void expectPastesOnlyText(QWidget* field) {
        ASSERT_NE(field, nullptr);
        SCOPED_TRACE(field->objectName().toStdString());
        QTest::keyClicks(field, "kept");
        drain();
        for (const auto& fill : clipboardsWithoutText()) {
            fill();
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
            drain();
            EXPECT_EQ(textOf(field), QStringLiteral("kept"));
        }
        // A selection is not replaced by nothing.
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->setMimeData(new QMimeData);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        drain();
        EXPECT_EQ(textOf(field), QStringLiteral("kept"));
        QTest::keyClick(field, Qt::Key_End);
        QGuiApplication::clipboard()->setText(QStringLiteral(" 粘贴"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        drain();
        EXPECT_EQ(textOf(field), QStringLiteral("kept 粘贴"));
    }
};

TEST_F(PasteTest, SheetFieldsTakeOnlyText) {
    makeView();
    expandPanel();
    view->model().presentFeedbackDialog();
    drain();
    expectPastesOnlyText(find<QPlainTextEdit>("corvanta.feedback.message"));
    expectPastesOnlyText(find<QPlainTextEdit>("corvanta.feedback.contact"));
    view->model().update([](CorvantaViewState& s) {
        s.showsFeedbackDialog = false;
        s.softwareRequestGroup = SoftwareGroup::office;
        s.showsSoftwareRequest = true;
    });
    drain();
    expectPastesOnlyText(find<QLineEdit>("corvanta.software-request.name"));
    expectPastesOnlyText(find<QPlainTextEdit>("corvanta.software-request.contact"));
}

TEST_F(PasteTest, SearchFieldsTakeOnlyText) {
    makeView();
    expandPanel();
    expectPastesOnlyText(find<QLineEdit>("corvanta.search"));
    find<QLineEdit>("corvanta.search")->clear();
    drain();
    view->model().set(&CorvantaViewState::showsSoftwarePicker, true);
    drain();
    QTest::mouseClick(view->softwarePicker()->searchButton(), Qt::LeftButton);
    drain();
    expectPastesOnlyText(
        view->softwarePicker()->findChild<QLineEdit*>("corvanta.software-picker.search"));
}

// The middle button inserts the primary selection's data without asking
// for it first; data without a format must leave the field as it is.
TEST(PasteSafeTextAreaTest, DataWithoutAnyFormatInsertsNothing) {
    struct Area : PasteSafeTextArea {
        using PasteSafeTextArea::canInsertFromMimeData;
        using PasteSafeTextArea::insertFromMimeData;
    } area;
    area.setPlainText(QStringLiteral("kept"));
    const QMimeData empty;
    EXPECT_FALSE(area.canInsertFromMimeData(&empty));
    area.insertFromMimeData(&empty);
    area.insertFromMimeData(nullptr);
    EXPECT_EQ(area.toPlainText(), QStringLiteral("kept"));
}

TEST_F(PasteTest, PastedMegabyteIsSearchedWholeWhileTheFieldShowsAWindow) {
    makeView();
    expandPanel();
    auto* field = find<QLineEdit>("corvanta.search");
    QString words;
    while (words.size() < 1'000'000) words += QStringLiteral("zoom ");
    QGuiApplication::clipboard()->setText(words);
    QTest::keyClicks(field, "a");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(field, "in");
    drain();
    EXPECT_EQ(store->query.get(), "a" + words.toStdString() + "in");
    EXPECT_LE(field->text().size(), 4096);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    drain();
    EXPECT_EQ(store->query.get(), "");

    // The request sheet's name field keeps the whole name the same way.
    view->model().update([](CorvantaViewState& s) {
        s.softwareRequestGroup = SoftwareGroup::office;
        s.showsSoftwareRequest = true;
    });
    drain();
    auto* name = find<QLineEdit>("corvanta.software-request.name");
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(name, "x");
    drain();
    EXPECT_EQ(view->model().state().requestedSoftwareName, words.toStdString() + "x");
    EXPECT_LE(name->text().size(), 4096);
}

}  // namespace
}  // namespace corvanta
