// The root view's sheet and toast operations: opening the feedback sheet,
// submitting and dismissing both sheets, and the submission toast's timing.
#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"

namespace corvanta {

void CorvantaView::presentFeedbackDialog() {}
void CorvantaView::submitSoftwareRequest() {}
void CorvantaView::dismissSoftwareRequest() {}
void CorvantaView::submitFeedback() {}
void CorvantaView::dismissFeedbackDialog() {}
void CorvantaView::showSubmissionToast(SubmissionToastKind) {}

}  // namespace corvanta
