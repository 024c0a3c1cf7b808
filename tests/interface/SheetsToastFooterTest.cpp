// The footer, the two submission sheets and the submission toast, driven
// through their controls with a manual main queue.
#include <cmath>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "../catalog/RefusingDefaults.h"
#include "InterfaceFixture.h"
#include "catalog/SettingsKeys.h"
#include "interface/FooterView.h"
#include "interface/SmallControls.h"
#include "interface/SubmissionSheet.h"
#include "interface/SubmissionToastView.h"
#include "interface/TextFace.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;
using testing_support::RefusingDefaults;

nlohmann::json storedList(const platform::UserDefaults& settings, std::string_view key) {
    const auto data = settings.data(key);
    if (!data)
        return nlohmann::json::array();
    return nlohmann::json::parse(data->begin(), data->end());
}

class SheetsTest : public InterfaceFixture {
protected:
    SheetsTest() {
        FooterView::setLogoFile(
            QStringLiteral(CORVANTA_SOURCE_DIR "/resources/images/CorvantaLogo.svg"));
    }

    CorvantaView& expandedView() {
        recordWindowCommands();
        makeView();
        expandPanel();
        return *view;
    }
    SubmissionSheet& feedbackSheet() { return *view->feedbackDialog(); }
    SubmissionSheet& requestSheet() { return *view->softwareRequestDialog(); }
    QPlainTextEdit* message() { return find<QPlainTextEdit>("corvanta.feedback.message"); }
    QLineEdit* name() { return find<QLineEdit>("corvanta.software-request.name"); }

    void openFeedback() {
        view->model().presentFeedbackDialog();
        drain();
    }
    // What the picker's request tile does, without the picker.
    void openRequest(SoftwareGroup group) {
        view->model().update([group](CorvantaViewState& s) {
            s.softwareRequestGroup = group;
            s.showsSoftwareRequest = true;
        });
        drain();
    }
    void ctrlReturn(QWidget* field) {
        QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier);
        drain();
    }
};

TEST_F(SheetsTest, FooterShowsHintsButtonAndBrandInBothLanguages) {
    expandedView();
    FooterView& footer = *view->footer();
    ASSERT_EQ(footer.height(), 35);
    auto texts = [&] {
        QStringList list;
        for (const FooterView::Item& item : footer.items()) list << item.text;
        return list;
    };
    EXPECT_EQ(texts(), QStringList({"Esc", "collapse", "·", "Ctrl K", "search", "", "Corvanta"}));
    EXPECT_EQ(footer.feedbackTitle(), "Feedback");
    auto* button = find<QAbstractButton>("corvanta.feedback.open");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->accessibleName(), "Send product feedback");

    // Padding 14 on both ends; the logo is 12 square; the button sits left of
    // the brand and clear of the hints.
    const auto& items = footer.items();
    EXPECT_DOUBLE_EQ(items.front().frame.left(), 14);
    EXPECT_NEAR(items.back().frame.right(), footer.width() - 14, 0.01);
    EXPECT_EQ(items[5].kind, FooterView::Item::Kind::logo);
    EXPECT_EQ(items[5].frame.size(), QSizeF(12, 12));
    EXPECT_LE(button->geometry().right(), items[5].frame.left() - 12);
    EXPECT_GT(button->geometry().left(), items[4].frame.right());

    store->toggleLanguage();
    drain();
    EXPECT_EQ(texts(), QStringList({"Esc", "收起", "·", "Ctrl K", "搜索", "", "Corvanta"}));
    EXPECT_EQ(footer.feedbackTitle(), "问题反馈");
    EXPECT_EQ(button->accessibleName(), "提交问题反馈");

    // The logo is drawn: the brand's corner holds its colours, not the chrome.
    const QImage image = view->grab().toImage();
    const QPoint logo = footer.mapTo(view.get(), items[5].frame.center().toPoint());
    EXPECT_NE(image.pixelColor(logo), view->model().renderContext().colors.chrome);
}

