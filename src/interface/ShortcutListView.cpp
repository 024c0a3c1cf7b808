// See ShortcutListView.h.
#include "interface/ShortcutListView.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include "catalog/ShortcutStore.h"
#include "interface/OverlayScrollBar.h"
#include "interface/ScrollPerformanceTuner.h"
#include "interface/ShortcutListAccessible.h"
#include "interface/ShortcutRow.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"

namespace corvanta {

namespace {

constexpr double kEmptySpacing = 8;
constexpr double kEmptyTileSize = 42;
constexpr double kEmptyTileRadius = 13;
constexpr double kEmptySymbolSize = 18;
constexpr double kEmptyMessageMaxWidth = 250;
constexpr double kHeaderPadding = 8;
constexpr double kHeaderDotSize = 4;
constexpr double kHeaderSpacing = 7;

std::string favoriteKey(const ShortcutStore& store, const ShortcutItem& item) {
    return ShortcutStore::itemKey(store.selectedSoftwareID.get(), item.id);
}

}  // namespace

ShortcutListView::ShortcutListView(const RenderContextSource& source, Actions actions,
                                   QWidget* parent)
    : QAbstractScrollArea(parent),
      contexts_(source),
      store_(source.renderContext().store),
      actions_(std::move(actions)),
      layout_(kRowHeight),
      tuner_(new ScrollPerformanceTuner(this)),
      parts_(std::make_unique<ShortcutListParts>(this, *this)) {
    setObjectName(QStringLiteral("corvanta.shortcut-list"));
    // Reached by Tab only: a click on the list leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    tuner_->configure(*this);
    installShortcutListAccessibility();
}

ShortcutListView::~ShortcutListView() = default;

QAccessibleInterface* ShortcutListView::partAccessible(Part part, int section, int row) const {
    const Entry* entry = entryAt(section, row);
    if (!entry || (part != Part::entry && row < 0))
        return nullptr;
    const auto index = static_cast<std::size_t>(entry - layout_.entries().data());
    return parts_->part(part, layout_.entryKeys()[index]);
}

void ShortcutListView::render(const RenderContext& context) {
    if (OverlayScrollBar* overlay = tuner_->overlayScrollBar())
        overlay->setThumbColor(context.colors.textMuted);
    const bool rebuilt = sync();
    if (rebuilt)
        updateScrollRange();
    // Texts and colours are read when painting, so a new result (language
    // included) or theme needs nothing more than a repaint, and a render that
    // changed neither needs none.
    if (rebuilt || paintedTheme_ != context.theme) {
        paintedTheme_ = context.theme;
        viewport()->update();
    }
}

void ShortcutListView::updateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int visible = viewport()->height();
    bar->setPageStep(visible);
    bar->setRange(0, std::max(0, layout_.contentHeight() - visible));
}

std::optional<ShortcutListView::EmptyStateText> ShortcutListView::shownEmptyState() const {
    const RenderContext context = contexts_.renderContext();
    switch (layout_.content()) {
        case Content::loadFailure:
            return EmptyStateText{
                "exclamationmark.triangle",
                context.text("快捷键数据加载失败", "Unable to load shortcuts"),
                context.text("请确认快捷键数据文件已正确包含在应用中。",
                             "Please verify that the shortcut data file is included in the app.")};
        case Content::verification:
            return EmptyStateText{
                "checkmark.shield", context.text("快捷键正在核验", "Shortcuts under verification"),
                context.text(
                    "该软件已收入分类目录；官方 macOS 默认键位核验完成前，不展示未经证实的内容。",
                    "This app is in the catalog. Unverified shortcuts stay hidden until "
                    "its official macOS defaults are confirmed.")};
        case Content::noResults:
            return EmptyStateText{"magnifyingglass",
                                  context.text("没有找到快捷键", "No shortcuts found"),
                                  store_.favoriteOnly.get()
                                      ? context.text("点击星标收藏常用命令。",
                                                     "Use the star to keep common commands here.")
                                      : context.text("试试搜索中文、英文或具体按键。",
                                                     "Try a command, tool, or key.")};
        case Content::sections:
            break;
    }
    return std::nullopt;
}

const ShortcutItem* ShortcutListView::itemAt(int section, int row) const {
    // The entries index the store's live result; a source that moved on since
    // they were built makes every index stale.
    if (!layout_.entryFor(section, row) || !isCurrent())
        return nullptr;
    const auto& sections = store_.filteredSections();
    if (static_cast<std::size_t>(section) >= sections.size())
        return nullptr;
    const auto& items = sections[static_cast<std::size_t>(section)].items;
    if (static_cast<std::size_t>(row) >= items.size())
        return nullptr;
    return &items[static_cast<std::size_t>(row)];
}

QString ShortcutListView::sectionName(int section) const {
    if (section < 0 || section >= sectionCount() || !isCurrent())
        return {};
    const ShortcutCategory& category =
        store_.filteredSections()[static_cast<std::size_t>(section)].category;
    return QString::fromStdString(store_.language.get() == AppLanguage::zh ? category.zh
                                                                           : category.en);
}

