// Root view of the panel; see CorvantaView.h.
#include "interface/CorvantaView.h"

#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QShortcut>

#include "catalog/ShortcutStore.h"
#include "interface/CategoryTabsView.h"
#include "interface/CollapsedBar.h"
#include "interface/ExpansionTransition.h"
#include "interface/FooterView.h"
#include "interface/HeaderView.h"
#include "interface/PanelMetrics.h"
#include "interface/ResultBarView.h"
#include "interface/ShortcutListView.h"
#include "interface/SmallControls.h"
#include "interface/SoftwarePickerPopover.h"
#include "interface/Style.h"
#include "interface/SubmissionSheet.h"
#include "interface/SubmissionToastView.h"
#include "interface/ToolbarView.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

// Lets the transition machine write the root view's state through its setters.
class CorvantaViewTransitionHost final : public ExpansionTransition::Host {
public:
    explicit CorvantaViewTransitionHost(CorvantaView& view) : view_(view) {}
    const CorvantaViewState& state() const override { return view_.state(); }
    void update(const std::function<void(CorvantaViewState&)>& change) override {
        view_.update(change);
    }
    void setCollapsedContentOpacity(double opacity,
                                    std::optional<StateAnimation> animation) override {
        view_.setCollapsedContentOpacity(opacity, animation);
    }

private:
    CorvantaView& view_;
};

