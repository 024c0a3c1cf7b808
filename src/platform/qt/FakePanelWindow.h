// A PanelWindow for tests: frames change at once, animations are recorded and
// complete on the next main-queue turn, and user actions can be simulated.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/qt/PanelWindow.h"

namespace corvanta::platform {

class FakePanelWindow final : public PanelWindow {
public:
    struct Animation {
        Rect target;
        double durationSeconds;
        bool operator==(const Animation&) const = default;
    };

    FakePanelWindow(const Rect& frame, Screens& screens, MainQueue& queue);
    ~FakePanelWindow() override;

    Rect frame() const override { return frame_; }
    void setFrame(const Rect& frame) override;
    void setFrameAnimated(const Rect& frame, double durationSeconds,
                          std::function<void()> completion) override;

    void setFloating(bool floating) override { floating_ = floating; }
    bool isFloating() const override { return floating_; }
    void setOnAllSpaces(bool on) override { onAllSpaces_ = on; }
    bool isOnAllSpaces() const override { return onAllSpaces_; }
    bool startSystemMove() override;

    void setTitle(const std::string& title) override { title_ = title; }
    void setOutline(Outline outline) override { outline_ = std::move(outline); }

    bool isVisible() const override { return visible_; }
    void show() override { visible_ = true; }
    void orderOut() override { visible_ = false; }
    void orderFrontRegardless() override;
    void makeKey() override;

    // Created on first use (needs a QApplication); not shown.
    QWidget* window() override;
    QWidget* contentWidget() override;

    // What the test can inspect.
    const std::vector<Animation>& animations() const { return animations_; }
    const std::string& title() const { return title_; }
    const Outline& outline() const { return outline_; }
    int systemMoveCount() const { return systemMoves_; }
    // Stands for a desktop without a window manager that moves windows.
    void setSystemMoveSupported(bool supported) { systemMoveSupported_ = supported; }
    int frontCount() const { return fronts_; }
    int makeKeyCount() const { return makeKeys_; }

    // A move or resize by the user or window system (emits as the real one).
    void simulateUserFrame(const Rect& frame);
    // Ends a simulated live resize.
    void simulateLiveResizeEnd() { liveResizeEnded.emit(); }

private:
    Rect frame_;
    std::vector<Animation> animations_;
    std::unique_ptr<QWidget> window_;
    std::string title_;
    Outline outline_;
    bool floating_ = false;
    bool onAllSpaces_ = false;
    bool visible_ = false;
    int systemMoves_ = 0;
    bool systemMoveSupported_ = true;
    int fronts_ = 0;
    int makeKeys_ = 0;
};

}  // namespace corvanta::platform