QString ShortcutListView::sectionTitle(int section) const {
    // English headers are painted in capitals; Chinese ones as written.
    const QString name = sectionName(section);
    return store_.language.get() == AppLanguage::zh ? name : name.toUpper();
}

QString ShortcutListView::rowTitle(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    return item ? ShortcutRow::displayTitle(*item, store_.language.get()) : QString();
}

bool ShortcutListView::isFavorite(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    const ShortcutStore& store = store_;
    return item && store.favorites->contains(favoriteKey(store, *item));
}

QString ShortcutListView::starAccessibleName(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    if (!item)
        return {};
    const AppLanguage language = store_.language.get();
    return ShortcutRow::starAccessibilityLabel(ShortcutRow::displayTitle(*item, language), language,
                                               isFavorite(section, row));
}

QString ShortcutListView::rowAccessibleName(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    return item ? ShortcutRow::accessibilityLabel(*item, store_.language.get()) : QString();
}

QRect ShortcutListView::rowRect(int section, int row) const {
    return row < 0 ? QRect() : entryRect(section, row);
}

const ShortcutListView::Entry* ShortcutListView::entryAt(int section, int row) const {
    if (row >= 0)
        return layout_.entryFor(section, row);
    // A shown section has rows, and its header comes right before the first.
    const Entry* first = layout_.entryFor(section, 0);
    return first ? first - 1 : nullptr;
}

QRect ShortcutListView::entryRect(int section, int row) const {
    const Entry* entry = entryAt(section, row);
    if (!entry)
        return {};
    return QRect(kSidePadding, entry->top - verticalScrollBar()->value(),
                 viewport()->width() - 2 * kSidePadding, row < 0 ? kHeaderHeight : kRowHeight);
}

QRect ShortcutListView::starRect(int section, int row) const {
    const QRect row_ = rowRect(section, row);
    return row_.isNull() ? QRect() : ShortcutRow::starRect(QRectF(row_)).toAlignedRect();
}

void ShortcutListView::scrollToRow(int section, int row) {
    const Entry* entry = layout_.entryFor(section, row);
    if (!entry)
        return;
    QScrollBar* bar = verticalScrollBar();
    const int pinned = kHeaderHeight;
    if (entry->top - pinned < bar->value())
        bar->setValue(entry->top - pinned);
    else if (entry->top + kRowHeight > bar->value() + viewport()->height())
        bar->setValue(entry->top + kRowHeight - viewport()->height());
}

void ShortcutListView::toggleFavorite(int section, int row) {
    if (const ShortcutItem* item = itemAt(section, row))
        actions_.toggleFavorite(*item);
}

bool ShortcutListView::isCurrent() const {
    return layout_.isCurrent(store_);
}

bool ShortcutListView::sync() {
    if (isCurrent())
        return false;
    const std::vector<std::string> before = layout_.entryKeys();
    layout_.sync(store_);
    pressedStar_.reset();
    parts_->entriesChanged(before);
    // The current row stays while it is shown; when it goes, the row that
    // takes its place is current.
    if (!currentKey_.empty() && layout_.entryIndexOf(currentKey_) < 0) {
        currentKey_.clear();
        starCurrent_ = false;
        if (!layout_.rows().empty()) {
            setCurrentRow(std::min(currentIndex_, int(layout_.rows().size()) - 1), false);
            announceFocus(true);
        }
    }
    return true;
}

std::optional<std::pair<QString, QString>> ShortcutListView::emptyStateTexts() const {
    if (const auto empty = shownEmptyState())
        return std::make_pair(empty->title, empty->message);
    return std::nullopt;
}

int ShortcutListView::rowCount(int section) const {
    return layout_.rowCount(section);
}

std::optional<std::pair<int, int>> ShortcutListView::pinnedHeader() const {
    return layout_.pinnedHeader(verticalScrollBar()->value());
}

std::optional<std::pair<int, int>> ShortcutListView::starAt(QPoint point) const {
    const std::vector<Entry>& entries = layout_.entries();
    if (layout_.content() != Content::sections || entries.empty())
        return std::nullopt;
    // The pinned header covers whatever scrolls beneath it.
    if (const auto pinned = pinnedHeader(); pinned && point.y() < pinned->second + kHeaderHeight)
        return std::nullopt;
    const Entry& entry = entries[static_cast<std::size_t>(
        layout_.entryIndexAt(point.y() + verticalScrollBar()->value()))];
    if (entry.row < 0 || !starRect(entry.section, entry.row).contains(point))
        return std::nullopt;
    return std::make_pair(entry.section, entry.row);
}

void ShortcutListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ShortcutListView::scrollContentsBy(int, int) {
    viewport()->update();
}

void ShortcutListView::mousePressEvent(QMouseEvent* event) {
    pressedStar_.reset();
    if (event->button() == Qt::LeftButton)
        pressedStar_ = starAt(event->position().toPoint());
    if (pressedStar_)
        viewport()->update();
    event->accept();
}