TEST_F(SheetsTest, FeedbackButtonOpensAnEmptySheetOneTurnLaterAndClosesThePicker) {
    expandedView();
    view->model().update([](CorvantaViewState& s) {
        s.feedbackMessage = "left over";
        s.feedbackContact = "old";
        s.showsSoftwarePicker = true;
        s.softwarePickerChevronExpanded = true;
    });
    drain();
    QTest::mouseClick(find<QAbstractButton>("corvanta.feedback.open"), Qt::LeftButton);
    EXPECT_FALSE(view->model().state().showsSoftwarePicker);
    EXPECT_FALSE(view->model().state().softwarePickerChevronExpanded);
    EXPECT_EQ(view->model().state().feedbackMessage, "");
    EXPECT_EQ(view->model().state().feedbackContact, "");
    EXPECT_FALSE(view->model().state().showsFeedbackDialog);
    queue.runNext();  // the render queued first
    queue.runNext();
    EXPECT_TRUE(view->model().state().showsFeedbackDialog);
    drain();
    ASSERT_TRUE(feedbackSheet().isVisible());
    EXPECT_EQ(message()->toPlainText(), "");
    EXPECT_EQ(find<QPlainTextEdit>("corvanta.feedback.contact")->toPlainText(), "");
    // The focus step has run: the message field holds the keyboard.
    EXPECT_TRUE(view->model().state().feedbackMessageIsFocused);
    EXPECT_EQ(feedbackSheet().focusWidget(), message());
    EXPECT_FALSE(feedbackSheet().submitButton()->isEnabled());

    // The binding runs both ways: focus moved by the user clears the flag,
    // the flag set again brings the focus back.
    find<QWidget>("corvanta.feedback.contact")->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(view->model().state().feedbackMessageIsFocused);
    view->model().set(&CorvantaViewState::feedbackMessageIsFocused, true);
    drain();
    EXPECT_TRUE(message()->hasFocus());
}

TEST_F(SheetsTest, OpeningIsDroppedWhenThePanelCollapsedMeanwhile) {
    expandedView();
    view->model().presentFeedbackDialog();
    store->isExpanded = false;
    drain();
    EXPECT_FALSE(view->model().state().showsFeedbackDialog);
    EXPECT_FALSE(feedbackSheet().isVisible());
}

TEST_F(SheetsTest, SheetIsA380WideModalDialogAtThePanelsTopCentre) {
    expandedView();
    view->move(100, 80);
    drain();
    openFeedback();
    SubmissionSheet& sheet = feedbackSheet();
    EXPECT_TRUE(sheet.isWindow());
    EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet.width(), 380);
    EXPECT_EQ(sheet.geometry().center().x(), view->frameGeometry().center().x());
    EXPECT_EQ(sheet.y(), view->frameGeometry().top());
    view->move(150, 90);
    EXPECT_EQ(sheet.geometry().center().x(), view->frameGeometry().center().x());
    EXPECT_EQ(sheet.y(), 90);

    // Four reserved lines for the message, two for each contact field (9
    // points of padding above and below).
    const double line = QFontMetricsF(message()->font()).lineSpacing();
    const int messageFrame = message()->parentWidget()->height();
    const int contactFrame = find<QWidget>("corvanta.feedback.contact")->parentWidget()->height();
    EXPECT_GE(messageFrame - 18, 4 * line);
    EXPECT_NEAR(messageFrame - 18, 2 * (contactFrame - 18), 1);
    EXPECT_LT(contactFrame - 18, 3 * line);
    EXPECT_EQ(sheet.submitButton()->height(), 38);
    EXPECT_EQ(sheet.submitButton()->width(), 380 - 36);
    // No button is a default button, and only Tab gives one the keyboard.
    for (QAbstractButton* button : sheet.findChildren<QAbstractButton*>())
        EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);

    // Kept on the screen when the panel is near its edge.
    view->move(-300, -50);
    const QRect screen = view->screen()->availableGeometry();
    EXPECT_GE(sheet.x(), screen.left());
    EXPECT_GE(sheet.y(), screen.top());
}

TEST_F(SheetsTest, BlankInputKeepsSubmitDisabledAndStoresNothing) {
    expandedView();
    openFeedback();
    QTest::keyClicks(message(), "   ");
    QTest::keyClick(message(), Qt::Key_Return);
    QTest::keyClicks(message(), "\t");  // moves the focus on, types nothing
    drain();
    EXPECT_FALSE(feedbackSheet().submitButton()->isEnabled());
    ctrlReturn(message());
    QTest::mouseClick(feedbackSheet().submitButton(), Qt::LeftButton);
    drain();
    EXPECT_TRUE(view->model().state().showsFeedbackDialog);
    EXPECT_FALSE(defaults.data(keys::kFeedbackReports));
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
    // Even a direct call refuses a blank message.
    view->model().submitFeedback();
    EXPECT_FALSE(defaults.data(keys::kFeedbackReports));

    QTest::keyClicks(message(), "x");
    EXPECT_TRUE(feedbackSheet().submitButton()->isEnabled());  // at once, before a render
}

