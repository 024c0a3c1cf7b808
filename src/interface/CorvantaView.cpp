// Root view of the panel; see CorvantaView.h.
#include "interface/CorvantaView.h"

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QShortcut>

#include "catalog/ShortcutStore.h"
#include "interface/AccessibleShowing.h"
#include "interface/CategoryTabsView.h"
#include "interface/CollapsedBar.h"
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

namespace corvanta {

CorvantaView::CorvantaView(ShortcutStore& store, WindowCommands& commands, QWidget* parent)
    : QWidget(parent), model_(std::make_unique<CorvantaViewModel>(store, commands)) {
    setObjectName(QStringLiteral("corvanta.root"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);

    CorvantaViewModel& model = *model_;
    collapsedBar_ = new CollapsedBar(model,
                                     CollapsedBar::Actions{
                                         [&model] { model.toggleExpansion(); },
                                         [&model] { model.closeWindow(); },
                                     },
                                     this);
    markFace(collapsedBar_);
    toast_ = new SubmissionToastView(this);
    model.onCollapsedContentOpacity = [this](double opacity,
                                             std::optional<StateAnimation> animation) {
        collapsedBar_->setContentOpacity(opacity, animation);
    };
    model.onRender = [this] { render(); };

    installKeyboardCommands();
    model.scheduleRender();
    model.renderNow();
}

CorvantaView::~CorvantaView() {
    // The areas read the model while they go (focus and hide events), so they
    // go first; the model must not call into them afterwards.
    model_->onRender = nullptr;
    model_->onCollapsedContentOpacity = nullptr;
    for (QWidget* area :
         std::initializer_list<QWidget*>{softwarePicker_, softwareRequestDialog_, feedbackDialog_,
                                         toast_, expandedPanel_, collapsedBar_})
        delete area;
}

void CorvantaView::ensureExpandedAreas() {
    if (expandedPanel_)
        return;
    CorvantaViewModel& model = *model_;
    ShortcutStore& store = model.store();
    // Made hidden: nothing about it is news to assistive technology until it
    // shows (see AccessibleShowing.h).
    SilentAccessibility silent;
    expandedPanel_ = new QWidget(this);
    expandedPanel_->setObjectName(QStringLiteral("corvanta.expanded"));
    expandedPanel_->setAttribute(Qt::WA_TranslucentBackground);
    expandedPanel_->hide();
    markFace(expandedPanel_);
    header_ = new HeaderView(model,
                             HeaderView::Actions{
                                 [&model] { model.toggleSoftwarePicker(); },
                                 [&store] { store.toggleTheme(); },
                                 [&model] { model.togglePin(); },
                                 [&store] { store.toggleLanguage(); },
                                 [&model] { model.toggleExpansion(); },
                                 [&model] { model.closeWindow(); },
                             },
                             expandedPanel_);
    toolbar_ = new ToolbarView(
        model,
        ToolbarView::Actions{
            [&store, &model](const std::string& query) {
                store.query = query;
                model.renderNow();
            },
            [&model](bool focused) { model.set(&CorvantaViewState::searchIsFocused, focused); },
            [&store](bool favoriteOnly) { store.favoriteOnly = favoriteOnly; },
        },
        expandedPanel_);
    categoryTabs_ = new CategoryTabsView(
        CategoryTabsView::Actions{[&store](const std::string& id) { store.selectCategory(id); }},
        expandedPanel_);
    resultBar_ = new ResultBarView(model, expandedPanel_);
    shortcutList_ =
        new ShortcutListView(model, ShortcutListView::Actions{[&store](const ShortcutItem& item) {
                                 store.toggleFavorite(item);
                             }},
                             expandedPanel_);
    footer_ = new FooterView(
        model, FooterView::Actions{[&model] { model.presentFeedbackDialog(); }}, expandedPanel_);
    // The toast slides over the panel's content.
    toast_->raise();
    layoutAreas();
}

void CorvantaView::setLogoFile(const QString& path) {
    FooterView::setLogoFile(path);
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
    if (softwarePicker_)
        return softwarePicker_;
    CorvantaViewModel& model = *model_;
    softwarePicker_ = new SoftwarePickerPopover(
        SoftwarePickerPopover::Actions{
            [&model] { model.activateSoftwarePickerSearch(); },
            [&model](const std::string& query) {
                model.set(&CorvantaViewState::softwarePickerQuery, query);
            },
            [&model](bool focused) {
                model.set(&CorvantaViewState::softwarePickerSearchIsFocused, focused);
            },
            [&model] { model.clearSoftwarePickerSearch(); },
            [&model](const SoftwarePack& pack) { model.selectSoftwareFromPicker(pack); },
            [&model](SoftwareGroup group) { model.presentSoftwareRequest(group); },
            [&model] { model.softwarePickerDidClose(); },
            // The popover hangs under the header's pack button.
            [this] { return header()->packButtonGlobalRect(); },
        },
        this);
    return softwarePicker_;
}

SubmissionSheet* CorvantaView::makeSheet(bool softwareRequest) {
    CorvantaViewModel& model = *model_;
    SubmissionSheet::Actions actions;
    if (softwareRequest) {
        actions.writeFirstField = [&model](const std::string& text) {
            model.set(&CorvantaViewState::requestedSoftwareName, text);
        };
        actions.writeContact = [&model](const std::string& text) {
            model.set(&CorvantaViewState::requestContact, text);
        };
        actions.setFirstFieldFocused = [&model](bool focused) {
            model.set(&CorvantaViewState::requestNameIsFocused, focused);
        };
        actions.submit = [&model] { model.submitSoftwareRequest(); };
        actions.dismiss = [&model] { model.dismissSoftwareRequest(); };
    } else {
        actions.writeFirstField = [&model](const std::string& text) {
            model.set(&CorvantaViewState::feedbackMessage, text);
        };
        actions.writeContact = [&model](const std::string& text) {
            model.set(&CorvantaViewState::feedbackContact, text);
        };
        actions.setFirstFieldFocused = [&model](bool focused) {
            model.set(&CorvantaViewState::feedbackMessageIsFocused, focused);
        };
        actions.submit = [&model] { model.submitFeedback(); };
        actions.dismiss = [&model] { model.dismissFeedbackDialog(); };
    }
    actions.panelShown = [&model] { model.scheduleRender(); };
    return new SubmissionSheet(
        model,
        softwareRequest ? SubmissionSheet::Kind::softwareRequest : SubmissionSheet::Kind::feedback,
        std::move(actions), this);
}

SubmissionSheet* CorvantaView::softwareRequestDialog() {
    if (!softwareRequestDialog_)
        softwareRequestDialog_ = makeSheet(true);
    return softwareRequestDialog_;
}

SubmissionSheet* CorvantaView::feedbackDialog() {
    if (!feedbackDialog_)
        feedbackDialog_ = makeSheet(false);
    return feedbackDialog_;
}

void CorvantaView::render() {
    const RenderContext context = model_->renderContext();
    const CorvantaViewState& state = context.state;
    const bool expanded = context.store.isExpanded.get();
    if (expanded)
        ensureExpandedAreas();
    // Where the keyboard was decides where it goes when the face changes.
    QWidget* focus = QApplication::focusWidget();
    const bool focusInBar = focus && collapsedBar_->isAncestorOf(focus);
    const bool focusInPanel = focus && expandedPanel_ && expandedPanel_->isAncestorOf(focus);
    // The hidden search field must give up the keyboard with the expanded
    // face, before that face hides, or keys typed on the bar would edit it.
    if (!expanded && toolbar_)
        toolbar_->render(context);
    {
        // The face that goes hides without a word to assistive technology:
        // a client that read its objects now would keep them invisible (see
        // AccessibleShowing.h).
        SilentAccessibility silent;
        if (expanded)
            collapsedBar_->hide();
        else if (expandedPanel_)
            expandedPanel_->hide();
    }
    collapsedBar_->setVisible(!expanded);
    if (expandedPanel_)
        expandedPanel_->setVisible(expanded);
    const bool expandedChanged = expanded != lastExpanded_;
    if (expandedChanged) {
        lastExpanded_ = expanded;
        layoutAreas();
    }
    PlainButton::setFocusIndicatorColor(context.colors.textPrimary);
    if (expanded) {
        // Hidden, the bar still follows the language, without a word about
        // it to a screen reader (see AccessibleShowing.h).
        SilentAccessibility silent;
        collapsedBar_->render(context);
    } else {
        collapsedBar_->render(context);
    }
    if (expanded) {
        header_->render(context);
        toolbar_->render(context);
        categoryTabs_->render(context);
        resultBar_->render(context);
        shortcutList_->render(context);
        // The list is read by what it holds.
        const QString listName = context.text("快捷键", "Shortcuts");
        if (shortcutList_->accessibleName() != listName)
            shortcutList_->setAccessibleName(listName);
        footer_->render(context);
        orderFocusChain();
    }
    if (expandedChanged)
        moveFocusWithFace(expanded, focusInBar, focusInPanel);
    toast_->render(context);
    // The picker and the sheets exist once they have been shown.
    if (softwarePicker_ || state.showsSoftwarePicker)
        softwarePicker()->render(context);
    if (softwareRequestDialog_ || state.showsSoftwareRequest)
        softwareRequestDialog()->render(context);
    if (feedbackDialog_ || state.showsFeedbackDialog)
        feedbackDialog()->render(context);
    // The plate shows only the theme and the face; the areas repaint what
    // changed in them.
    if (expandedChanged || paintedTheme_ != context.theme) {
        paintedTheme_ = context.theme;
        QWidget::update();
    }
    if (expandedChanged) {
        QWidget* bar = collapsedBar_;
        announceFaceChange(expanded ? expandedPanel_ : bar, nullptr);
    }
}

void CorvantaView::moveFocusWithFace(bool expanded, bool focusInBar, bool focusInPanel) {
    // A keyboard that was on the face going away lands on the other face's
    // expand/collapse control, so the next key (Space, Tab) works from
    // there; a collapse always leaves the keyboard on the bar, where a screen
    // reader names the pack. A search focus on its way (Ctrl+K) wins later.
    if (expanded) {
        if (!focusInBar)
            return;
        // Pressed from the keyboard, the bar's expand button hands the
        // keyboard to its counterpart in the header; clicked, it leaves the
        // panel without a focus, as a mouse user's panel has always been.
        if (collapsedBar_->expandButton()->wasPressedByKeyboard())
            header_->expandButton()->setFocus(Qt::TabFocusReason);
        else if (QWidget* focus = QApplication::focusWidget(); focus && !focus->isVisible())
            focus->clearFocus();
        return;
    }
    if (focusInPanel || isActiveWindow())
        collapsedBar_->expandButton()->setFocus(Qt::OtherFocusReason);
}

void CorvantaView::orderFocusChain() {
    // Tab follows the panel from top to bottom, round to the header; tabs
    // come and go with the pack, and a new widget would otherwise join the
    // chain at its end. The chain starts at the search field, the first
    // control that a window taking the keyboard without a focus of its own
    // gives it to.
    std::vector<QWidget*> chain{toolbar_->searchField(), toolbar_->allButton(),
                                toolbar_->favoritesButton()};
    for (CategoryButton* tab : categoryTabs_->tabs()) chain.push_back(tab);
    chain.push_back(shortcutList_);
    for (QWidget* control : {static_cast<QWidget*>(footer_->feedbackButton()),
                             static_cast<QWidget*>(header_->packButton()),
                             static_cast<QWidget*>(header_->themeButton()),
                             static_cast<QWidget*>(header_->pinButton()),
                             static_cast<QWidget*>(header_->languageButton()),
                             static_cast<QWidget*>(header_->expandButton()),
                             static_cast<QWidget*>(header_->closeButton())})
        chain.push_back(control);
    if (chain == focusChain_)
        return;
    focusChain_ = std::move(chain);
    for (std::size_t i = 1; i < focusChain_.size(); ++i)
        QWidget::setTabOrder(focusChain_[i - 1], focusChain_[i]);
}

void CorvantaView::layoutAreas() {
    using namespace panel;
    const QRect content = rect().adjusted(kInset, kInset, -kInset, -kInset);
    collapsedBar_->setGeometry(rect());
    toast_->render(model_->renderContext());
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
    model_->panelDidHide();
}

void CorvantaView::paintEvent(QPaintEvent*) {
    const ShortcutStore& store = model_->store();
    if (!store.isExpanded.get())
        return;  // the collapsed bar paints its own plate
    const AppTheme theme = store.theme.get();
    QPainter painter(this);
    backdrop_.draw(
        *this, painter, std::size_t(theme),
        [this, theme](QPainter& plate) { paintPlate(plate, theme); },
        BackdropCache::Beneath::nothing);
}

void CorvantaView::paintPlate(QPainter& painter, AppTheme theme) const {
    using namespace panel;
    const ThemeColors& colors = ThemeColors::forTheme(theme);
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
        connect(shortcut, &QShortcut::activated, this, [this] {
            // Focus given again to the field that has it is news to nobody;
            // the field is announced anew instead.
            const bool alreadyThere = toolbar_ && toolbar_->searchField()->hasFocus();
            model_->focusSearchCommand();
            if (alreadyThere)
                toolbar_->announceSearchFieldAgain();
        });
    }
}

}  // namespace corvanta
