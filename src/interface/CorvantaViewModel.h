// The panel's interface state and every operation on it, below all widgets:
// toggles, presentations, submissions, focus commands and the texts derived
// from state. Every write goes through a setter or an operation and schedules
// one render on the next event-loop turn, however many writes came first.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "catalog/SoftwareGroupSection.h"
#include "interface/CorvantaViewState.h"
#include "interface/RenderContext.h"
#include "interface/WindowCommands.h"
#include "platform/foundation/Signal.h"

namespace corvanta {

class ExpansionTransition;
class ShortcutStore;
struct SoftwarePack;
struct SoftwarePickerEntry;

class CorvantaViewModel final : public QObject, public RenderContextSource {
public:
    CorvantaViewModel(ShortcutStore& store, WindowCommands& commands);
    ~CorvantaViewModel() override;

    ShortcutStore& store() const { return store_; }
    WindowCommands& commands() const { return commands_; }
    const CorvantaViewState& state() const { return state_; }
    RenderContext renderContext() const override;
    // The picker and the sheets open only over an expanded panel that is not
    // moving; an opening queued before a collapse began is dropped.
    bool acceptsOverlays() const;

    // Writes one state field; nothing happens when the value is unchanged.
    template <class T, class V>
    void set(T CorvantaViewState::*field, V&& value) {
        if (state_.*field == value)
            return;
        const bool showedPicker = state_.showsSoftwarePicker;
        state_.*field = std::forward<V>(value);
        stateChanged(showedPicker);
    }
    // Several fields at once; one render follows.
    void update(const std::function<void(CorvantaViewState&)>& change);
    // The collapsed bar's content opacity, animated on screen when asked.
    void setCollapsedContentOpacity(double opacity, std::optional<StateAnimation> animation);

    // The render itself belongs to the view that draws; it is told here.
    std::function<void()> onRender;
    // The collapsed bar's fade, run by the view that owns the bar.
    std::function<void(double, std::optional<StateAnimation>)> onCollapsedContentOpacity;
    // Renders on the next turn (once, however often it is called).
    void scheduleRender();
    // Runs a scheduled render now (tests and benchmarks).
    void renderNow();
    int renderCount() const { return renderCount_; }

    // Derived texts and symbols.
    AppTheme selectedColorScheme() const;
    const char* expansionToggleIcon() const;
    QString expansionToggleAccessibilityLabel() const;
    QString submissionToastText() const;

    // Ctrl+K and Ctrl+F: focus the search field, expanding the panel first.
    void focusSearchCommand();

    // Expand and collapse (the machine lives in ExpansionTransition).
    void toggleExpansion();
    void handleEscape();
    void expand(bool focusSearchAfterExpansion);
    void collapse();
    ExpansionTransition& transition() { return *transition_; }

    // Header.
    void toggleSoftwarePicker();
    void setSoftwarePickerChevronExpanded(bool expanded);
    void togglePin();
    void closeWindow();

    // Footer.
    void presentFeedbackDialog();

    // Pack picker matching and grid.
    std::vector<SoftwareGroupSection> filteredSoftwarePickerSections() const;
    bool softwareMatchesPickerQuery(const SoftwarePack& software) const;
    int softwarePickerMatchCount() const;
    std::vector<std::vector<SoftwarePickerEntry>> softwarePickerRows(
        const SoftwareGroupSection& section, bool includesAddButton) const;
    // Picker tiles and its search box.
    void selectSoftwareFromPicker(const SoftwarePack& software);
    void presentSoftwareRequest(SoftwareGroup group);
    void activateSoftwarePickerSearch();
    void clearSoftwarePickerSearch();
    // The popup went away (Escape, an outside click or a closing action): the
    // state follows at once, the chevron included.
    void softwarePickerDidClose();

    // Sheets.
    void submitSoftwareRequest();
    void dismissSoftwareRequest();
    void submitFeedback();
    void dismissFeedbackDialog();

    // Toast.
    void showSubmissionToast(SubmissionToastKind kind);

    // The panel went off screen: a toast must not outlive it.
    void panelDidHide();

private:
    class TransitionHost;
    void stateChanged(bool showedPicker);
    void runTurn();
    // Overlays that can no longer be shown are closed before a render.
    void dropUnwantedOverlays();

    ShortcutStore& store_;
    WindowCommands& commands_;
    CorvantaViewState state_;
    std::unique_ptr<TransitionHost> transitionHost_;
    std::unique_ptr<ExpansionTransition> transition_;
    bool renderScheduled_ = false;
    int renderCount_ = 0;
    std::vector<platform::Connection> connections_;
};

}  // namespace corvanta
