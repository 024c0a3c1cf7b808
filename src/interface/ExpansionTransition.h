// The expand/collapse machine: runs one window transition at a time, keeps at
// most one further request, and hands the search field the focus after an
// expansion when asked. It reaches the window only through WindowCommands and
// defers its steps on the MainQueue, so it is tested without any window.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "interface/CorvantaViewState.h"

namespace corvanta {

class ShortcutStore;
class WindowCommands;

class ExpansionTransition {
public:
    // The view state the machine reads and writes.
    class Host {
    public:
        virtual ~Host() = default;
        virtual const CorvantaViewState& state() const = 0;
        virtual void update(const std::function<void(CorvantaViewState&)>& change) = 0;
        virtual void setCollapsedContentOpacity(double opacity,
                                                std::optional<StateAnimation> animation) = 0;
    };

    ExpansionTransition(Host& host, ShortcutStore& store, WindowCommands& commands);
    ~ExpansionTransition();
    ExpansionTransition(const ExpansionTransition&) = delete;
    ExpansionTransition& operator=(const ExpansionTransition&) = delete;

    void toggleExpansion();
    void handleEscape();
    void expand(bool focusSearchAfterExpansion);
    void collapse();
    void runPendingWindowTransition();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace corvanta
