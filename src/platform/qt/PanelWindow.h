// A borderless floating panel that speaks y-up frames (origin bottom-left of the
// primary screen): frame, animated frame, limits, level, spaces, ordering, and
// delegate-style notifications. QtPanelWindow is the real one, FakePanelWindow
// records what the shell asks for.
#pragma once

#include <QPainterPath>
#include <QSizeF>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Signal.h"
#include "platform/qt/ScreenInfo.h"

class QWidget;

namespace corvanta::platform {

class MainQueue;
class Screens;

class PanelWindow {
public:
    PanelWindow(Screens& screens, MainQueue& queue);
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;
    virtual ~PanelWindow();

    virtual Rect frame() const = 0;
    // Moves and sizes the window at once. Not clamped to min/max size: the
    // limits bound user resizing, as with macOS windows. Stops a
    // running animation (its completion still runs).
    virtual void setFrame(const Rect& frame) = 0;
    // Animates to `frame`. `completion` runs exactly once, on a later main-queue
    // turn: after the animation ends, when it is replaced by another frame
    // change, or when the window is destroyed. A duration <= 0 sets the frame now.
    virtual void setFrameAnimated(const Rect& frame, double durationSeconds,
                                  std::function<void()> completion) = 0;

    // Size limits (y-up sizes), for resize code to read and for the window
    // manager to enforce on the user's resizes; see setFrame.
    Size minSize() const { return minSize_; }
    Size maxSize() const { return maxSize_; }
    virtual void setMinSize(Size size) { minSize_ = size; }
    virtual void setMaxSize(Size size) { maxSize_ = size; }

    // Floating level: above ordinary windows. Keeps frame and visibility.
    virtual void setFloating(bool floating) = 0;
    virtual bool isFloating() const = 0;
    // Shown on every virtual desktop (X11 sticky). Keeps frame and visibility.
    virtual void setOnAllSpaces(bool onAllSpaces) = 0;
    virtual bool isOnAllSpaces() const = 0;
    // When false, startSystemMove() does nothing and the window manager is
    // asked not to let the user move the window either.
    virtual void setMovable(bool movable) { movable_ = movable; }
    bool isMovable() const { return movable_; }
    // Lets the window system move the window with the pressed mouse (call from
    // a mouse-press handler); reports the move through `moved`. False when the
    // window is not movable or no window manager offers to move it; the caller
    // then moves the window itself.
    virtual bool startSystemMove() = 0;

    virtual void setTitle(const std::string& title) = 0;
    // The shape the content paints for a window of a given size (logical
    // coordinates, origin top-left). Where no compositor draws translucency,
    // the window is cut to it, so nothing outside shows as black.
    using Outline = std::function<QPainterPath(const QSizeF& size)>;
    virtual void setOutline(Outline outline) = 0;

    virtual bool isVisible() const = 0;
    virtual void show() = 0;
    // Hides the window; frame and state stay.
    virtual void orderOut() = 0;
    // Shows and raises, even when the application is not active.
    virtual void orderFrontRegardless() = 0;
    // Asks for keyboard focus (activates the window).
    virtual void makeKey() = 0;

    // The screen the window overlaps most, none when it is off all screens.
    std::optional<ScreenInfo> screen() const;

    // The top-level widget: the identity that Event::window is compared with.
    virtual QWidget* window() = 0;
    // The widget that hosts the root view and the strips; fills the window.
    virtual QWidget* contentWidget() = 0;

    // Origin changed (y-up), by program, by the user or by the window system.
    Signal<> moved;
    // Size changed.
    Signal<> resized;
    // A resize by the window system (not by setFrame) has come to rest.
    Signal<> liveResizeEnded;
    // screen() now names a different display (or none).
    Signal<> screenChanged;

protected:
    // Backends report every frame change here; it emits moved, resized and
    // screenChanged as needed.
    void frameDidChange(const Rect& oldFrame, const Rect& newFrame);
    // Re-checks the screen (after a screen configuration change).
    void checkScreen();

    Screens& screens_;
    MainQueue& queue_;

private:
    Size minSize_{0, 0};
    Size maxSize_{10000, 10000};
    bool movable_ = true;
    std::uint32_t lastDisplay_ = 0;  // 0: off all screens
    bool screenKnown_ = false;
    Connection screensConnection_;
};

}  // namespace corvanta::platform
