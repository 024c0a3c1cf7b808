// Every piece of interface state: picker, sheets, toast, transition flags and
// focus. Written only through CorvantaViewModel's setters and operations.
#pragma once

#include <optional>
#include <string>

#include "catalog/SoftwareGroup.h"
#include "platform/qt/TaskHandle.h"

namespace corvanta {

enum class SubmissionToastKind { softwareRequest, feedback };

struct CorvantaViewState {
    bool showsSoftwarePicker = false;
    bool softwarePickerChevronExpanded = false;
    std::string softwarePickerQuery;
    bool softwarePickerSearchIsActive = false;
    double collapsedContentOpacity = 1.0;
    bool isWindowTransitioning = false;
    std::optional<bool> transitionTargetExpanded;
    std::optional<bool> pendingExpandedState;
    bool pendingSearchFocus = false;
    bool showsSoftwareRequest = false;
    std::optional<SoftwareGroup> softwareRequestGroup;
    std::string requestedSoftwareName;
    std::string requestContact;
    // A submission the settings store refused: the sheet keeps the text and
    // says so until it closes or a later submission succeeds.
    bool softwareRequestFailed = false;
    bool showsFeedbackDialog = false;
    std::string feedbackMessage;
    std::string feedbackContact;
    bool feedbackFailed = false;
    bool showsSubmissionToast = false;
    SubmissionToastKind submissionToastKind = SubmissionToastKind::softwareRequest;
    std::optional<platform::TaskHandle> toastDismissTask;
    bool searchIsFocused = false;
    bool softwarePickerSearchIsFocused = false;
    bool requestNameIsFocused = false;
    bool feedbackMessageIsFocused = false;
};

// An animation for a state change; absent means the value is set directly.
struct StateAnimation {
    enum class Curve { easeOut, easeIn };
    double seconds = 0;
    Curve curve = Curve::easeOut;
};

}  // namespace corvanta