TEST_F(SheetsTest, RequestIsTrimmedStoredAndClosesWithItsToast) {
    expandedView();
    openRequest(SoftwareGroup::versionControl);
    ASSERT_TRUE(requestSheet().isVisible());
    EXPECT_EQ(requestSheet().focusWidget(), name());
    QTest::keyClicks(name(), "  GitKraken  ");
    // Return in the name field neither submits nor closes.
    QTest::keyClick(name(), Qt::Key_Return);
    drain();
    EXPECT_TRUE(requestSheet().isVisible());
    EXPECT_EQ(view->model().state().requestedSoftwareName, "  GitKraken  ");
    QTest::keyClicks(find<QPlainTextEdit>("corvanta.software-request.contact"), " me@x.org ");
    drain();
    EXPECT_EQ(view->model().state().requestContact, " me@x.org ");

    ctrlReturn(name());
    const auto list = storedList(defaults, keys::kSoftwareRequests);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["softwareName"], "GitKraken");
    EXPECT_EQ(list[0]["contact"], "me@x.org");
    EXPECT_EQ(list[0]["group"], "versionControl");
    EXPECT_FALSE(requestSheet().isVisible());
    EXPECT_FALSE(view->model().state().showsSoftwareRequest);
    EXPECT_FALSE(view->model().state().softwareRequestGroup);
    EXPECT_EQ(view->model().state().requestedSoftwareName, "");
    EXPECT_EQ(name()->text(), "");
    EXPECT_TRUE(view->model().state().showsSubmissionToast);
    EXPECT_EQ(view->model().state().submissionToastKind, SubmissionToastKind::softwareRequest);

    // A second Ctrl+Return straight after does nothing.
    ctrlReturn(name());
    EXPECT_EQ(storedList(defaults, keys::kSoftwareRequests).size(), 1u);
}

TEST_F(SheetsTest, LongPastedNameIsKeptWholeAndStored) {
    expandedView();
    openRequest(SoftwareGroup::other);
    const QString pasted(100000, QLatin1Char('n'));
    name()->insert(pasted);  // what a paste does
    EXPECT_EQ(view->model().state().requestedSoftwareName.size(), 100000u);
    drain();
    EXPECT_EQ(name()->text().size(), 100000);
    ctrlReturn(name());
    const auto list = storedList(defaults, keys::kSoftwareRequests);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["softwareName"].get<std::string>().size(), 100000u);
}

TEST_F(SheetsTest, ClickingThePanelBehindTheSheetLeavesTheKeyboardWithTheSheet) {
    expandedView();
    openFeedback();
    ASSERT_TRUE(feedbackSheet().isVisible());
    QApplication::setActiveWindow(&feedbackSheet());
    drain();
    ASSERT_TRUE(message()->hasFocus());

    // A click on the panel activates its window, though the sheet blocks it.
    view->window()->activateWindow();
    QApplication::setActiveWindow(view->window());
    drain();
    EXPECT_TRUE(feedbackSheet().isActiveWindow());
    EXPECT_TRUE(message()->hasFocus());
    EXPECT_TRUE(view->model().state().feedbackMessageIsFocused);
    // Typing goes where the keyboard is: into the sheet's field.
    QTest::keyClicks(QApplication::focusWidget(), "typed");
    EXPECT_EQ(view->model().state().feedbackMessage, "typed");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    drain();
    EXPECT_FALSE(view->model().state().showsFeedbackDialog);
}

TEST_F(SheetsTest, RequestWithoutGroupChangesNothing) {
    expandedView();
    view->model().set(&CorvantaViewState::showsSoftwareRequest, true);
    drain();
    QTest::keyClicks(name(), "App");
    drain();
    EXPECT_TRUE(requestSheet().submitButton()->isEnabled());
    QTest::mouseClick(requestSheet().submitButton(), Qt::LeftButton);
    drain();
    EXPECT_TRUE(requestSheet().isVisible());
    EXPECT_EQ(view->model().state().requestedSoftwareName, "App");
    EXPECT_FALSE(defaults.data(keys::kSoftwareRequests));
}

