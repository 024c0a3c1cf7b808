// PanelWindow on a top-level QWidget (tool window, frameless, translucent). The
// window sets itself up as an X11 sticky window when asked, tells the window
// manager its size limits and whether it may be moved, and cuts itself to its
// outline when no compositor is running.
#pragma once

#include <qwindowdefs.h>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/qt/PanelWindow.h"
#include "platform/qt/TaskHandle.h"

class QPropertyAnimation;

namespace corvanta::platform {

class QtPanelWindow final : public QObject, public PanelWindow {
    Q_OBJECT
public:
    // Creates the window hidden at a y-up `frame`.
    QtPanelWindow(const Rect& frame, Screens& screens, MainQueue& queue);
    ~QtPanelWindow() override;

    Rect frame() const override;
    void setFrame(const Rect& frame) override;
    void setFrameAnimated(const Rect& frame, double durationSeconds,
                          std::function<void()> completion) override;

    void setFloating(bool floating) override;
    bool isFloating() const override;
    void setOnAllSpaces(bool onAllSpaces) override;
    bool isOnAllSpaces() const override { return onAllSpaces_; }
    bool startSystemMove() override;

    void setMinSize(Size size) override;
    void setMaxSize(Size size) override;
    void setMovable(bool movable) override;

    void setTitle(const std::string& title) override;
    void setOutline(Outline outline) override;
    // Whether the window is cut to its outline (no compositor on X11).
    bool usesShapeMask() const { return useMask_; }

    bool isVisible() const override;
    void show() override;
    void orderOut() override;
    void orderFrontRegardless() override;
    void makeKey() override;

    QWidget* window() override;
    QWidget* contentWidget() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFrame(const Rect& frame);
    void showPainted();
    // Stops a running animation where it is and posts its completion.
    void interruptAnimation();
    // The animation stopped for whatever reason: at its target, stopped from
    // outside, or destroyed.
    void animationEnded(QPropertyAnimation* animation);
    void postAnimationCompletion();
    void updateMask();
    // Hands the limits to the window manager, widened to admit the current
    // size and `alsoAdmit`: it enforces them on every resize, ours included.
    void applySizeLimits(std::optional<QSize> alsoAdmit = std::nullopt);
    // What Qt rewrites when it makes or re-flags the native window.
    void applyWindowManagerHints();
    // Everything a new native window lacks.
    void applyNativeWindowState();
    WId nativeWindowId() const;
    void noteFrame();
    void noteSystemResize();

    std::unique_ptr<QWidget> window_;
    QWidget* content_ = nullptr;
    QPointer<QPropertyAnimation> animation_;
    std::function<void()> animationCompletion_;
    TaskHandle liveResizeEnd_;
    Rect lastFrame_;
    Outline outline_;
    QSize maskedSize_;
    WId nativeWindowShown_ = 0;
    // The native window that holds a picture of the first frame as its
    // background until it is exposed.
    QPointer<QWindow> paintedBackground_;
    bool onAllSpaces_ = false;
    bool useMask_ = false;
    int programmaticChange_ = 0;
};

}  // namespace corvanta::platform
