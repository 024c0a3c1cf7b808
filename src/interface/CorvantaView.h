// The panel's root view. It owns every piece of interface state, switches
// between the collapsed bar and the expanded panel, and renders its areas from
// the store and that state: a store announcement or a state write schedules
// one render on the next event-loop turn, however many writes came first.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "catalog/SoftwareGroupSection.h"
#include "interface/CorvantaViewState.h"
#include "interface/RenderContext.h"
#include "interface/WindowCommands.h"
#include "platform/foundation/Signal.h"

namespace corvanta {

class CategoryTabsView;
class CorvantaViewTransitionHost;
class CollapsedBar;
class ExpansionTransition;
class FooterView;
class HeaderView;
class ResultBarView;
class ShortcutListView;
class ShortcutStore;
class SoftwarePickerPopover;
class SubmissionSheet;
class SubmissionToastView;
class ToolbarView;
struct SoftwarePack;
struct SoftwarePickerEntry;

class CorvantaView final : public QWidget {
    Q_OBJECT
public:
    CorvantaView(ShortcutStore& store, WindowCommands& commands, QWidget* parent = nullptr);
    ~CorvantaView() override;

    ShortcutStore& store() const { return store_; }
    WindowCommands& commands() const { return commands_; }
    const CorvantaViewState& state() const { return state_; }
    RenderContext renderContext() const;
    // The picker and the sheets open only over an expanded panel that is not
    // moving; an opening queued before a collapse began is dropped.
    bool acceptsOverlays() const;

    // Writes one state field; nothing happens when the value is unchanged.
    template <class T, class V>
    void set(T CorvantaViewState::*field, V&& value) {
        if (state_.*field == value)
            return;
        state_.*field = std::forward<V>(value);
        stateChanged();
    }
    // Several fields at once; one render follows.
    void update(const std::function<void(CorvantaViewState&)>& change);
    // The collapsed bar's content opacity, animated on screen when asked.
    void setCollapsedContentOpacity(double opacity, std::optional<StateAnimation> animation);

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
    // Picker tiles.
    void selectSoftwareFromPicker(const SoftwarePack& software);
    void presentSoftwareRequest(SoftwareGroup group);

    // Sheets.
    void submitSoftwareRequest();
    void dismissSoftwareRequest();
    void submitFeedback();
    void dismissFeedbackDialog();

    // Toast.
    void showSubmissionToast(SubmissionToastKind kind);

    // The areas. The expanded panel's areas, the picker and the sheets are
    // built the first time they are needed (or asked for here), so start-up
    // pays only for the collapsed bar.
    CollapsedBar* collapsedBar() const { return collapsedBar_; }
    HeaderView* header();
    ToolbarView* toolbar();
    CategoryTabsView* categoryTabs();
    ResultBarView* resultBar();
    ShortcutListView* shortcutList();
    FooterView* footer();
    SubmissionToastView* toast() const { return toast_; }
    SoftwarePickerPopover* softwarePicker();
    SubmissionSheet* softwareRequestDialog();
    SubmissionSheet* feedbackDialog();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void stateChanged();
    void render();
    void layoutAreas();
    void ensureExpandedAreas();
    void installKeyboardCommands();

    ShortcutStore& store_;
    WindowCommands& commands_;
    CorvantaViewState state_;
    std::unique_ptr<CorvantaViewTransitionHost> transitionHost_;
    std::unique_ptr<ExpansionTransition> transition_;
    bool renderScheduled_ = false;
    int renderCount_ = 0;
    int lastEscapeRequestID_ = 0;
    int lastDismissSearchRequestID_ = 0;
    bool lastExpanded_ = false;
    std::optional<AppTheme> paintedTheme_;

    CollapsedBar* collapsedBar_ = nullptr;
    QWidget* expandedPanel_ = nullptr;
    HeaderView* header_ = nullptr;
    ToolbarView* toolbar_ = nullptr;
    CategoryTabsView* categoryTabs_ = nullptr;
    ResultBarView* resultBar_ = nullptr;
    ShortcutListView* shortcutList_ = nullptr;
    FooterView* footer_ = nullptr;
    SubmissionToastView* toast_ = nullptr;
    SoftwarePickerPopover* softwarePicker_ = nullptr;
    SubmissionSheet* softwareRequestDialog_ = nullptr;
    SubmissionSheet* feedbackDialog_ = nullptr;

    std::vector<platform::Connection> connections_;
};

}  // namespace corvanta
