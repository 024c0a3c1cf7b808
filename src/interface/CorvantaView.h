// The panel's root view: draws the panel's face from the store and turns the
// shell's Escape requests into a collapse. (Outside-click requests only matter
// once there is a search field to unfocus.)
#pragma once

#include <QWidget>

#include "interface/WindowCommands.h"
#include "platform/foundation/Signal.h"

namespace corvanta {

class ShortcutStore;

class CorvantaView final : public QWidget {
    Q_OBJECT
public:
    CorvantaView(ShortcutStore& store, WindowCommands& commands, QWidget* parent = nullptr);

    ShortcutStore& store() const { return store_; }
    WindowCommands& commands() const { return commands_; }

    // Collapses an expanded panel; otherwise nothing.
    void handleEscape();
    // Asks the window to collapse; the store's flag goes down first so the
    // collapsed face is drawn while the window shrinks.
    void collapse();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintCollapsedBar(QPainter& painter);

    ShortcutStore& store_;
    WindowCommands& commands_;
    platform::Connection storeChanged_;
    platform::Connection escapeRequested_;
};

}  // namespace corvanta
