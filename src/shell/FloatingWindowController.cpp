// The floating panel's controller; see FloatingWindowController.h.
#include "shell/FloatingWindowController.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/PanelMetrics.h"
#include "interface/Style.h"
#include "platform/qt/Event.h"
#include "platform/qt/MainQueue.h"
#include "platform/qt/PanelWindow.h"
#include "platform/qt/Screens.h"
#include "shell/DragHandleView.h"
#include "shell/ResizeHandleView.h"
#include "shell/WindowMetrics.h"

namespace corvanta {

using platform::Rect;
using platform::Size;

namespace {

QRect widgetRect(const Rect& r) {
    return QRectF(r.minX(), r.minY(), r.width(), r.height()).toRect();
}

std::optional<Rect> visibleFrameOf(const std::optional<platform::ScreenInfo>& screen) {
    if (!screen)
        return std::nullopt;
    return screen->visibleFrame;
}

}  // namespace

// Keeps the root view and the strips laid out over the content as it resizes.
class FloatingWindowController::ContentLayout final : public QObject {
public:
    explicit ContentLayout(FloatingWindowController& owner) : owner_(owner) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            owner_.layoutContent();
        return QObject::eventFilter(watched, event);
    }

private:
    FloatingWindowController& owner_;
};

QPainterPath FloatingWindowController::panelOutline(const QSizeF& size) {
    // The bar and the expanded panel paint the same inset plate.
    const QRectF plate =
        QRectF(QPointF(0, 0), size)
            .adjusted(panel::kInset, panel::kInset, -panel::kInset, -panel::kInset);
    return style::continuousRoundedRect(plate, panel::kCornerRadius);
}

ScreenLayout FloatingWindowController::screenLayout(const platform::Screens& screens) {
    ScreenLayout layout;
    const auto list = screens.screens();
    const auto main = screens.mainScreen();
    for (std::size_t i = 0; i < list.size(); ++i) {
        layout.screens.push_back({list[i].visibleFrame, list[i].displayID});
        if (main && !layout.mainIndex && list[i] == *main)
            layout.mainIndex = i;
    }
    return layout;
}

FloatingWindowController::FloatingWindowController(ShellServices& services)
    : services_(services), self_(std::make_shared<FloatingWindowController*>(this)) {
    store_ = std::make_unique<ShortcutStore>(services_.bundle, services_.defaults,
                                             services_.catalogPreload);
    commands_ = std::make_unique<WindowCommands>();
    expandedSize_ = corvanta::savedExpandedSize(services_.defaults);
    const Rect frame =
        initialFrame(kCollapsedSize, screenLayout(services_.screens), services_.defaults);

    window_ = services_.makePanel(frame);
    window_->setTitle("Corvanta");
    window_->setOutline(&FloatingWindowController::panelOutline);
    applyPinState(store_->isPinned.get());
    setWindowLimits(kCollapsedSize, kCollapsedSize);

    QWidget* container = window_->contentWidget();
    rootView_ = new CorvantaView(*store_, *commands_, container);
    buildStrips(container);
    contentLayout_ = std::make_unique<ContentLayout>(*this);
    container->installEventFilter(contentLayout_.get());
    layoutContent();

    connections_.push_back(window_->moved.connect([this] { windowDidMove(); }));
    connections_.push_back(window_->resized.connect([this] { windowDidResize(); }));
    connections_.push_back(window_->liveResizeEnded.connect([this] { windowDidEndLiveResize(); }));
    connections_.push_back(window_->screenChanged.connect([this] { windowDidChangeScreen(); }));

    std::weak_ptr<FloatingWindowController*> weak = self_;
    for (ResizeHandleView* handle : resizeHandles_) {
        handle->onResizeBegan = [weak] {
            if (auto self = weak.lock())
                (*self)->isResizingWindow_ = true;
        };
        handle->onResizeEnded = [weak](Size size) {
            auto self = weak.lock();
            if (!self)
                return;
            (*self)->recordExpandedSize(size);
            (*self)->isResizingWindow_ = false;
            (*self)->saveWindowPosition();
        };
    }

    connections_.push_back(
        services_.screens.parametersChanged.connect([this] { constrainWindowToVisibleScreen(); }));
    installCommands();
    installEventMonitors();
}

FloatingWindowController::~FloatingWindowController() {
    self_.reset();
    connections_.clear();
    if (escapeEventMonitor_)
        services_.monitors.removeMonitor(escapeEventMonitor_);
    if (mouseDownEventMonitor_)
        services_.monitors.removeMonitor(mouseDownEventMonitor_);
    if (window_ && contentLayout_)
        window_->contentWidget()->removeEventFilter(contentLayout_.get());
}

