// The panel as a frameless, translucent Qt tool window addressed in y-up frames.
#include "platform/qt/QtPanelWindow.h"

#include <QEvent>
#include <QImage>
#include <QPropertyAnimation>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/qt/MainQueue.h"
#include "platform/qt/QtScreens.h"
#include "platform/qt/ShapeMask.h"
#include "platform/qt/X11Window.h"

namespace corvanta::platform {
namespace {

// How long the window system must leave the size alone before a resize it
// drove counts as finished.
constexpr double kLiveResizeSettleSeconds = 0.3;

QRect toQRect(const Rect& yUp) {
    const Rect r = yDownFromYUp(yUp, QtScreens::primaryGeometry());
    return QRect(static_cast<int>(std::lround(r.minX())), static_cast<int>(std::lround(r.minY())),
                 static_cast<int>(std::lround(r.width())),
                 static_cast<int>(std::lround(r.height())));
}

Rect fromQRect(const QRect& r) {
    return yUpFromYDown(makeRect(r.x(), r.y(), r.width(), r.height()),
                        QtScreens::primaryGeometry());
}

QSize toQSize(Size size) {
    const auto length = [](double value) {
        return static_cast<int>(std::lround(std::clamp(value, 0.0, double(QWIDGETSIZE_MAX))));
    };
    return {length(size.width), length(size.height)};
}

}  // namespace

QtPanelWindow::QtPanelWindow(const Rect& frame, Screens& screens, MainQueue& queue)
    : PanelWindow(screens, queue),
      window_(std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint)) {
    window_->setAttribute(Qt::WA_TranslucentBackground);
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    content_ = new QWidget(window_.get());
    content_->setObjectName(QStringLiteral("corvanta.panel.content"));
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content_);
    useMask_ = x11::isX11() && !x11::compositorRunning();
    window_->setGeometry(toQRect(frame));
    applySizeLimits();
    window_->installEventFilter(this);
    lastFrame_ = this->frame();
    checkScreen();
}

QtPanelWindow::~QtPanelWindow() {
    interruptAnimation();
    liveResizeEnd_.cancel();
    window_->removeEventFilter(this);
    window_.reset();
}

Rect QtPanelWindow::frame() const {
    return fromQRect(window_->geometry());
}

void QtPanelWindow::applyFrame(const Rect& frame) {
    const QRect target = toQRect(frame);
    // Our own frames are not bound by the limits: open them to the target
    // first, or Qt and the window manager would clamp it.
    applySizeLimits(target.size());
    ++programmaticChange_;
    window_->setGeometry(target);
    --programmaticChange_;
    applySizeLimits();
    noteFrame();
}

void QtPanelWindow::setFrame(const Rect& frame) {
    interruptAnimation();
    applyFrame(frame);
}

void QtPanelWindow::setFrameAnimated(const Rect& frame, double durationSeconds,
                                     std::function<void()> completion) {
    interruptAnimation();
    if (!(durationSeconds > 0)) {
        applyFrame(frame);
        queue_.post([completion = std::move(completion)] {
            if (completion)
                completion();
        });
        return;
    }
    animationCompletion_ = std::move(completion);
    // Every size on the way lies between the current one and the target.
    applySizeLimits(toQRect(frame).size());
    auto* animation = new QPropertyAnimation(window_.get(), "geometry", this);
    animation->setDuration(static_cast<int>(std::lround(durationSeconds * 1000)));
    // Window animations use macOS's default ease-in-ease-out.
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(window_->geometry());
    animation->setEndValue(toQRect(frame));
    // Reaching the target, a stop() from anywhere and destruction all pass
    // through Stopped; `finished` alone misses the last two, and the caller's
    // completion would then never run.
    connect(animation, &QAbstractAnimation::stateChanged, this,
            [this, animation](QAbstractAnimation::State state) {
                if (state == QAbstractAnimation::Stopped)
                    animationEnded(animation);
            });
    animation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void QtPanelWindow::animationEnded(QPropertyAnimation* animation) {
    if (animation_ != animation)
        return;  // an interrupted animation has had its completion posted
    animation_ = nullptr;
    applySizeLimits();
    noteFrame();
    postAnimationCompletion();
}

void QtPanelWindow::interruptAnimation() {
    if (!animation_)
        return;
    QPropertyAnimation* animation = animation_;
    animation_ = nullptr;
    animation->disconnect(this);
    animation->stop();  // deletes itself once stopped
    applySizeLimits();
    postAnimationCompletion();
}

void QtPanelWindow::postAnimationCompletion() {
    queue_.post([completion = std::exchange(animationCompletion_, {})] {
        if (completion)
            completion();
    });
}

void QtPanelWindow::setFloating(bool floating) {
    Qt::WindowFlags flags = window_->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, floating);
    if (flags == window_->windowFlags())
        return;
    if (QWindow* handle = window_->windowHandle()) {
        // Telling the existing native window avoids QWidget::setWindowFlags,
        // which would hide and recreate it.
        window_->overrideWindowFlags(flags);
        handle->setFlags(flags);
        applyWindowManagerHints();
    } else {
        window_->setWindowFlags(flags);
    }
}