CorvantaView::CorvantaView(ShortcutStore& store, WindowCommands& commands, QWidget* parent)
    : QWidget(parent), store_(store), commands_(commands) {
    setObjectName(QStringLiteral("corvanta.root"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);

    transitionHost_ = std::make_unique<CorvantaViewTransitionHost>(*this);
    transition_ = std::make_unique<ExpansionTransition>(*transitionHost_, store_, commands_);

    collapsedBar_ = new CollapsedBar(*this, this);
    toast_ = new SubmissionToastView(*this, this);

    installKeyboardCommands();

    lastEscapeRequestID_ = store_.escapeRequestID.get();
    lastDismissSearchRequestID_ = store_.dismissSearchRequestID.get();
    connections_.push_back(store_.objectWillChange.connect([this] { scheduleRender(); }));
    // The counters announce before they store; each change is one request,
    // acted on once the new value is in.
    QPointer<CorvantaView> self(this);
    connections_.push_back(store_.escapeRequestID.willSet.connect([self](int) {
        platform::MainQueue::shared().post([self] {
            if (self)
                self->handleEscape();
        });
    }));
    connections_.push_back(store_.dismissSearchRequestID.willSet.connect([self](int) {
        platform::MainQueue::shared().post([self] {
            if (self)
                self->set(&CorvantaViewState::searchIsFocused, false);
        });
    }));
    render();
}

CorvantaView::~CorvantaView() {
    connections_.clear();
    if (state_.toastDismissTask)
        state_.toastDismissTask->cancel();
}

RenderContext CorvantaView::renderContext() const {
    const AppTheme theme = store_.theme.get();
    return RenderContext{store_, state_, ThemeColors::forTheme(theme), store_.language.get(),
                         theme};
}

bool CorvantaView::acceptsOverlays() const {
    return store_.isExpanded.get() && !state_.isWindowTransitioning;
}

void CorvantaView::update(const std::function<void(CorvantaViewState&)>& change) {
    change(state_);
    stateChanged();
}

void CorvantaView::setCollapsedContentOpacity(double opacity,
                                              std::optional<StateAnimation> animation) {
    state_.collapsedContentOpacity = opacity;
    collapsedBar_->setContentOpacity(opacity, animation);
    stateChanged();
}

void CorvantaView::stateChanged() {
    scheduleRender();
}

void CorvantaView::ensureExpandedAreas() {
    if (expandedPanel_)
        return;
    expandedPanel_ = new QWidget(this);
    expandedPanel_->setObjectName(QStringLiteral("corvanta.expanded"));
    expandedPanel_->setAttribute(Qt::WA_TranslucentBackground);
    expandedPanel_->hide();
    header_ = new HeaderView(*this, expandedPanel_);
    toolbar_ = new ToolbarView(*this, expandedPanel_);
    categoryTabs_ = new CategoryTabsView(*this, expandedPanel_);
    resultBar_ = new ResultBarView(*this, expandedPanel_);
    shortcutList_ = new ShortcutListView(*this, expandedPanel_);
    footer_ = new FooterView(*this, expandedPanel_);
    // The toast slides over the panel's content.
    toast_->raise();
    layoutAreas();
}

HeaderView* CorvantaView::header() {
    ensureExpandedAreas();
    return header_;
}

ToolbarView* CorvantaView::toolbar() {
    ensureExpandedAreas();
    return toolbar_;
}

CategoryTabsView* CorvantaView::categoryTabs() {
    ensureExpandedAreas();
    return categoryTabs_;
}

ResultBarView* CorvantaView::resultBar() {
    ensureExpandedAreas();
    return resultBar_;
}

ShortcutListView* CorvantaView::shortcutList() {
    ensureExpandedAreas();
    return shortcutList_;
}

FooterView* CorvantaView::footer() {
    ensureExpandedAreas();
    return footer_;
}

SoftwarePickerPopover* CorvantaView::softwarePicker() {
    if (!softwarePicker_)
        softwarePicker_ = new SoftwarePickerPopover(*this);
    return softwarePicker_;
}

SubmissionSheet* CorvantaView::softwareRequestDialog() {
    if (!softwareRequestDialog_)
        softwareRequestDialog_ = new SubmissionSheet(*this, SubmissionSheet::Kind::softwareRequest);
    return softwareRequestDialog_;
}

SubmissionSheet* CorvantaView::feedbackDialog() {
    if (!feedbackDialog_)
        feedbackDialog_ = new SubmissionSheet(*this, SubmissionSheet::Kind::feedback);
    return feedbackDialog_;
}

void CorvantaView::scheduleRender() {
    if (renderScheduled_)
        return;
    renderScheduled_ = true;
    QPointer<CorvantaView> self(this);
    platform::MainQueue::shared().post([self] {
        if (self && self->renderScheduled_)
            self->render();
    });
}

void CorvantaView::renderNow() {
    if (renderScheduled_)
        render();
}

void CorvantaView::render() {
    renderScheduled_ = false;
    ++renderCount_;
    const RenderContext context = renderContext();
    const bool expanded = store_.isExpanded.get();
    if (expanded)
        ensureExpandedAreas();
    collapsedBar_->setVisible(!expanded);
    if (expandedPanel_)
        expandedPanel_->setVisible(expanded);
    const bool expandedChanged = expanded != lastExpanded_;
    if (expandedChanged) {
        lastExpanded_ = expanded;
        layoutAreas();
    }
    if (expanded) {
        header_->render(context);
        toolbar_->render(context);
        categoryTabs_->render(context);
        resultBar_->render(context);
        shortcutList_->render(context);
        footer_->render(context);
    } else {
        collapsedBar_->render(context);
    }
    toast_->render(context);
    // The picker and the sheets exist once they have been shown.
    if (softwarePicker_ || state_.showsSoftwarePicker)
        softwarePicker()->render(context);
    if (softwareRequestDialog_ || state_.showsSoftwareRequest)
        softwareRequestDialog()->render(context);
    if (feedbackDialog_ || state_.showsFeedbackDialog)
        feedbackDialog()->render(context);
    // The plate shows only the theme and the face; the areas repaint what
    // changed in them.
    if (expandedChanged || paintedTheme_ != context.theme) {
        paintedTheme_ = context.theme;
        QWidget::update();
    }
}

void CorvantaView::layoutAreas() {
    using namespace panel;
    const QRect content = rect().adjusted(kInset, kInset, -kInset, -kInset);
    collapsedBar_->setGeometry(rect());
    toast_->render(renderContext());
    if (!expandedPanel_)
        return;
    expandedPanel_->setGeometry(content);
    const int width = content.width();
    int y = 0;
    header_->setGeometry(0, y, width, kHeaderHeight);
    y += kHeaderHeight;
    toolbar_->setGeometry(0, y, width, kToolbarHeight);
    y += kToolbarHeight;
    categoryTabs_->setGeometry(0, y, width, kTabsHeight);
    y += kTabsHeight;
    resultBar_->setGeometry(0, y, width, kResultBarHeight);
    y += kResultBarHeight;
    const int footerTop = std::max(y, content.height() - kFooterHeight);
    shortcutList_->setGeometry(0, y, width, footerTop - y);
    footer_->setGeometry(0, footerTop, width, kFooterHeight);
}

void CorvantaView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutAreas();
}

void CorvantaView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A toast must not outlive the panel it belongs to: its dismissal is
    // cancelled and it is taken down with it.
    if (state_.toastDismissTask || state_.showsSubmissionToast) {
        update([](CorvantaViewState& state) {
            if (state.toastDismissTask)
                state.toastDismissTask->cancel();
            state.toastDismissTask.reset();
            state.showsSubmissionToast = false;
        });
    }
}

