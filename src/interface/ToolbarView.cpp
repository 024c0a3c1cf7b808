// The toolbar; see ToolbarView.h.
#include "interface/ToolbarView.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

#include "catalog/ShortcutStore.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"

namespace corvanta {

namespace {

constexpr double kHorizontalPadding = 13;
constexpr double kVerticalPadding = 10;
constexpr double kRowSpacing = 9;
constexpr double kSearchHeight = 36;
constexpr double kSearchPadding = 10;
constexpr double kSearchSpacing = 8;
constexpr double kSearchRadius = 11;
constexpr double kGlyphSize = 13;
constexpr double kHintMinSpacing = 4;
constexpr double kFilterGroupPadding = 2;
constexpr double kFilterSpacing = 2;
constexpr double kFilterGroupRadius = 8;
constexpr double kBadgePadding = 8;
constexpr double kBadgeHeight = 25;
constexpr double kBadgeRadius = 7;
constexpr double kBadgeFontSize = 9.5;
constexpr double kBadgeIconSpacing = 4;

// The hint names the key a Linux user presses for the panel's search command.
const QString kSearchHint = QStringLiteral("Ctrl K");

bool isPanelSearchKey(const QKeyEvent& key) {
    return key.modifiers() == Qt::ControlModifier &&
           (key.key() == Qt::Key_K || key.key() == Qt::Key_F);
}

}  // namespace

ShortcutSearchField::ShortcutSearchField(QWidget* parent)
    : SearchLineEdit(style::TextRole::searchQuery, parent) {
    setObjectName(QStringLiteral("corvanta.search"));
    setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
}

bool ShortcutSearchField::event(QEvent* event) {
    // Leaving the override unaccepted lets the window's Ctrl+K/Ctrl+F run.
    if (event->type() == QEvent::ShortcutOverride &&
        isPanelSearchKey(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return false;
    }
    return QLineEdit::event(event);
}

ToolbarView::ToolbarView(const RenderContextSource& source, Actions actions, QWidget* parent)
    : QWidget(parent), source_(source), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("corvanta.toolbar"));
    setAttribute(Qt::WA_TranslucentBackground);
    searchField_ = new ShortcutSearchField(this);
    allButton_ = new FilterButton(this);
    allButton_->setObjectName(QStringLiteral("corvanta.filter.all"));
    favoritesButton_ = new FilterButton(this);
    favoritesButton_->setObjectName(QStringLiteral("corvanta.filter.favorites"));

    searchField_->onTextChange = [this](const std::string& text) {
        // The query renders at once, and one repaint then brings the field,
        // the result bar and the list to the screen together: a typed key
        // changes the screen in one step, without waiting for a later turn.
        actions_.setQuery(text);
        searchField_->repaint();
    };
    searchField_->onFocusChange = [this](bool focused) { actions_.setSearchFocused(focused); };
    // Return keeps the focus on the field.
    connect(searchField_, &QLineEdit::returnPressed, this,
            [this] { actions_.setSearchFocused(true); });
    connect(allButton_, &QAbstractButton::clicked, this,
            [this] { actions_.setFavoriteOnly(false); });
    connect(favoritesButton_, &QAbstractButton::clicked, this,
            [this] { actions_.setFavoriteOnly(true); });
}

void ToolbarView::render(const RenderContext& context) {
    const ThemeColors& colors = context.colors;
    searchField_->refresh(context.store.query.get(),
                          context.text("搜索命令、工具或按键", "Search commands, tools or keys"),
                          colors);
    const QString label = context.text("搜索快捷键", "Search shortcuts");
    if (searchField_->accessibleName() != label)
        searchField_->setAccessibleName(label);

    if (context.state.searchIsFocused && !searchField_->hasFocus())
        searchField_->setFocus(Qt::OtherFocusReason);
    else if (!context.state.searchIsFocused && searchField_->hasFocus())
        searchField_->clearFocus();

    const bool favoriteOnly = context.store.favoriteOnly.get();
    allButton_->setContent(context.text("全部", "All"), std::nullopt, !favoriteOnly, colors);
    favoritesButton_->setContent(context.text("收藏", "Favorites"), std::string("star"),
                                 favoriteOnly, colors);
    // The filters' widths follow the language; the outline, the badge and the
    // plates follow focus and theme. The field repaints its own text.
    const Face face{context.theme, context.language, context.state.searchIsFocused, favoriteOnly};
    if (paintedFace_ == face)
        return;
    paintedFace_ = face;
    resizeEvent(nullptr);
    update();
}

