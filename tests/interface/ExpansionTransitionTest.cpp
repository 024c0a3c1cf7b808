// The expand/collapse machine under a manual queue and a window that completes
// only when told: the transition table, the fades and delays, the one queued
// request, the search focus, and completions that are lost or repeated.
#include <QTest>

#include "InterfaceFixture.h"
#include "interface/ExpansionTransition.h"

namespace corvanta {
namespace {

using testing_support::InterfaceFixture;

struct Fade {
    double opacity;
    std::optional<StateAnimation> animation;
};

// The root view's state as a plain struct; remembers every fade and whether
// the search field was ever given the focus.
class FakeHost final : public ExpansionTransition::Host {
public:
    const CorvantaViewState& state() const override { return s; }
    void update(const std::function<void(CorvantaViewState&)>& change) override {
        change(s);
        everFocused = everFocused || s.searchIsFocused;
    }
    void setCollapsedContentOpacity(double opacity,
                                    std::optional<StateAnimation> animation) override {
        s.collapsedContentOpacity = opacity;
        fades.push_back({opacity, animation});
    }

    CorvantaViewState s;
    std::vector<Fade> fades;
    bool everFocused = false;
};

void expectFade(const Fade& fade, double opacity, std::optional<double> seconds) {
    EXPECT_EQ(fade.opacity, opacity);
    ASSERT_EQ(fade.animation.has_value(), seconds.has_value());
    if (seconds) {
        EXPECT_DOUBLE_EQ(fade.animation->seconds, *seconds);
        EXPECT_EQ(fade.animation->curve, StateAnimation::Curve::easeOut);
    }
}

class ExpansionTransitionTest : public InterfaceFixture {
protected:
    ExpansionTransitionTest() {
        makeStore();
        recordWindowCommands(false);
        machine = std::make_unique<ExpansionTransition>(host, *store, commands);
    }

    bool idle() const { return !host.s.isWindowTransitioning && !host.s.transitionTargetExpanded; }
    bool expanding() const {
        return host.s.isWindowTransitioning && host.s.transitionTargetExpanded == true;
    }
    bool collapsing() const {
        return host.s.isWindowTransitioning && host.s.transitionTargetExpanded == false;
    }
    // The window reaches its target; an expansion then shows its face 0.04 s later.
    void finishWindow() {
        completeWindow();
        drain(0.05);
    }
    void expandFully() {
        machine->expand(false);
        finishWindow();
        ASSERT_TRUE(store->isExpanded.get());
        ASSERT_TRUE(idle());
    }