TEST_F(SheetsTest, FeedbackCtrlReturnSubmitsTrimmedMessage) {
    expandedView();
    openFeedback();
    QTest::keyClicks(message(), "  slow list");
    QTest::keyClick(message(), Qt::Key_Return);  // a line break inside the message
    QTest::keyClicks(message(), "on start  ");
    ctrlReturn(message());
    const auto list = storedList(defaults, keys::kFeedbackReports);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["message"], "slow list\non start");
    EXPECT_EQ(list[0]["contact"], "");
    EXPECT_FALSE(feedbackSheet().isVisible());
    EXPECT_EQ(view->model().state().submissionToastKind, SubmissionToastKind::feedback);
    EXPECT_EQ(view->toast()->objectName(), "corvanta.feedback.toast");
    EXPECT_EQ(view->toast()->accessibleName(), "Feedback sent — thank you");
}

TEST_F(SheetsTest, EveryWayOfClosingDiscardsAndAllowsReopening) {
    expandedView();
    auto typeAndCheckOpen = [&] {
        openFeedback();
        ASSERT_TRUE(feedbackSheet().isVisible());
        EXPECT_EQ(message()->toPlainText(), "");
        QTest::keyClicks(message(), "draft");
        QTest::keyClicks(find<QPlainTextEdit>("corvanta.feedback.contact"), "me");
        drain();
    };
    auto expectClosed = [&] {
        drain();
        EXPECT_FALSE(feedbackSheet().isVisible());
        EXPECT_FALSE(view->model().state().showsFeedbackDialog);
        EXPECT_FALSE(view->model().state().feedbackMessageIsFocused);
        EXPECT_EQ(view->model().state().feedbackMessage, "");
        EXPECT_EQ(view->model().state().feedbackContact, "");
        EXPECT_FALSE(defaults.data(keys::kFeedbackReports));
    };
    typeAndCheckOpen();
    QTest::mouseClick(feedbackSheet().closeButton(), Qt::LeftButton);
    expectClosed();
    EXPECT_EQ(feedbackSheet().closeButton()->accessibleName(), "Close");

    typeAndCheckOpen();
    QTest::keyClick(message(), Qt::Key_Escape);
    expectClosed();

    typeAndCheckOpen();
    feedbackSheet().close();  // as the window manager would
    expectClosed();

    typeAndCheckOpen();
    EXPECT_EQ(message()->toPlainText(), "draft");
}

TEST_F(SheetsTest, SheetHidesWithThePanelAndComesBackWithItsText) {
    expandedView();
    openFeedback();
    QTest::keyClicks(message(), "half written");
    drain();

    view->hide();
    EXPECT_FALSE(feedbackSheet().isVisible());
    drain(5);
    EXPECT_TRUE(view->model().state().showsFeedbackDialog);
    view->show();
    drain();
    ASSERT_TRUE(feedbackSheet().isVisible());
    EXPECT_EQ(message()->toPlainText(), "half written");

    // A collapse takes it off screen as well; expanding brings it back.
    store->isExpanded = false;
    drain();
    EXPECT_FALSE(feedbackSheet().isVisible());
    store->isExpanded = true;
    drain();
    EXPECT_TRUE(feedbackSheet().isVisible());
    EXPECT_EQ(message()->toPlainText(), "half written");
    EXPECT_EQ(feedbackSheet().focusWidget(), message());
}

TEST_F(SheetsTest, LanguageSwitchWhileOpenRelabelsEverything) {
    expandedView();
    openRequest(SoftwareGroup::office);
    SubmissionSheet& sheet = requestSheet();
    auto* contact = find<QPlainTextEdit>("corvanta.software-request.contact");
    EXPECT_EQ(sheet.headerLabel()->text(),
              "Tell us which product you need. We’ll add it as soon as possible.");
    EXPECT_EQ(name()->placeholderText(), "Enter the software name");
    EXPECT_EQ(sheet.submitButton()->accessibleName(), "Submit");
    store->toggleLanguage();
    drain();
    EXPECT_EQ(sheet.headerLabel()->text(), "输入您想要的产品名称，我们会尽快补充上架");
    EXPECT_EQ(name()->placeholderText(), "请输入软件名称");
    EXPECT_EQ(contact->placeholderText(),
              "请留下您的联系方式，微信/手机号/邮箱，我们会向您提供反馈结果");
    EXPECT_EQ(sheet.submitButton()->accessibleName(), "提交");
    EXPECT_EQ(sheet.closeButton()->accessibleName(), "关闭");
    QStringList labels;
    for (QLabel* label : sheet.findChildren<QLabel*>())
        if (label->isVisible())
            labels << label->text();
    EXPECT_TRUE(labels.contains("软件名称"));
    EXPECT_TRUE(labels.contains("联系方式（非必填）"));
}