void CorvantaView::paintEvent(QPaintEvent*) {
    using namespace panel;
    if (!store_.isExpanded.get())
        return;  // the collapsed bar paints its own plate
    const ThemeColors& colors = ThemeColors::forTheme(store_.theme.get());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(rect()).adjusted(kInset, kInset, -kInset, -kInset);
    const QPainterPath shape = style::continuousRoundedRect(plate, kCornerRadius);
    painter.fillPath(shape, colors.panel);
    style::strokeRoundedRectInside(painter, plate, kCornerRadius, colors.border);

    // The three blocks cover the plate, clipped to its rounded shape.
    painter.setClipPath(shape);
    const double left = plate.left();
    const double width = plate.width();
    double y = plate.top();
    const double upper = kHeaderHeight + kToolbarHeight;
    const double footerTop =
        std::max(y + upper + kTabsHeight + kResultBarHeight, plate.bottom() - kFooterHeight);
    painter.fillRect(QRectF(left, y, width, upper), colors.chrome);
    painter.fillRect(QRectF(left, y + upper, width, footerTop - y - upper), colors.content);
    painter.fillRect(QRectF(left, footerTop, width, plate.bottom() - footerTop), colors.chrome);
    // Dividers: under the header, the toolbar and the tabs, over the footer.
    SolidDivider::paint(painter, QRectF(left, y + kHeaderHeight - 1, width, 1), colors);
    SolidDivider::paint(painter, QRectF(left, y + upper - 1, width, 1), colors);
    SolidDivider::paint(painter, QRectF(left, y + upper + kTabsHeight - 1, width, 1), colors);
    SolidDivider::paint(painter, QRectF(left, footerTop, width, 1), colors);
}

void CorvantaView::installKeyboardCommands() {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence(Qt::CTRL | Qt::Key_F)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] { focusSearchCommand(); });
    }
}

void CorvantaView::focusSearchCommand() {
    if (store_.isExpanded.get())
        set(&CorvantaViewState::searchIsFocused, true);
    else
        expand(true);
}

AppTheme CorvantaView::selectedColorScheme() const {
    return store_.theme.get() == AppTheme::light ? AppTheme::light : AppTheme::dark;
}

const char* CorvantaView::expansionToggleIcon() const {
    const bool target = state_.transitionTargetExpanded.value_or(store_.isExpanded.get());
    return target ? "chevron.up" : "chevron.down";
}

QString CorvantaView::expansionToggleAccessibilityLabel() const {
    const bool target = state_.transitionTargetExpanded.value_or(store_.isExpanded.get());
    const RenderContext context = renderContext();
    return target ? context.text("收起快捷键面板", "Collapse shortcut panel")
                  : context.text("展开快捷键面板", "Expand shortcut panel");
}

QString CorvantaView::submissionToastText() const {
    const RenderContext context = renderContext();
    return state_.submissionToastKind == SubmissionToastKind::feedback
               ? context.text("反馈已提交，感谢你的帮助", "Feedback sent — thank you")
               : context.text("提交成功", "Submitted successfully");
}

void CorvantaView::toggleExpansion() {
    transition_->toggleExpansion();
}
void CorvantaView::handleEscape() {
    transition_->handleEscape();
}
void CorvantaView::expand(bool focusSearchAfterExpansion) {
    transition_->expand(focusSearchAfterExpansion);
}
void CorvantaView::collapse() {
    transition_->collapse();
}

void CorvantaView::toggleSoftwarePicker() {
    const bool target = !state_.softwarePickerChevronExpanded;
    setSoftwarePickerChevronExpanded(target);
    QPointer<CorvantaView> self(this);
    platform::MainQueue::shared().post([self, target] {
        if (!self)
            return;
        // An opening that meets a collapsed or moving panel is dropped, and
        // the chevron turns back.
        if (target && !self->acceptsOverlays()) {
            self->setSoftwarePickerChevronExpanded(false);
            return;
        }
        self->set(&CorvantaViewState::showsSoftwarePicker, target);
    });
}

void CorvantaView::setSoftwarePickerChevronExpanded(bool expanded) {
    set(&CorvantaViewState::softwarePickerChevronExpanded, expanded);
}

void CorvantaView::togglePin() {
    const bool pinned = !store_.isPinned.get();
    store_.setPinned(pinned);
    if (commands_.setPinned)
        commands_.setPinned(pinned);
}

void CorvantaView::closeWindow() {
    if (commands_.closeWindow)
        commands_.closeWindow();
}

}  // namespace corvanta