    FakeHost host;
    std::unique_ptr<ExpansionTransition> machine;
};

TEST_F(ExpansionTransitionTest, ExpansionFadesTheBarThenShowsThePanelJustAfterTheWindow) {
    machine->expand(false);
    EXPECT_TRUE(expanding());
    EXPECT_EQ(expandedCalls, std::vector<bool>{true});
    ASSERT_EQ(host.fades.size(), 1u);
    expectFade(host.fades[0], 0, 0.18);
    EXPECT_FALSE(store->isExpanded.get());

    // Only the window's completion ends it, however long that takes.
    drain(5);
    EXPECT_TRUE(expanding());
    EXPECT_FALSE(store->isExpanded.get());

    completeWindow();
    queue.advance(0.039);
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_TRUE(expanding());
    queue.advance(0.002);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(idle());
    drain(1);
    EXPECT_FALSE(host.everFocused);
    EXPECT_EQ(expandedCalls.size(), 1u);
}

TEST_F(ExpansionTransitionTest, CollapseSwitchesTheFaceAtOnceAndCallsTheWindowNextTurn) {
    expandFully();
    host.s.searchIsFocused = true;
    host.s.showsSoftwarePicker = true;
    host.s.softwarePickerChevronExpanded = true;
    host.fades.clear();

    machine->collapse();
    EXPECT_TRUE(collapsing());
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_FALSE(host.s.searchIsFocused);
    EXPECT_FALSE(host.s.showsSoftwarePicker);
    EXPECT_FALSE(host.s.softwarePickerChevronExpanded);
    ASSERT_EQ(host.fades.size(), 1u);
    expectFade(host.fades[0], 0, std::nullopt);
    EXPECT_EQ(expandedCalls, std::vector<bool>{true});

    queue.runNext();
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(collapsing());
    completeWindow();
    EXPECT_TRUE(idle());
    ASSERT_EQ(host.fades.size(), 2u);
    expectFade(host.fades[1], 1, 0.14);
    drain(1);
    EXPECT_EQ(expandedCalls.size(), 2u);
}

TEST_F(ExpansionTransitionTest, RequestsDuringATransitionKeepOnlyTheLastOne) {
    // Expanding: a collapse queues; an expansion drops it and only adds focus.
    machine->expand(false);
    machine->collapse();
    EXPECT_EQ(host.s.pendingExpandedState, false);
    machine->expand(true);
    EXPECT_EQ(host.s.pendingExpandedState, std::nullopt);
    EXPECT_TRUE(host.s.pendingSearchFocus);
    machine->collapse();
    EXPECT_EQ(host.s.pendingExpandedState, false);
    EXPECT_FALSE(host.s.pendingSearchFocus);
    machine->expand(false);
    finishWindow();
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_EQ(expandedCalls.size(), 1u);

    // Collapsing: an expansion queues; a collapse drops it.
    machine->collapse();
    machine->expand(true);
    EXPECT_EQ(host.s.pendingExpandedState, true);
    EXPECT_TRUE(host.s.pendingSearchFocus);
    machine->collapse();
    EXPECT_EQ(host.s.pendingExpandedState, std::nullopt);
    EXPECT_FALSE(host.s.pendingSearchFocus);
    drain();
    finishWindow();
    EXPECT_TRUE(idle());
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(host.everFocused);
}

TEST_F(ExpansionTransitionTest, DoubleAndTripleClickCollapseAgainWithoutFocus) {
    machine->toggleExpansion();
    machine->toggleExpansion();
    EXPECT_EQ(host.s.pendingExpandedState, false);
    // The third click still sees the running expansion, not the queue.
    machine->toggleExpansion();
    EXPECT_EQ(host.s.pendingExpandedState, false);

    std::vector<bool> faces;
    auto watch =
        store->isExpanded.willSet.connect([&](bool expanded) { faces.push_back(expanded); });
    finishWindow();  // the queued collapse starts one turn after the finish
    EXPECT_EQ(faces, (std::vector<bool>{true, false}));
    EXPECT_TRUE(collapsing());
    finishWindow();
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(idle());
    EXPECT_FALSE(host.everFocused);
    EXPECT_EQ(host.s.collapsedContentOpacity, 1);
}

TEST_F(ExpansionTransitionTest, EscapeCollapsesOnlyWhatIsOrWillBeExpanded) {
    machine->handleEscape();  // collapsed and idle
    drain();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(expandedCalls.empty());

    machine->expand(false);
    machine->handleEscape();  // expanding: queues a collapse
    EXPECT_EQ(host.s.pendingExpandedState, false);
    finishWindow();
    EXPECT_TRUE(collapsing());

    machine->handleEscape();  // collapsing, nothing queued: ignored
    EXPECT_EQ(host.s.pendingExpandedState, std::nullopt);
    machine->expand(true);
    machine->handleEscape();  // collapsing with an expansion queued: cancelled
    EXPECT_EQ(host.s.pendingExpandedState, std::nullopt);
    EXPECT_FALSE(host.s.pendingSearchFocus);
    finishWindow();
    drain(1);
    EXPECT_TRUE(idle());
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_EQ(host.s.collapsedContentOpacity, 1);
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false}));

    expandFully();
    machine->handleEscape();  // expanded
    EXPECT_TRUE(collapsing());
}

TEST_F(ExpansionTransitionTest, SearchCommandWhileCollapsingExpandsAgainWithFocus) {
    expandFully();
    machine->collapse();
    drain();
    machine->expand(true);  // what Ctrl+K does while the panel is not expanded
    host.fades.clear();

    completeWindow();
    ASSERT_EQ(host.fades.size(), 1u);
    expectFade(host.fades[0], 0, std::nullopt);  // the content stays hidden
    EXPECT_TRUE(idle());
    EXPECT_FALSE(store->isExpanded.get());

    drain();
    EXPECT_TRUE(expanding());
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false, true}));
    finishWindow();
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(host.s.searchIsFocused);
    EXPECT_FALSE(host.s.pendingSearchFocus);
}

TEST_F(ExpansionTransitionTest, SearchFocusFollowsTheRunningExpansionUnlessACollapseIsQueued) {
    machine->expand(false);
    machine->expand(true);  // Ctrl+K while expanding: no second expansion
    EXPECT_EQ(host.s.pendingExpandedState, std::nullopt);
    completeWindow();
    queue.advance(0.04);
    EXPECT_TRUE(host.s.searchIsFocused);
    EXPECT_FALSE(host.s.pendingSearchFocus);
    EXPECT_EQ(expandedCalls.size(), 1u);

    machine->collapse();
    drain();
    finishWindow();
    host.everFocused = false;
    machine->expand(true);
    machine->collapse();
    finishWindow();
    drain(1);
    EXPECT_FALSE(host.everFocused);
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false, true, false}));
}

