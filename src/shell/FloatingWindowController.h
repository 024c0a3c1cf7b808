// Owns the floating panel and everything in it: the store, the window commands,
// the root view, the drag and resize strips, and the Escape and outside-click
// monitors. It expands, collapses, limits, places and remembers the window.
#pragma once

#include <QPainterPath>
#include <QSizeF>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "interface/WindowCommands.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Signal.h"
#include "platform/qt/EventMonitors.h"
#include "shell/ScreenLayout.h"
#include "shell/ShellServices.h"
#include "shell/StripLayout.h"
#include "shell/WindowPlacement.h"

class QObject;

namespace corvanta {

class CorvantaView;
class DragHandleView;
class ResizeHandleView;
class ShortcutStore;

namespace platform {
class PanelWindow;
struct ScreenInfo;
}  // namespace platform

class FloatingWindowController final {
public:
    // Creates the store (loading the catalog), then the collapsed panel at its
    // remembered or default place. The panel stays hidden until showWindow().
    explicit FloatingWindowController(ShellServices& services);
    ~FloatingWindowController();
    FloatingWindowController(const FloatingWindowController&) = delete;
    FloatingWindowController& operator=(const FloatingWindowController&) = delete;

    ShortcutStore& store() { return *store_; }
    WindowCommands& commands() { return *commands_; }
    platform::PanelWindow* window() { return window_.get(); }
    void showWindow();

    // Animates between the collapsed bar and the expanded panel, keeping the
    // top-right corner. `completion` runs when the animation has ended, also
    // when the controller or window has gone meanwhile.
    void setExpanded(bool expanded, std::function<void()> completion);
    // Re-limits and moves the window fully into a visible frame.
    void constrainWindowToVisibleScreen();
    // Stores the expanded size, clamped to the fixed bounds.
    void recordExpandedSize(platform::Size size);
    void saveWindowPosition();
    // Limits for the expanded window on its own screen, else the main screen.
    SizeLimits expandedSizeLimits() const;

    bool isExpanded() const { return isExpanded_; }
    bool isResizingWindow() const { return isResizingWindow_; }
    platform::Size expandedSize() const { return expandedSize_; }

    // The strips, for inspection.
    DragHandleView* collapsedDragZone() const { return collapsedDragZones_.front(); }
    const std::vector<DragHandleView*>& expandedDragZones() const { return expandedDragZones_; }
    const std::vector<ResizeHandleView*>& resizeHandles() const { return resizeHandles_; }
    bool expandedStripLayoutActive() const { return expandedLayoutActive_; }
    CorvantaView* rootView() const { return rootView_; }

    // The screens as the window arithmetic reads them.
    static ScreenLayout screenLayout(const platform::Screens& screens);
    // The plate the bar and the panel paint, for a window of `size`: the
    // window is cut to it where no compositor draws translucency.
    static QPainterPath panelOutline(const QSizeF& size);

private:
    class ContentLayout;

    void buildStrips(QWidget* container);
    void layoutContent();
    void setExpandedStripLayoutActive(bool active);
    void applyPinState(bool pinned);
    void setWindowLimits(platform::Size minimum, platform::Size maximum);
    void finishSwitch(bool expanded);
    void installCommands();
    void installEventMonitors();

    // Window notifications.
    void windowDidMove();
    void windowDidResize();
    void windowDidEndLiveResize();
    void windowDidChangeScreen();

    std::optional<platform::Rect> switchBounds() const;

    ShellServices& services_;
    // Callbacks handed out hold this weakly; it dies with the controller.
    std::shared_ptr<FloatingWindowController*> self_;
    std::unique_ptr<ShortcutStore> store_;
    std::unique_ptr<WindowCommands> commands_;
    std::vector<DragHandleView*> collapsedDragZones_;
    std::vector<DragHandleView*> expandedDragZones_;
    std::vector<ResizeHandleView*> resizeHandles_;
    bool expandedLayoutActive_ = false;
    platform::EventMonitors::Token escapeEventMonitor_ = 0;
    platform::EventMonitors::Token mouseDownEventMonitor_ = 0;
    bool isResizingWindow_ = false;
    bool isExpanded_ = false;
    platform::Size expandedSize_;
    std::unique_ptr<platform::PanelWindow> window_;
    CorvantaView* rootView_ = nullptr;
    std::unique_ptr<QObject> contentLayout_;
    std::vector<platform::Connection> connections_;
};

}  // namespace corvanta