void FloatingWindowController::buildStrips(QWidget* container) {
    const bool allowsDragging = !store_->isPinned.get();
    auto* collapsedZone = new DragHandleView(window_.get(), container);
    collapsedZone->setAllowsDragging(allowsDragging);
    collapsedZone->raise();
    collapsedDragZones_ = {collapsedZone};

    for (int i = 0; i < kExpandedDragZoneCount; ++i) {
        auto* zone = new DragHandleView(window_.get(), container);
        zone->setAllowsDragging(allowsDragging);
        zone->hide();
        expandedDragZones_.push_back(zone);
    }
    // Handles above every zone, zones above the root view.
    for (const ResizeEdges edges : kResizeHandleEdges) {
        auto* handle = new ResizeHandleView(edges, window_.get(), services_.screens, container);
        handle->hide();
        handle->raise();
        resizeHandles_.push_back(handle);
    }
}

void FloatingWindowController::layoutContent() {
    if (!window_)
        return;
    QWidget* container = window_->contentWidget();
    const Size size{static_cast<double>(container->width()),
                    static_cast<double>(container->height())};
    rootView_->setGeometry(container->rect());
    collapsedDragZones_.front()->setGeometry(widgetRect(collapsedDragZoneRect(size)));
    if (!expandedLayoutActive_)
        return;
    const auto zones = expandedDragZoneRects(size);
    for (std::size_t i = 0; i < expandedDragZones_.size(); ++i) {
        expandedDragZones_[i]->setGeometry(widgetRect(zones[i]));
    }
    const auto handles = resizeHandleRects(size);
    for (std::size_t i = 0; i < resizeHandles_.size(); ++i) {
        resizeHandles_[i]->setGeometry(widgetRect(handles[i]));
    }
}

void FloatingWindowController::setExpandedStripLayoutActive(bool active) {
    expandedLayoutActive_ = active;
    if (active)
        layoutContent();
}

void FloatingWindowController::applyPinState(bool pinned) {
    window_->setFloating(pinned);
    window_->setOnAllSpaces(pinned);
    window_->setMovable(!pinned);
    for (DragHandleView* zone : collapsedDragZones_) zone->setAllowsDragging(!pinned);
    for (DragHandleView* zone : expandedDragZones_) zone->setAllowsDragging(!pinned);
}

void FloatingWindowController::setWindowLimits(Size minimum, Size maximum) {
    window_->setMinSize(minimum);
    window_->setMaxSize(maximum);
}

void FloatingWindowController::showWindow() {
    if (window_)
        window_->show();
}

SizeLimits FloatingWindowController::expandedSizeLimits() const {
    std::optional<Rect> visible;
    if (window_)
        visible = visibleFrameOf(window_->screen());
    if (!visible)
        visible = visibleFrameOf(services_.screens.mainScreen());
    return corvanta::expandedSizeLimits(visible);
}

void FloatingWindowController::recordExpandedSize(Size size) {
    expandedSize_ = corvanta::recordExpandedSize(services_.defaults, size);
}

void FloatingWindowController::saveWindowPosition() {
    if (!window_)
        return;
    const auto screen = window_->screen();
    corvanta::saveWindowPosition(services_.defaults, window_->frame(),
                                 screen ? std::optional(screen->displayID) : std::nullopt);
}

std::optional<Rect> FloatingWindowController::switchBounds() const {
    if (auto visible = visibleFrameOf(window_->screen()))
        return visible;
    return visibleFrameOf(services_.screens.mainScreen());
}

void FloatingWindowController::setExpanded(bool expanded, std::function<void()> completion) {
    auto complete = [completion = std::move(completion)] {
        if (completion)
            completion();
    };
    if (!window_)
        return complete();

    Size target = kCollapsedSize;
    if (expanded) {
        isExpanded_ = true;
        target = sizeWithinLimits(expandedSize_, expandedSizeLimits());
    } else {
        if (isExpanded_)
            recordExpandedSize(window_->frame().size);
        isExpanded_ = false;
    }

    // The bar's zone comes back as the collapse starts; the expanded strips
    // appear only once the expansion has ended.
    collapsedDragZones_.front()->setVisible(!expanded);
    for (DragHandleView* zone : expandedDragZones_) zone->hide();
    for (ResizeHandleView* handle : resizeHandles_) handle->hide();
    if (!expanded)
        setExpandedStripLayoutActive(false);

    const Rect targetFrame = switchTargetFrame(window_->frame(), target, switchBounds());
    setWindowLimits(kTransitionMinSize, kTransitionMaxSize);
    isResizingWindow_ = true;

    std::weak_ptr<FloatingWindowController*> weak = self_;
    window_->setFrameAnimated(targetFrame,
                              expanded ? kExpandAnimationSeconds : kCollapseAnimationSeconds,
                              [weak, expanded, complete] {
                                  if (auto self = weak.lock(); self && (*self)->window_)
                                      (*self)->finishSwitch(expanded);
                                  complete();
                              });
}

