// The interface model's sheet and toast operations: opening the feedback sheet,
// submitting and dismissing both sheets, and the submission toast's timing.
#include <QPointer>

#include "catalog/ShortcutStore.h"
#include "interface/CorvantaViewModel.h"
#include "platform/foundation/Text.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

namespace {

constexpr double kToastSeconds = 1.8;

}  // namespace

void CorvantaViewModel::presentFeedbackDialog() {
    // Every opening starts with an empty form; an open picker closes at once.
    update([](CorvantaViewState& s) {
        s.feedbackMessage.clear();
        s.feedbackContact.clear();
        s.feedbackMessageIsFocused = false;
        s.feedbackFailed = false;
        s.showsSoftwarePicker = false;
        s.softwarePickerChevronExpanded = false;
    });
    QPointer<CorvantaViewModel> self(this);
    platform::MainQueue::shared().post([self] {
        // The panel may have started to collapse (or gone) in the meantime; a
        // sheet is only opened over an expanded, settled panel.
        if (!self || !self->acceptsOverlays())
            return;
        self->set(&CorvantaViewState::showsFeedbackDialog, true);
    });
}

void CorvantaViewModel::submitSoftwareRequest() {
    const std::string name = text::trimmed(state_.requestedSoftwareName);
    if (name.empty() || !state_.softwareRequestGroup)
        return;
    if (!store_.submitSoftwareRequest(name, state_.requestContact, *state_.softwareRequestGroup)) {
        // Nothing was kept: the sheet stays open with what the user typed.
        set(&CorvantaViewState::softwareRequestFailed, true);
        return;
    }
    dismissSoftwareRequest();
    showSubmissionToast(SubmissionToastKind::softwareRequest);
}

void CorvantaViewModel::dismissSoftwareRequest() {
    update([](CorvantaViewState& s) {
        s.requestNameIsFocused = false;
        s.softwareRequestFailed = false;
        s.showsSoftwareRequest = false;
        s.softwareRequestGroup.reset();
        s.requestedSoftwareName.clear();
        s.requestContact.clear();
    });
}

void CorvantaViewModel::submitFeedback() {
    const std::string message = text::trimmed(state_.feedbackMessage);
    if (message.empty())
        return;
    if (!store_.submitFeedback(message, state_.feedbackContact)) {
        set(&CorvantaViewState::feedbackFailed, true);
        return;
    }
    dismissFeedbackDialog();
    showSubmissionToast(SubmissionToastKind::feedback);
}

void CorvantaViewModel::dismissFeedbackDialog() {
    update([](CorvantaViewState& s) {
        s.feedbackMessageIsFocused = false;
        s.feedbackFailed = false;
        s.showsFeedbackDialog = false;
        s.feedbackMessage.clear();
        s.feedbackContact.clear();
    });
}

void CorvantaViewModel::showSubmissionToast(SubmissionToastKind kind) {
    QPointer<CorvantaViewModel> self(this);
    // A cancelled dismissal never runs, so it cannot hide a newer toast or
    // clear the newer handle.
    platform::TaskHandle dismissal = platform::MainQueue::shared().postAfter(kToastSeconds, [self] {
        if (!self)
            return;
        self->update([](CorvantaViewState& s) {
            s.showsSubmissionToast = false;
            s.toastDismissTask.reset();
        });
    });
    update([&](CorvantaViewState& s) {
        if (s.toastDismissTask)
            s.toastDismissTask->cancel();
        s.submissionToastKind = kind;
        s.showsSubmissionToast = true;
        s.toastDismissTask = dismissal;
    });
}

}  // namespace corvanta
