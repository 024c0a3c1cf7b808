// The expand/collapse machine; see ExpansionTransition.h.
#include "interface/ExpansionTransition.h"

#include <utility>

#include "catalog/ShortcutStore.h"
#include "interface/WindowCommands.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {
namespace {

constexpr StateAnimation kContentFadeOut{0.18, StateAnimation::Curve::easeOut};
constexpr StateAnimation kContentFadeIn{0.14, StateAnimation::Curve::easeOut};
// The expanded face appears a moment after the window has reached its size,
// so it is never drawn squeezed into the last frames of the animation.
constexpr double kExpansionFinishDelay = 0.04;

// A window completion that runs at most once. The window may stop or destroy
// its animation without calling it; when the last copy is dropped uncalled,
// the completion is posted instead, so a transition can never stay running.
class CompletionOnce {
public:
    CompletionOnce(platform::MainQueue& queue, std::weak_ptr<const bool> owner,
                   std::function<void()> work)
        : queue_(queue), owner_(std::move(owner)), work_(std::move(work)) {}
    CompletionOnce(const CompletionOnce&) = delete;
    CompletionOnce& operator=(const CompletionOnce&) = delete;
    ~CompletionOnce() {
        // With the machine gone there is nothing left to finish.
        if (work_ && !owner_.expired())
            queue_.post(std::move(work_));
    }

    void run() {
        if (auto work = std::exchange(work_, nullptr))
            work();
    }

private:
    platform::MainQueue& queue_;
    std::weak_ptr<const bool> owner_;
    std::function<void()> work_;
};

}  // namespace

class ExpansionTransition::Impl {
public:
    Impl(Host& host, ShortcutStore& store, WindowCommands& commands)
        : host(host), store(store), commands(commands) {}

    bool isIdle() const { return !host.state().isWindowTransitioning; }

    void expand(bool focusSearchAfterExpansion) {
        if (!isIdle()) {
            host.update([focusSearchAfterExpansion](CorvantaViewState& s) {
                s.pendingSearchFocus = s.pendingSearchFocus || focusSearchAfterExpansion;
                if (s.transitionTargetExpanded == true)
                    s.pendingExpandedState.reset();  // drops a queued collapse
                else
                    s.pendingExpandedState = true;
            });
            return;
        }
        host.update([](CorvantaViewState& s) {
            s.isWindowTransitioning = true;
            s.transitionTargetExpanded = true;
        });
        host.setCollapsedContentOpacity(0, kContentFadeOut);
        callWindow(true, [this, focusSearchAfterExpansion] {
            postAfter(kExpansionFinishDelay, [this, focusSearchAfterExpansion] {
                finishExpansion(focusSearchAfterExpansion);
            });
        });
    }

    void finishExpansion(bool focusSearchAfterExpansion) {
        store.isExpanded = true;
        host.update([](CorvantaViewState& s) {
            s.isWindowTransitioning = false;
            s.transitionTargetExpanded.reset();
        });
        const CorvantaViewState& s = host.state();
        if ((focusSearchAfterExpansion || s.pendingSearchFocus) &&
            s.pendingExpandedState.value_or(true))
            post([this] { focusSearchIfStillExpanded(); });
        if (!s.pendingExpandedState)
            host.update([](CorvantaViewState& state) { state.pendingSearchFocus = false; });
        runPendingWindowTransition();
    }

    // A turn has passed since the expansion ended; a collapse may have started
    // meanwhile, and a collapsed or moving panel must not take the focus.
    void focusSearchIfStillExpanded() {
        if (!store.isExpanded.get() || !isIdle())
            return;
        host.update([](CorvantaViewState& s) { s.searchIsFocused = true; });
    }

    void collapse() {
        if (!isIdle()) {
            host.update([](CorvantaViewState& s) {
                if (s.transitionTargetExpanded == false)
                    s.pendingExpandedState.reset();  // drops a queued expansion
                else
                    s.pendingExpandedState = false;
                s.pendingSearchFocus = false;
            });
            return;
        }
        host.update([](CorvantaViewState& s) {
            s.isWindowTransitioning = true;
            s.transitionTargetExpanded = false;
            s.searchIsFocused = false;
            s.showsSoftwarePicker = false;
            s.softwarePickerChevronExpanded = false;
        });
        store.isExpanded = false;
        host.setCollapsedContentOpacity(0, std::nullopt);
        post([this] { callWindow(false, [this] { finishCollapse(); }); });
    }

    void finishCollapse() {
        // An expansion that follows keeps the content hidden.
        if (host.state().pendingExpandedState == true)
            host.setCollapsedContentOpacity(0, std::nullopt);
        else
            host.setCollapsedContentOpacity(1, kContentFadeIn);
        host.update([](CorvantaViewState& s) {
            s.isWindowTransitioning = false;
            s.transitionTargetExpanded.reset();
        });
        runPendingWindowTransition();
    }

    void runPendingWindowTransition() {
        const CorvantaViewState& s = host.state();
        if (!s.pendingExpandedState)
            return;
        const bool expanded = *s.pendingExpandedState;
        const bool focus = s.pendingSearchFocus;
        host.update([](CorvantaViewState& state) {
            state.pendingExpandedState.reset();
            state.pendingSearchFocus = false;
        });
        post([this, expanded, focus] {
            if (expanded)
                expand(focus);
            else
                collapse();
        });
    }

    // Hands the window its completion, guarded to run exactly once; without a
    // window the completion runs now.
    void callWindow(bool expanded, std::function<void()> completion) {
        auto once = std::make_shared<CompletionOnce>(platform::MainQueue::shared(), alive_,
                                                     whileAlive(std::move(completion)));
        if (commands.setExpanded)
            commands.setExpanded(expanded, [once] { once->run(); });
        else
            once->run();
    }

    void post(std::function<void()> step) {
        platform::MainQueue::shared().post(whileAlive(std::move(step)));
    }
    void postAfter(double seconds, std::function<void()> step) {
        platform::MainQueue::shared().postAfter(seconds, whileAlive(std::move(step)));
    }
    // Deferred steps and window completions may outlive the machine.
    std::function<void()> whileAlive(std::function<void()> step) const {
        return [alive = std::weak_ptr<const bool>(alive_), step = std::move(step)] {
            if (!alive.expired())
                step();
        };
    }

    Host& host;
    ShortcutStore& store;
    WindowCommands& commands;

private:
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

ExpansionTransition::ExpansionTransition(Host& host, ShortcutStore& store, WindowCommands& commands)
    : impl_(std::make_unique<Impl>(host, store, commands)) {}

ExpansionTransition::~ExpansionTransition() = default;

void ExpansionTransition::toggleExpansion() {
    const bool target =
        impl_->host.state().transitionTargetExpanded.value_or(impl_->store.isExpanded.get());
    if (target)
        impl_->collapse();
    else
        impl_->expand(false);
}

void ExpansionTransition::handleEscape() {
    const CorvantaViewState& s = impl_->host.state();
    if (impl_->store.isExpanded.get() || s.transitionTargetExpanded == true ||
        s.pendingExpandedState == true)
        impl_->collapse();
}

void ExpansionTransition::expand(bool focusSearchAfterExpansion) {
    impl_->expand(focusSearchAfterExpansion);
}

void ExpansionTransition::collapse() {
    impl_->collapse();
}

void ExpansionTransition::runPendingWindowTransition() {
    impl_->runPendingWindowTransition();
}

}  // namespace corvanta