bool QtPanelWindow::isFloating() const {
    return window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void QtPanelWindow::setOnAllSpaces(bool onAllSpaces) {
    if (onAllSpaces == onAllSpaces_)
        return;
    onAllSpaces_ = onAllSpaces;
    x11::setSticky(window_.get(), onAllSpaces);
}

bool QtPanelWindow::startSystemMove() {
    if (!isMovable())
        return false;
    QWindow* handle = window_->windowHandle();
    return handle && handle->startSystemMove();
}

void QtPanelWindow::setTitle(const std::string& title) {
    window_->setWindowTitle(QString::fromStdString(title));
}

void QtPanelWindow::setOutline(Outline outline) {
    outline_ = std::move(outline);
    maskedSize_ = QSize();
    updateMask();
}

void QtPanelWindow::updateMask() {
    // Without a native window the shape waits for it (applyNativeWindowState):
    // making one here, before a level change, would have Qt replace it when
    // it is shown, and the first map would lose the frame painted for it.
    if (!useMask_ || !nativeWindowId() || window_->size() == maskedSize_)
        return;
    maskedSize_ = window_->size();
    if (outline_)
        setShapeMask(window_.get(), outline_(QSizeF(maskedSize_)));
    else
        clearShapeMask(window_.get());
}

void QtPanelWindow::setMinSize(Size size) {
    PanelWindow::setMinSize(size);
    applySizeLimits();
}

void QtPanelWindow::setMaxSize(Size size) {
    PanelWindow::setMaxSize(size);
    applySizeLimits();
}

void QtPanelWindow::applySizeLimits(std::optional<QSize> alsoAdmit) {
    QSize minimum = toQSize(minSize()).boundedTo(window_->size());
    QSize maximum = toQSize(maxSize()).expandedTo(window_->size());
    if (alsoAdmit) {
        minimum = minimum.boundedTo(*alsoAdmit);
        maximum = maximum.expandedTo(*alsoAdmit);
    }
    // Qt writes both into WM_NORMAL_HINTS (in device pixels) and keeps them
    // when it makes the native window anew.
    window_->setMinimumSize(minimum);
    window_->setMaximumSize(maximum);
}

void QtPanelWindow::setMovable(bool movable) {
    PanelWindow::setMovable(movable);
    x11::setMoveAllowed(window_.get(), movable);
}

void QtPanelWindow::applyWindowManagerHints() {
    x11::setMoveAllowed(window_.get(), isMovable());
}

WId QtPanelWindow::nativeWindowId() const {
    const QWindow* handle = window_->windowHandle();
    return handle && handle->handle() ? handle->winId() : 0;
}

void QtPanelWindow::applyNativeWindowState() {
    // A native window made anew has lost the sticky state, the shape and the
    // move hint.
    if (onAllSpaces_)
        x11::setSticky(window_.get(), true);
    maskedSize_ = QSize();
    updateMask();
    applyWindowManagerHints();
}

bool QtPanelWindow::isVisible() const {
    return window_->isVisible();
}

// Mapped without its content, a translucent window shows black until its
// first frame arrives, a few milliseconds later (and a compositor may show
// it empty). The X server is handed that frame first, as the window's
// background, so the window is never seen without it; the background goes
// once the window has been exposed, lest it show through later resizes.
void QtPanelWindow::showPainted() {
    if (window_->isVisible() || !x11::isX11()) {
        window_->show();
        return;
    }
    window_->winId();
    const qreal scale = window_->devicePixelRatioF();
    QImage frame(window_->size() * scale, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(scale);
    frame.fill(Qt::transparent);
    window_->render(&frame);
    x11::setBackgroundImage(window_.get(), frame);
    if (QWindow* handle = window_->windowHandle(); handle && handle != paintedBackground_) {
        paintedBackground_ = handle;
        handle->installEventFilter(this);
    }
    window_->show();
    // Whatever the caller does next, the window is on screen meanwhile.
    x11::flush();
}

void QtPanelWindow::show() {
    showPainted();
}

void QtPanelWindow::orderOut() {
    window_->hide();
}

void QtPanelWindow::orderFrontRegardless() {
    showPainted();
    window_->raise();
}

void QtPanelWindow::makeKey() {
    window_->activateWindow();
}

QWidget* QtPanelWindow::window() {
    return window_.get();
}

QWidget* QtPanelWindow::contentWidget() {
    return content_;
}

void QtPanelWindow::noteFrame() {
    const Rect now = frame();
    if (now == lastFrame_)
        return;
    const Rect old = lastFrame_;
    lastFrame_ = now;
    frameDidChange(old, now);
}

void QtPanelWindow::noteSystemResize() {
    liveResizeEnd_.cancel();
    liveResizeEnd_ = queue_.postAfter(kLiveResizeSettleSeconds, [this] { liveResizeEnded.emit(); });
}

bool QtPanelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == paintedBackground_ && event->type() == QEvent::Expose &&
        paintedBackground_->isExposed()) {
        paintedBackground_->removeEventFilter(this);
        paintedBackground_ = nullptr;
        x11::clearBackground(window_.get());
        return false;
    }
    if (watched != window_.get())
        return false;
    switch (event->type()) {
        case QEvent::Resize: {
            const Size before = lastFrame_.size;
            updateMask();
            noteFrame();
            if (programmaticChange_ == 0 && !animation_ && lastFrame_.size != before)
                noteSystemResize();
            break;
        }
        case QEvent::Move:
            noteFrame();
            break;
        case QEvent::Show:
            nativeWindowShown_ = nativeWindowId();
            applyNativeWindowState();
            break;
        case QEvent::ShowToParent:
            // Qt may have made the native window anew while showing it.
            if (nativeWindowId() != nativeWindowShown_)
                applyNativeWindowState();
            break;
        case QEvent::WinIdChange:
            applyNativeWindowState();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace corvanta::platform