// Field labels keep their size between whole pixels, stay labels for screen
// readers, and still hand the focus to their field.
TEST_F(SheetsTest, FieldLabelsDrawAtTheirTrueSizeAndKeepTheirBuddies) {
    expandedView();
    openRequest(SoftwareGroup::office);
    SubmissionSheet& sheet = requestSheet();
    QLabel* label = nullptr;
    for (QLabel* candidate : sheet.findChildren<QLabel*>())
        if (candidate->text() == "Software name")
            label = candidate;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), name());
    const style::TextFace& face = style::face(style::TextRole::sheetLabel);
    ASSERT_TRUE(face.fractional());
    const double rounded = QFontMetricsF(label->font()).horizontalAdvance(label->text());
    EXPECT_EQ(label->sizeHint().width(), int(std::ceil(face.width(label->text()))));
    EXPECT_LT(label->sizeHint().width(), rounded - 2);

    // The painted ink ends where the true-size text does.
    const QImage image = label->grab().toImage();
    const QColor background = image.pixelColor(image.width() - 1, 0);
    int right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(image.pixelColor(x, y).lightness() - background.lightness()) > 60)
                right = std::max(right, x);
    EXPECT_NEAR(right + 1, face.width(label->text()), 1.5);
}

TEST_F(SheetsTest, SheetColoursFollowTheTheme) {
    expandedView();
    openFeedback();
    QTest::keyClicks(message(), "x");
    drain();
    auto sample = [&] {
        const QImage image = feedbackSheet().grab().toImage();
        const QRect button = feedbackSheet().submitButton()->geometry();
        return std::pair{image.pixelColor(4, 4),
                         image.pixelColor(button.center().x(), button.top() + 3)};
    };
    for (AppTheme theme : {AppTheme::dark, AppTheme::light}) {
        if (store->theme.get() != theme)
            store->toggleTheme();
        drain();
        const ThemeColors& colors = ThemeColors::forTheme(theme);
        const auto [background, button] = sample();
        EXPECT_EQ(background, colors.panel);
        EXPECT_EQ(button, colors.accent);
    }
}

// A store whose settings refuse writes: the sheet stays open with the text.
class RefusedSubmissionTest : public SheetsTest {
protected:
    RefusedSubmissionTest() {
        std::random_device random;
        bundleRoot = std::filesystem::temp_directory_path() /
                     ("corvanta-refused-test-" + std::to_string(random()));
        std::filesystem::create_directories(bundleRoot / "catalog");
        std::ofstream(bundleRoot / "catalog" / "shortcuts-mac.json")
            << testing_support::kInterfaceCatalog;
        refusing.refuses = true;
        recordWindowCommands();
        store = std::make_unique<ShortcutStore>(platform::Bundle(bundleRoot, "org.corvanta.Tests"),
                                                refusing);
        view = std::make_unique<CorvantaView>(*store, commands);
        view->resize(420, 620);
        view->show();
        drain();
        expandPanel();
    }
    ~RefusedSubmissionTest() override {
        view.reset();
        store.reset();
        std::error_code ignored;
        std::filesystem::remove_all(bundleRoot, ignored);
    }
    RefusingDefaults refusing;
    std::filesystem::path bundleRoot;
};

TEST_F(RefusedSubmissionTest, FailureKeepsTheSheetOpenWithAnErrorInBothLanguages) {
    openFeedback();
    SubmissionSheet& sheet = feedbackSheet();
    QTest::keyClicks(message(), "important");
    const int heightBefore = sheet.height();
    ctrlReturn(message());
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(view->model().state().showsFeedbackDialog);
    EXPECT_EQ(message()->toPlainText(), "important");
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
    ASSERT_TRUE(sheet.errorLabel()->isVisible());
    EXPECT_GT(sheet.height(), heightBefore);
    EXPECT_TRUE(sheet.errorLabel()->text().startsWith("Couldn’t save"));
    store->toggleLanguage();
    drain();
    EXPECT_TRUE(sheet.errorLabel()->text().startsWith("未能保存"));

    // Once the settings take the write, the same text goes through.
    refusing.refuses = false;
    QTest::mouseClick(sheet.submitButton(), Qt::LeftButton);
    drain();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(storedList(refusing, keys::kFeedbackReports)[0]["message"], "important");
    EXPECT_TRUE(view->model().state().showsSubmissionToast);
    openFeedback();
    EXPECT_FALSE(sheet.errorLabel()->isVisible());

    // The request sheet takes the same path.
    sheet.close();
    refusing.refuses = true;
    openRequest(SoftwareGroup::office);
    QTest::keyClicks(name(), "Zed");
    ctrlReturn(name());
    EXPECT_TRUE(requestSheet().isVisible());
    EXPECT_TRUE(requestSheet().showsSubmissionError());
    EXPECT_EQ(view->model().state().softwareRequestGroup, SoftwareGroup::office);
    EXPECT_EQ(name()->text(), "Zed");
}