void FloatingWindowController::finishSwitch(bool expanded) {
    if (expanded) {
        const SizeLimits limits = expandedSizeLimits();
        setWindowLimits(limits.minimum, limits.maximum);
        recordExpandedSize(window_->frame().size);
        setExpandedStripLayoutActive(true);
        for (DragHandleView* zone : expandedDragZones_) zone->show();
        for (ResizeHandleView* handle : resizeHandles_) handle->show();
    } else {
        setWindowLimits(kCollapsedSize, kCollapsedSize);
    }
    isResizingWindow_ = false;
    saveWindowPosition();
}

void FloatingWindowController::constrainWindowToVisibleScreen() {
    if (!window_)
        return;
    const auto ownScreen = window_->screen();
    const ScreenLayout layout = screenLayout(services_.screens);
    std::optional<ScreenLayout::Screen> windowScreen;
    if (ownScreen)
        windowScreen = ScreenLayout::Screen{ownScreen->visibleFrame, ownScreen->displayID};
    // Without a screen of its own the window's limits come from the main screen.
    const auto target = frameConstrainedToVisibleScreen(
        window_->frame(), isExpanded_, windowScreen ? &*windowScreen : nullptr, layout);
    if (!target)
        return;
    // The window manager enforces the limits on the user's resizes, so they
    // follow the screen at once (an animated switch sets its own at its end).
    if (isExpanded_ && !isResizingWindow_) {
        const SizeLimits limits = expandedSizeLimits();
        setWindowLimits(limits.minimum, limits.maximum);
    }
    if (*target != window_->frame()) {
        window_->setFrame(*target);
        if (isExpanded_)
            recordExpandedSize(target->size);
    }
    saveWindowPosition();
}

void FloatingWindowController::windowDidMove() {
    if (!isResizingWindow_)
        saveWindowPosition();
}

void FloatingWindowController::windowDidResize() {
    if (isExpanded_ && !isResizingWindow_ && window_) {
        expandedSize_ = clampedExpandedSize(window_->frame().size);
    }
}

void FloatingWindowController::windowDidEndLiveResize() {
    if (isExpanded_ && !isResizingWindow_ && window_) {
        recordExpandedSize(window_->frame().size);
        saveWindowPosition();
    }
}

void FloatingWindowController::windowDidChangeScreen() {
    if (isResizingWindow_)
        return;
    if (isExpanded_ && window_) {
        const SizeLimits limits = expandedSizeLimits();
        setWindowLimits(limits.minimum, limits.maximum);
        constrainWindowToVisibleScreen();
    }
    saveWindowPosition();
}

void FloatingWindowController::installCommands() {
    std::weak_ptr<FloatingWindowController*> weak = self_;
    commands_->setExpanded = [weak](bool expanded, WindowCommands::Completion completion) {
        if (auto self = weak.lock())
            return (*self)->setExpanded(expanded, std::move(completion));
        if (completion)
            completion();
    };
    commands_->setPinned = [weak](bool pinned) {
        if (auto self = weak.lock(); self && (*self)->window_)
            (*self)->applyPinState(pinned);
    };
    commands_->closeWindow = [weak] {
        if (auto self = weak.lock(); self && (*self)->window_)
            (*self)->window_->orderOut();
    };
}

void FloatingWindowController::installEventMonitors() {
    std::weak_ptr<FloatingWindowController*> weak = self_;
    platform::MainQueue& queue = services_.queue;

    escapeEventMonitor_ = services_.monitors.addLocalMonitor(
        platform::EventMask::keyDown, [weak, &queue](const platform::Event& event) {
            auto self = weak.lock();
            if (!self || !(*self)->window_ || event.window != (*self)->window_->window())
                return true;
            if (event.keyCode != platform::keycode::escape)
                return true;
            // Counted on a later turn, after the key event has been dealt with.
            queue.post([weak] {
                if (auto owner = weak.lock())
                    (*owner)->store_->escapeRequestID = (*owner)->store_->escapeRequestID + 1;
            });
            return false;
        });

    mouseDownEventMonitor_ = services_.monitors.addLocalMonitor(
        platform::EventMask::leftMouseDown, [weak, &queue](const platform::Event& event) {
            auto self = weak.lock();
            if (!self || !(*self)->window_ || event.window != (*self)->window_->window())
                return true;
            const Rect band = searchBand((*self)->window_->frame().size);
            if (!band.contains(event.locationInWindow)) {
                queue.post([weak] {
                    if (auto owner = weak.lock()) {
                        (*owner)->store_->dismissSearchRequestID =
                            (*owner)->store_->dismissSearchRequestID + 1;
                    }
                });
            }
            return true;  // the click always reaches its target
        });
}

}  // namespace corvanta