void ToolbarView::announceSearchFieldAgain() {
    if (!QAccessible::isActive() || !searchField_->hasFocus())
        return;
    // A screen reader stays silent when focus "moves" to the object it is
    // on, and takes a quick detour through another object for a stale
    // event. So the field leaves the tree and comes back as a new object,
    // which then takes the focus and is read in full.
    QAccessibleInterface* old = QAccessible::queryAccessibleInterface(searchField_);
    QAccessibleEvent gone(old, QAccessible::ObjectDestroyed);
    QAccessible::updateAccessibility(&gone);
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    QAccessibleInterface* fresh = QAccessible::queryAccessibleInterface(searchField_);
    QAccessibleEvent came(fresh, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&came);
    QAccessibleEvent focus(fresh, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

QRectF ToolbarView::searchRect() const {
    return QRectF(kHorizontalPadding, kVerticalPadding, width() - 2 * kHorizontalPadding,
                  kSearchHeight);
}

QRectF ToolbarView::filterGroupRect() const {
    const double inner = allButton_->width() + kFilterSpacing + favoritesButton_->width();
    return QRectF(kHorizontalPadding, kVerticalPadding + kSearchHeight + kRowSpacing,
                  inner + 2 * kFilterGroupPadding, FilterButton::kHeight + 2 * kFilterGroupPadding);
}

QRectF ToolbarView::badgeRect(const RenderContext& context) const {
    const QString title = context.text("仅 macOS", "macOS only");
    const double iconWidth = SymbolImage::size("apple.logo", kBadgeFontSize).width();
    const double w = 2 * kBadgePadding + iconWidth + kBadgeIconSpacing +
                     style::face(style::TextRole::platformBadge).width(title);
    const QRectF group = filterGroupRect();
    return QRectF(width() - kHorizontalPadding - std::ceil(w),
                  group.center().y() - kBadgeHeight / 2, std::ceil(w), kBadgeHeight);
}

void ToolbarView::resizeEvent(QResizeEvent*) {
    const QRectF search = searchRect();
    const double fieldX = search.left() + kSearchPadding + kGlyphSize + kSearchSpacing;
    const double hintWidth = MiniKey::size(kSearchHint).width();
    const double fieldRight = search.right() - kSearchPadding - hintWidth - kHintMinSpacing;
    searchField_->setGeometry(
        QRectF(fieldX, search.top(), std::max(0.0, fieldRight - fieldX), search.height()).toRect());
    const QRectF group = filterGroupRect();
    allButton_->move(int(group.left() + kFilterGroupPadding),
                     int(group.top() + kFilterGroupPadding));
    favoritesButton_->move(
        int(group.left() + kFilterGroupPadding + allButton_->width() + kFilterSpacing),
        int(group.top() + kFilterGroupPadding));
}

void ToolbarView::paintEvent(QPaintEvent*) {
    const RenderContext context = source_.renderContext();
    const std::size_t face = std::size_t(context.theme) | std::size_t(context.language) << 4 |
                             std::size_t(context.state.searchIsFocused) << 8;
    QPainter painter(this);
    backdrop_.draw(*this, painter, face, [this](QPainter& plates) { paintPlates(plates); });
}

void ToolbarView::paintPlates(QPainter& painter) const {
    const RenderContext context = source_.renderContext();
    const ThemeColors& colors = context.colors;
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF search = searchRect();
    style::fillRoundedRect(painter, search, kSearchRadius, colors.surface);
    style::strokeRoundedRectInside(painter, search, kSearchRadius,
                                   context.state.searchIsFocused ? colors.accent : colors.border);
    SymbolImage::paint(
        painter, QRectF(search.left() + kSearchPadding, search.top(), kGlyphSize, search.height()),
        "magnifyingglass", kGlyphSize, style::Weight::regular, colors.textSecondary);
    const QSizeF hint = MiniKey::size(kSearchHint);
    MiniKey::paint(painter,
                   QPointF(search.right() - kSearchPadding - hint.width(),
                           search.center().y() - hint.height() / 2),
                   kSearchHint, colors);

    style::fillRoundedRect(painter, filterGroupRect(), kFilterGroupRadius, colors.surface);

    const QRectF badge = badgeRect(context);
    style::fillRoundedRect(painter, badge, kBadgeRadius, colors.surface);
    const double iconWidth = SymbolImage::size("apple.logo", kBadgeFontSize).width();
    SymbolImage::paint(painter,
                       QRectF(badge.left() + kBadgePadding, badge.top(), iconWidth, badge.height()),
                       "apple.logo", kBadgeFontSize, style::Weight::medium, colors.textSecondary);
    const double textX = badge.left() + kBadgePadding + iconWidth + kBadgeIconSpacing;
    style::face(style::TextRole::platformBadge)
        .drawLine(
            painter,
            QRectF(textX, badge.top(), badge.right() - kBadgePadding - textX + 1, badge.height()),
            context.text("仅 macOS", "macOS only"), colors.textSecondary);
}

}  // namespace corvanta
