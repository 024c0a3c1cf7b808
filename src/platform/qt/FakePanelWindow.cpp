// The recording panel window of the tests.
#include "platform/qt/FakePanelWindow.h"

#include <QVBoxLayout>
#include <QWidget>

#include "platform/qt/MainQueue.h"

namespace corvanta::platform {

FakePanelWindow::FakePanelWindow(const Rect& frame, Screens& screens, MainQueue& queue)
    : PanelWindow(screens, queue), frame_(frame) {
    checkScreen();
}

FakePanelWindow::~FakePanelWindow() = default;

void FakePanelWindow::setFrame(const Rect& frame) {
    const Rect old = frame_;
    frame_ = frame;
    frameDidChange(old, frame_);
}

void FakePanelWindow::setFrameAnimated(const Rect& frame, double durationSeconds,
                                       std::function<void()> completion) {
    animations_.push_back({frame, durationSeconds});
    setFrame(frame);
    queue_.post([completion = std::move(completion)] {
        if (completion)
            completion();
    });
}

bool FakePanelWindow::startSystemMove() {
    if (!isMovable() || !systemMoveSupported_)
        return false;
    ++systemMoves_;
    return true;
}

void FakePanelWindow::orderFrontRegardless() {
    visible_ = true;
    ++fronts_;
}

void FakePanelWindow::makeKey() {
    ++makeKeys_;
}

void FakePanelWindow::simulateUserFrame(const Rect& frame) {
    setFrame(frame);
}

QWidget* FakePanelWindow::window() {
    if (!window_) {
        window_ = std::make_unique<QWidget>();
        auto* content = new QWidget(window_.get());
        content->setObjectName(QStringLiteral("content"));
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
        window_->resize(static_cast<int>(frame_.width()), static_cast<int>(frame_.height()));
    }
    return window_.get();
}

QWidget* FakePanelWindow::contentWidget() {
    return window()->findChild<QWidget*>(QStringLiteral("content"));
}

}  // namespace corvanta::platform
