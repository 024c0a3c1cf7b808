// The panel's interface state and operations; see CorvantaViewModel.h.
#include "interface/CorvantaViewModel.h"

#include <QPointer>

#include "catalog/ShortcutStore.h"
#include "interface/ExpansionTransition.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

// Lets the transition machine write the state through the model's setters.
class CorvantaViewModel::TransitionHost final : public ExpansionTransition::Host {
public:
    explicit TransitionHost(CorvantaViewModel& model) : model_(model) {}
    const CorvantaViewState& state() const override { return model_.state(); }
    void update(const std::function<void(CorvantaViewState&)>& change) override {
        model_.update(change);
    }
    void setCollapsedContentOpacity(double opacity,
                                    std::optional<StateAnimation> animation) override {
        model_.setCollapsedContentOpacity(opacity, animation);
    }

private:
    CorvantaViewModel& model_;
};

CorvantaViewModel::CorvantaViewModel(ShortcutStore& store, WindowCommands& commands)
    : store_(store), commands_(commands) {
    transitionHost_ = std::make_unique<TransitionHost>(*this);
    transition_ = std::make_unique<ExpansionTransition>(*transitionHost_, store_, commands_);

    connections_.push_back(store_.objectWillChange.connect([this] { scheduleRender(); }));
    // The counters announce before they store; each change is one request,
    // acted on once the new value is in.
    QPointer<CorvantaViewModel> self(this);
    connections_.push_back(store_.escapeRequestID.willSet.connect([self](int) {
        platform::MainQueue::shared().post([self] {
            if (self)
                self->handleEscape();
        });
    }));
    connections_.push_back(store_.dismissSearchRequestID.willSet.connect([self](int) {
        platform::MainQueue::shared().post([self] {
            if (self)
                self->set(&CorvantaViewState::searchIsFocused, false);
        });
    }));
}

CorvantaViewModel::~CorvantaViewModel() {
    connections_.clear();
    if (state_.toastDismissTask)
        state_.toastDismissTask->cancel();
}

RenderContext CorvantaViewModel::renderContext() const {
    const AppTheme theme = store_.theme.get();
    return RenderContext{store_,
                         state_,
                         ThemeColors::forTheme(theme),
                         store_.language.get(),
                         theme,
                         acceptsOverlays(),
                         expansionToggleIcon(),
                         expansionToggleAccessibilityLabel(),
                         submissionToastText()};
}

bool CorvantaViewModel::acceptsOverlays() const {
    return store_.isExpanded.get() && !state_.isWindowTransitioning;
}

void CorvantaViewModel::update(const std::function<void(CorvantaViewState&)>& change) {
    const bool showedPicker = state_.showsSoftwarePicker;
    change(state_);
    stateChanged(showedPicker);
}

void CorvantaViewModel::setCollapsedContentOpacity(double opacity,
                                                   std::optional<StateAnimation> animation) {
    state_.collapsedContentOpacity = opacity;
    if (onCollapsedContentOpacity)
        onCollapsedContentOpacity(opacity, animation);
    stateChanged(state_.showsSoftwarePicker);
}

void CorvantaViewModel::stateChanged(bool showedPicker) {
    // The chevron follows every change of the popover flag, whoever made it,
    // and the picker's search lives only as long as one opening.
    if (state_.showsSoftwarePicker != showedPicker) {
        state_.softwarePickerChevronExpanded = state_.showsSoftwarePicker;
        state_.softwarePickerQuery.clear();
        state_.softwarePickerSearchIsActive = false;
        state_.softwarePickerSearchIsFocused = false;
    }
    scheduleRender();
}

void CorvantaViewModel::scheduleRender() {
    if (renderScheduled_)
        return;
    renderScheduled_ = true;
    QPointer<CorvantaViewModel> self(this);
    platform::MainQueue::shared().post([self] {
        if (self && self->renderScheduled_)
            self->runTurn();
    });
}

void CorvantaViewModel::renderNow() {
    if (renderScheduled_)
        runTurn();
}

void CorvantaViewModel::runTurn() {
    dropUnwantedOverlays();
    renderScheduled_ = false;
    ++renderCount_;
    if (onRender)
        onRender();
}

void CorvantaViewModel::dropUnwantedOverlays() {
    // An opening queued before the panel collapsed or began to move is
    // dropped, and the chevron turns back.
    if (state_.showsSoftwarePicker && !acceptsOverlays())
        softwarePickerDidClose();
}

void CorvantaViewModel::panelDidHide() {
    if (!state_.toastDismissTask && !state_.showsSubmissionToast)
        return;
    update([](CorvantaViewState& state) {
        if (state.toastDismissTask)
            state.toastDismissTask->cancel();
        state.toastDismissTask.reset();
        state.showsSubmissionToast = false;
    });
}

void CorvantaViewModel::focusSearchCommand() {
    if (store_.isExpanded.get())
        set(&CorvantaViewState::searchIsFocused, true);
    else
        expand(true);
}

AppTheme CorvantaViewModel::selectedColorScheme() const {
    return store_.theme.get() == AppTheme::light ? AppTheme::light : AppTheme::dark;
}

const char* CorvantaViewModel::expansionToggleIcon() const {
    const bool target = state_.transitionTargetExpanded.value_or(store_.isExpanded.get());
    return target ? "chevron.up" : "chevron.down";
}

QString CorvantaViewModel::expansionToggleAccessibilityLabel() const {
    const bool target = state_.transitionTargetExpanded.value_or(store_.isExpanded.get());
    const bool zh = store_.language.get() == AppLanguage::zh;
    if (target)
        return zh ? QStringLiteral("收起快捷键面板") : QStringLiteral("Collapse shortcut panel");
    return zh ? QStringLiteral("展开快捷键面板") : QStringLiteral("Expand shortcut panel");
}

QString CorvantaViewModel::submissionToastText() const {
    const bool zh = store_.language.get() == AppLanguage::zh;
    if (state_.submissionToastKind == SubmissionToastKind::feedback)
        return zh ? QStringLiteral("反馈已提交，感谢你的帮助")
                  : QStringLiteral("Feedback sent — thank you");
    return zh ? QStringLiteral("提交成功") : QStringLiteral("Submitted successfully");
}

void CorvantaViewModel::toggleExpansion() {
    transition_->toggleExpansion();
}
void CorvantaViewModel::handleEscape() {
    transition_->handleEscape();
}
void CorvantaViewModel::expand(bool focusSearchAfterExpansion) {
    transition_->expand(focusSearchAfterExpansion);
}
void CorvantaViewModel::collapse() {
    transition_->collapse();
}

void CorvantaViewModel::togglePin() {
    const bool pinned = !store_.isPinned.get();
    store_.setPinned(pinned);
    if (commands_.setPinned)
        commands_.setPinned(pinned);
}

void CorvantaViewModel::closeWindow() {
    if (commands_.closeWindow)
        commands_.closeWindow();
}

}  // namespace corvanta