TEST_F(ExpansionTransitionTest, DeferredFocusDoesNothingOnceACollapseHasStarted) {
    machine->expand(true);
    completeWindow();
    // Due with the expansion's finish but queued after it: runs between the
    // finish and the focus step it schedules.
    queue.postAfter(0.04, [this] { machine->collapse(); });
    queue.advance(0.04);
    drain();
    EXPECT_TRUE(collapsing());
    EXPECT_FALSE(host.s.searchIsFocused);
    EXPECT_FALSE(host.everFocused);
}

TEST_F(ExpansionTransitionTest, WithoutAWindowTheMachineStillRunsOnTime) {
    commands.setExpanded = nullptr;
    machine->expand(false);
    queue.advance(0.039);
    EXPECT_FALSE(store->isExpanded.get());
    queue.advance(0.002);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(idle());

    host.fades.clear();
    machine->collapse();
    EXPECT_TRUE(collapsing());
    queue.runNext();
    EXPECT_TRUE(idle());
    ASSERT_EQ(host.fades.size(), 2u);
    expectFade(host.fades[1], 1, 0.14);
}

TEST_F(ExpansionTransitionTest, AWindowCompletionRunsExactlyOnce) {
    // Dropped without a call (an animation stopped or destroyed): the
    // transition still ends, one turn later.
    int windowCalls = 0;
    commands.setExpanded = [&](bool, WindowCommands::Completion) { ++windowCalls; };
    machine->expand(false);
    EXPECT_TRUE(expanding());
    drain(0.05);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(idle());
    machine->collapse();
    drain();
    EXPECT_TRUE(idle());
    EXPECT_EQ(windowCalls, 2);
    EXPECT_EQ(host.s.collapsedContentOpacity, 1);

    // Called twice: the second call must not end the transition that the
    // queued expansion has started meanwhile.
    recordWindowCommands(false);
    expandFully();
    machine->collapse();
    drain();
    machine->expand(false);
    ASSERT_EQ(pendingCompletions.size(), 1u);
    auto collapseDone = pendingCompletions.front();
    completeWindow();
    drain();
    ASSERT_TRUE(expanding());
    collapseDone();
    drain();
    EXPECT_TRUE(expanding());
    EXPECT_EQ(host.s.collapsedContentOpacity, 0);
    finishWindow();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(store->isExpanded.get());
}

TEST_F(ExpansionTransitionTest, StepsLeftBehindDoNothingOnceTheMachineIsGone) {
    machine->expand(true);
    completeWindow();  // the finish is now due in 0.04 s
    machine->expand(false);
    machine->collapse();
    drain();
    ASSERT_EQ(host.s.pendingExpandedState, false);
    machine.reset();
    drain(1);
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_TRUE(host.s.isWindowTransitioning);
    EXPECT_FALSE(host.everFocused);
    EXPECT_EQ(expandedCalls.size(), 1u);
}

class ExpansionThroughRootViewTest : public InterfaceFixture {};

TEST_F(ExpansionThroughRootViewTest, ToggleEscapeAndSearchCommandDriveTheRealView) {
    recordWindowCommands(false);
    CorvantaView& view = makeView();
    view.model().toggleExpansion();
    EXPECT_STREQ(view.model().expansionToggleIcon(), "chevron.up");
    EXPECT_EQ(view.model().expansionToggleAccessibilityLabel(), QString("Collapse shortcut panel"));
    completeWindow();
    drain(0.05);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_FALSE(view.model().state().isWindowTransitioning);

    // Escape from the shell arrives as a counter increment.
    store->escapeRequestID = store->escapeRequestID.get() + 1;
    drain();
    EXPECT_FALSE(store->isExpanded.get());
    EXPECT_EQ(view.model().state().transitionTargetExpanded, false);
    EXPECT_EQ(expandedCalls, (std::vector<bool>{true, false}));

    view.model().focusSearchCommand();  // queued behind the collapse
    completeWindow();
    drain();
    completeWindow();
    drain(0.05);
    EXPECT_TRUE(store->isExpanded.get());
    EXPECT_TRUE(view.model().state().searchIsFocused);
    EXPECT_STREQ(view.model().expansionToggleIcon(), "chevron.up");
}

}  // namespace
}  // namespace corvanta