class ToastTest : public SheetsTest {};

TEST_F(ToastTest, OneToastStaysForItsTimeThenLeaves) {
    expandedView();
    view->model().showSubmissionToast(SubmissionToastKind::feedback);
    drain();
    SubmissionToastView& toast = *view->toast();
    EXPECT_TRUE(toast.isVisible());
    EXPECT_TRUE(toast.isPresented());
    EXPECT_EQ(toast.objectName(), "corvanta.feedback.toast");
    drain(1.79);
    EXPECT_TRUE(view->model().state().showsSubmissionToast);
    drain(0.01);
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
    EXPECT_FALSE(view->model().state().toastDismissTask);
    EXPECT_FALSE(toast.isPresented());
    toast.finishSlide();
    EXPECT_FALSE(toast.isVisible());
}

TEST_F(ToastTest, NewerToastReplacesTheOldOneAndRestartsItsTime) {
    expandedView();
    view->model().showSubmissionToast(SubmissionToastKind::feedback);
    drain(1.0);
    view->model().showSubmissionToast(SubmissionToastKind::softwareRequest);
    drain();
    EXPECT_EQ(view->toast()->objectName(), "corvanta.software-request.toast");
    EXPECT_EQ(view->toast()->text(), "Submitted successfully");
    drain(1.79);  // 2.79 s after the first
    EXPECT_TRUE(view->model().state().showsSubmissionToast);
    drain(0.01);
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
}

TEST_F(ToastTest, BurstLeavesExactlyOnePendingDismissal) {
    expandedView();
    std::vector<platform::TaskHandle> handles;
    for (int i = 0; i < 6; ++i) {
        view->model().showSubmissionToast(i % 2 ? SubmissionToastKind::feedback
                                                : SubmissionToastKind::softwareRequest);
        handles.push_back(*view->model().state().toastDismissTask);
        drain(0.3);
    }
    for (std::size_t i = 0; i + 1 < handles.size(); ++i) EXPECT_TRUE(handles[i].isCancelled()) << i;
    EXPECT_FALSE(handles.back().isFinished());
    drain(1.49);  // 1.79 s after the last call
    EXPECT_TRUE(view->model().state().showsSubmissionToast);
    drain(0.01);
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
    EXPECT_TRUE(handles.back().isFinished());
}

TEST_F(ToastTest, HidingThePanelTakesTheToastDown) {
    expandedView();
    view->model().showSubmissionToast(SubmissionToastKind::feedback);
    drain(0.5);
    const platform::TaskHandle pending = *view->model().state().toastDismissTask;
    view->hide();
    EXPECT_TRUE(pending.isCancelled());
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
    EXPECT_FALSE(view->model().state().toastDismissTask);
    view->show();
    drain(3);
    EXPECT_FALSE(view->toast()->isVisible());
    EXPECT_FALSE(view->model().state().showsSubmissionToast);
}

TEST_F(ToastTest, ToastSitsAtTheBottomCentreAndSlidesUpFromBelow) {
    expandedView();
    view->model().showSubmissionToast(SubmissionToastKind::softwareRequest);
    drain();
    SubmissionToastView& toast = *view->toast();
    // It starts below its resting place and slides up.
    EXPECT_GT(toast.y(), toast.restingGeometry().y());
    toast.finishSlide();
    EXPECT_EQ(toast.geometry(), toast.restingGeometry());
    EXPECT_EQ(toast.height(), 32);
    EXPECT_EQ(view->height() - toast.geometry().bottom() - 1, 47);
    EXPECT_NEAR(toast.geometry().center().x(), view->width() / 2.0, 1);

    const ThemeColors& colors = view->model().renderContext().colors;
    const QImage image = toast.grab().toImage();
    EXPECT_EQ(image.pixelColor(toast.width() - 6, toast.height() / 2), colors.surfaceRaised);
    EXPECT_EQ(image.pixelColor(toast.width() / 2, 0), colors.border);

    store->isExpanded = false;
    drain();
    EXPECT_EQ(view->height() - toast.geometry().bottom() - 1, 10);
}

}  // namespace
}  // namespace corvanta
