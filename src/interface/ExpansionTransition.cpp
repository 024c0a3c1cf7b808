// The expand/collapse machine; see ExpansionTransition.h.
#include "interface/ExpansionTransition.h"

#include "catalog/ShortcutStore.h"
#include "interface/WindowCommands.h"

namespace corvanta {

class ExpansionTransition::Impl {
public:
    Impl(Host& host, ShortcutStore& store, WindowCommands& commands)
        : host(host), store(store), commands(commands) {}
    Host& host;
    ShortcutStore& store;
    WindowCommands& commands;
};

ExpansionTransition::ExpansionTransition(Host& host, ShortcutStore& store, WindowCommands& commands)
    : impl_(std::make_unique<Impl>(host, store, commands)) {}

ExpansionTransition::~ExpansionTransition() = default;

void ExpansionTransition::toggleExpansion() {
    if (impl_->store.isExpanded.get())
        collapse();
    else
        expand(false);
}

void ExpansionTransition::handleEscape() {
    if (impl_->store.isExpanded.get())
        collapse();
}

void ExpansionTransition::expand(bool) {
    impl_->store.isExpanded = true;
    if (impl_->commands.setExpanded)
        impl_->commands.setExpanded(true, [] {});
}

void ExpansionTransition::collapse() {
    impl_->store.isExpanded = false;
    if (impl_->commands.setExpanded)
        impl_->commands.setExpanded(false, [] {});
}

void ExpansionTransition::runPendingWindowTransition() {}

}  // namespace corvanta