void ShortcutListView::mouseReleaseEvent(QMouseEvent* event) {
    const auto pressed = std::exchange(pressedStar_, std::nullopt);
    if (!pressed)
        return;
    viewport()->update();
    // A plain button acts when released over itself.
    if (event->button() == Qt::LeftButton && starAt(event->position().toPoint()) == pressed)
        toggleFavorite(pressed->first, pressed->second);
}

void ShortcutListView::emptyState(QPainter& painter, const QRectF& area, std::string_view icon,
                                  const QString& title, const QString& message,
                                  const ThemeColors& colors) {
    const style::TextFace& titleFace = style::face(style::TextRole::emptyTitle);
    const style::TextFace& messageFace = style::face(style::TextRole::emptyMessage);
    const double messageWidth = std::min(kEmptyMessageMaxWidth, area.width());
    const QSizeF messageBounds = messageFace.wrappedSize(message, messageWidth);
    const double titleHeight = std::ceil(titleFace.height());
    const double stackHeight = kEmptyTileSize + kEmptySpacing + titleHeight + kEmptySpacing +
                               std::ceil(messageBounds.height());
    double y = area.top() + std::round((area.height() - stackHeight) / 2);
    const double centreX = area.center().x();

    const QRectF tile(std::round(centreX - kEmptyTileSize / 2), y, kEmptyTileSize, kEmptyTileSize);
    style::fillRoundedRect(painter, tile, kEmptyTileRadius, colors.surface);
    style::strokeRoundedRect(painter, tile, kEmptyTileRadius, colors.border);
    SymbolImage::paint(painter, tile, icon, kEmptySymbolSize, style::Weight::regular,
                       colors.textSecondary);
    y += kEmptyTileSize + kEmptySpacing;

    titleFace.drawLine(painter, QRectF(area.left(), y, area.width(), titleHeight), title,
                       colors.textPrimary, Qt::AlignCenter);
    y += titleHeight + kEmptySpacing;

    messageFace.drawWrapped(
        painter, QRectF(centreX - messageWidth / 2, y, messageWidth, messageBounds.height()),
        message, colors.textSecondary, Qt::AlignHCenter | Qt::AlignTop);
}

void ShortcutListView::paintSectionHeader(QPainter& painter, const QRectF& frame, int section,
                                          const RenderContext& context) const {
    // Opaque, so rows passing beneath a pinned header stay hidden.
    painter.fillRect(frame, context.colors.content);
    const double left = frame.left() + kHeaderPadding;
    const QRectF dot(left, frame.center().y() - kHeaderDotSize / 2, kHeaderDotSize, kHeaderDotSize);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(context.colors.accent);
    painter.drawEllipse(dot);
    painter.restore();
    const double titleLeft = dot.right() + kHeaderSpacing;
    style::face(style::TextRole::sectionHeader)
        .drawLine(painter,
                  QRectF(titleLeft, frame.top(),
                         std::max(0.0, frame.right() - kHeaderPadding - titleLeft), frame.height()),
                  sectionTitle(section), context.colors.textMuted);
}

void ShortcutListView::paintEvent(QPaintEvent* event) {
    // A paint can come before the render a store change scheduled; the
    // entries must never index a result they were not built from.
    if (sync())
        updateScrollRange();
    const RenderContext context = contexts_.renderContext();
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(viewport()->rect());

    if (const auto empty = shownEmptyState()) {
        emptyState(painter, area, empty->icon, empty->title, empty->message, context.colors);
        return;
    }
    const std::vector<Entry>& entries = layout_.entries();
    if (entries.empty())
        return;

    ShortcutStore& store = store_;
    const auto& sections = store.filteredSections();
    const int offset = verticalScrollBar()->value();
    const QRect dirty = event->rect();
    const double width = area.width() - 2 * kSidePadding;
    for (std::size_t e = static_cast<std::size_t>(layout_.entryIndexAt(offset + dirty.top()));
         e < entries.size(); ++e) {
        const Entry& entry = entries[e];
        const int top = entry.top - offset;
        if (top >= dirty.bottom() + 1)
            break;
        if (entry.row < 0) {
            paintSectionHeader(painter, QRectF(kSidePadding, top, width, kHeaderHeight),
                               entry.section, context);
            continue;
        }
        const ShortcutItem& item = sections[static_cast<std::size_t>(entry.section)]
                                       .items[static_cast<std::size_t>(entry.row)];
        const ShortcutRow row(item, context.language,
                              store.favorites->contains(favoriteKey(store, item)),
                              context.colors.accent);
        const bool pressed =
            pressedStar_ && *pressedStar_ == std::make_pair(entry.section, entry.row);
        row.paint(painter, QRectF(kSidePadding, top, width, kRowHeight), context.colors, pressed);
    }
    // The current section's header last, over the rows, pushed up by the
    // next section's header as it arrives.
    if (const auto pinned = pinnedHeader()) {
        paintSectionHeader(painter, QRectF(kSidePadding, pinned->second, width, kHeaderHeight),
                           pinned->first, context);
    }
    paintFocusIndicator(painter, context);
}

}  // namespace corvanta
