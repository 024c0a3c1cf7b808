// See ShortcutListView.h.
#include "interface/ShortcutListView.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/OverlayScrollBar.h"
#include "interface/ScrollPerformanceTuner.h"
#include "interface/ShortcutRow.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"

namespace corvanta {

namespace {

constexpr double kEmptySpacing = 8;
constexpr double kEmptyTileSize = 42;
constexpr double kEmptyTileRadius = 13;
constexpr double kEmptySymbolSize = 18;
constexpr double kEmptyTitleSize = 12;
constexpr double kEmptyMessageSize = 10;
constexpr double kEmptyMessageMaxWidth = 250;
constexpr double kHeaderPadding = 8;
constexpr double kHeaderDotSize = 4;
constexpr double kHeaderSpacing = 7;
constexpr double kHeaderFontSize = 8.5;
constexpr double kHeaderTracking = 0.8;

std::string favoriteKey(const ShortcutStore& store, const ShortcutItem& item) {
    return ShortcutStore::itemKey(store.selectedSoftwareID.get(), item.id);
}

// A row's star as an accessible button; the list draws it, so it has no
// object of its own.
class StarAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    StarAccessible(ShortcutListView* list, int section, int row)
        : list_(list), section_(section), row_(row) {}

    bool isValid() const override { return list_ && row_ < list_->rowCount(section_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && list_ ? list_->starAccessibleName(section_, row_)
                                                  : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!list_)
            return {};
        const QRect star = list_->starRect(section_, row_);
        return QRect(list_->viewport()->mapToGlobal(star.topLeft()), star.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!list_ || !list_->viewport()->rect().contains(list_->starRect(section_, row_)))
            state.offscreen = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (list_ && name == pressAction())
            list_->toggleFavorite(section_, row_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    std::pair<int, int> position() const { return {section_, row_}; }

private:
    QPointer<ShortcutListView> list_;
    int section_;
    int row_;
};

// The list as assistive technology sees it: one star button per row, and the
// empty state's title and message when no row is shown.
class ShortcutListAccessible final : public QAccessibleWidget {
public:
    explicit ShortcutListAccessible(ShortcutListView* list)
        : QAccessibleWidget(list, QAccessible::List) {}

    int childCount() const override { return static_cast<int>(list().rows().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto& rows = list().rows();
        if (index < 0 || index >= static_cast<int>(rows.size()))
            return nullptr;
        const auto [section, row] = rows[static_cast<std::size_t>(index)];
        return list().starAccessible(section, row);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* star = dynamic_cast<const StarAccessible*>(child);
        if (!star)
            return -1;
        // Rows are in (section, row) order, so the star's place is searched.
        const auto& rows = list().rows();
        const auto found = std::lower_bound(rows.begin(), rows.end(), star->position());
        if (found == rows.end() || *found != star->position() ||
            list().starAccessible(found->first, found->second) != child)
            return -1;
        return static_cast<int>(found - rows.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = list().viewport()->mapFromGlobal(QPoint(x, y));
        for (const auto& [section, row] : list().rows()) {
            if (list().starRect(section, row).contains(point))
                return list().starAccessible(section, row);
        }
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (const auto empty = list().shownEmptyState()) {
            if (kind == QAccessible::Name)
                return empty->title;
            if (kind == QAccessible::Description)
                return empty->message;
        }
        return QAccessibleWidget::text(kind);
    }

private:
    ShortcutListView& list() const { return *static_cast<ShortcutListView*>(widget()); }
};

QAccessibleInterface* shortcutListAccessibleFactory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<ShortcutListView*>(object))
        return new ShortcutListAccessible(list);
    return nullptr;
}

}  // namespace

ShortcutListView::ShortcutListView(CorvantaView& root, QWidget* parent)
    : QAbstractScrollArea(parent), root_(root), tuner_(new ScrollPerformanceTuner(this)) {
    setObjectName(QStringLiteral("corvanta.shortcut-list"));
    setFocusPolicy(Qt::NoFocus);
    tuner_->configure(*this);
    static const bool accessibleInstalled =
        (QAccessible::installFactory(shortcutListAccessibleFactory), true);
    Q_UNUSED(accessibleInstalled);
}

ShortcutListView::~ShortcutListView() {
    dropStarAccessibles();
}

QAccessibleInterface* ShortcutListView::starAccessible(int section, int row) const {
    if (!entryFor(section, row))
        return nullptr;
    const auto key = std::make_pair(section, row);
    auto it = starAccessibleIDs_.find(key);
    if (it == starAccessibleIDs_.end()) {
        auto* star = new StarAccessible(const_cast<ShortcutListView*>(this), section, row);
        it = starAccessibleIDs_.emplace(key, QAccessible::registerAccessibleInterface(star)).first;
    }
    return QAccessible::accessibleInterface(it->second);
}

void ShortcutListView::dropStarAccessibles() {
    for (const auto& [key, id] : starAccessibleIDs_) QAccessible::deleteAccessibleInterface(id);
    starAccessibleIDs_.clear();
}

void ShortcutListView::render(const RenderContext& context) {
    if (OverlayScrollBar* overlay = tuner_->overlayScrollBar())
        overlay->setThumbColor(context.colors.textMuted);
    const bool rebuilt = sync();
    if (rebuilt) {
        updateScrollRange();
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::ObjectReorder);
            QAccessible::updateAccessibility(&event);
        }
    }
    // Texts and colours are read when painting, so a new result (language
    // included) or theme needs nothing more than a repaint, and a render that
    // changed neither needs none.
    if (rebuilt || paintedTheme_ != context.theme) {
        paintedTheme_ = context.theme;
        viewport()->update();
    }
}

ShortcutListView::Source ShortcutListView::currentSource() const {
    const ShortcutStore& store = root_.store();
    return Source{store.loadError->has_value(),
                  store.selectedSoftwareID.get(),
                  store.selectedCategoryID.get(),
                  store.query.get(),
                  store.favoriteOnly.get(),
                  store.favorites.get(),
                  store.language.get()};
}

bool ShortcutListView::Source::matches(const ShortcutStore& store) const {
    return loadError == store.loadError->has_value() &&
           softwareID == store.selectedSoftwareID.get() &&
           categoryID == store.selectedCategoryID.get() && query == store.query.get() &&
           favoriteOnly == store.favoriteOnly.get() && favorites == store.favorites.get() &&
           language == store.language.get();
}

bool ShortcutListView::isCurrent() const {
    return source_ && source_->matches(root_.store());
}

bool ShortcutListView::sync() {
    if (isCurrent())
        return false;
    source_ = currentSource();
    ++rebuildCount_;
    dropStarAccessibles();
    entries_.clear();
    rows_.clear();
    sectionStarts_.clear();
    contentHeight_ = 0;
    pressedStar_.reset();

    // The first test that holds decides what is shown.
    ShortcutStore& store = root_.store();
    const SoftwarePack* pack = store.selectedSoftware();
    if (source_->loadError) {
        content_ = Content::loadFailure;
    } else if (pack && pack->dataStatus == SoftwareDataStatus::catalogOnly) {
        content_ = Content::verification;
    } else if (store.filteredSections().empty()) {
        content_ = Content::noResults;
    } else {
        content_ = Content::sections;
        const auto& sections = store.filteredSections();
        int top = 0;
        for (std::size_t s = 0; s < sections.size(); ++s) {
            sectionStarts_.push_back(static_cast<int>(entries_.size()));
            entries_.push_back({top, static_cast<int>(s), -1});
            top += kHeaderHeight;
            for (std::size_t r = 0; r < sections[s].items.size(); ++r) {
                entries_.push_back({top, static_cast<int>(s), static_cast<int>(r)});
                rows_.emplace_back(static_cast<int>(s), static_cast<int>(r));
                top += kRowHeight;
            }
        }
        contentHeight_ = top + kBottomPadding;
    }
    return true;
}

void ShortcutListView::updateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int visible = viewport()->height();
    bar->setPageStep(visible);
    bar->setRange(0, std::max(0, contentHeight_ - visible));
}

std::optional<ShortcutListView::EmptyStateText> ShortcutListView::shownEmptyState() const {
    const RenderContext context = root_.renderContext();
    switch (content_) {
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
                                  root_.store().favoriteOnly.get()
                                      ? context.text("点击星标收藏常用命令。",
                                                     "Use the star to keep common commands here.")
                                      : context.text("试试搜索中文、英文或具体按键。",
                                                     "Try a command, tool, or key.")};
        case Content::sections:
            break;
    }
    return std::nullopt;
}

int ShortcutListView::rowCount(int section) const {
    if (section < 0 || section >= sectionCount())
        return 0;
    const std::size_t start = static_cast<std::size_t>(sectionStarts_[section]);
    const std::size_t end = section + 1 < sectionCount()
                                ? static_cast<std::size_t>(sectionStarts_[section + 1])
                                : entries_.size();
    return static_cast<int>(end - start) - 1;
}

const ShortcutListView::Entry* ShortcutListView::entryFor(int section, int row) const {
    if (row < 0 || row >= rowCount(section))
        return nullptr;
    return &entries_[static_cast<std::size_t>(sectionStarts_[section] + 1 + row)];
}

const ShortcutItem* ShortcutListView::itemAt(int section, int row) const {
    // The entries index the store's live result; a source that moved on since
    // they were built makes every index stale.
    if (!entryFor(section, row) || !isCurrent())
        return nullptr;
    const auto& sections = root_.store().filteredSections();
    if (static_cast<std::size_t>(section) >= sections.size())
        return nullptr;
    const auto& items = sections[static_cast<std::size_t>(section)].items;
    if (static_cast<std::size_t>(row) >= items.size())
        return nullptr;
    return &items[static_cast<std::size_t>(row)];
}

QString ShortcutListView::sectionTitle(int section) const {
    if (section < 0 || section >= sectionCount() || !isCurrent())
        return {};
    const ShortcutCategory& category =
        root_.store().filteredSections()[static_cast<std::size_t>(section)].category;
    if (root_.store().language.get() == AppLanguage::zh)
        return QString::fromStdString(category.zh);
    return QString::fromStdString(category.en).toUpper();
}

QString ShortcutListView::rowTitle(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    return item ? ShortcutRow::displayTitle(*item, root_.store().language.get()) : QString();
}

bool ShortcutListView::isFavorite(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    const ShortcutStore& store = root_.store();
    return item && store.favorites->contains(favoriteKey(store, *item));
}

QString ShortcutListView::starAccessibleName(int section, int row) const {
    const ShortcutItem* item = itemAt(section, row);
    if (!item)
        return {};
    const AppLanguage language = root_.store().language.get();
    return ShortcutRow::starAccessibilityLabel(ShortcutRow::displayTitle(*item, language), language,
                                               isFavorite(section, row));
}

QRect ShortcutListView::rowRect(int section, int row) const {
    const Entry* entry = entryFor(section, row);
    if (!entry)
        return {};
    return QRect(kSidePadding, entry->top - verticalScrollBar()->value(),
                 viewport()->width() - 2 * kSidePadding, kRowHeight);
}

QRect ShortcutListView::starRect(int section, int row) const {
    const QRect row_ = rowRect(section, row);
    return row_.isNull() ? QRect() : ShortcutRow::starRect(QRectF(row_)).toAlignedRect();
}

void ShortcutListView::scrollToRow(int section, int row) {
    const Entry* entry = entryFor(section, row);
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
        root_.store().toggleFavorite(*item);
}

int ShortcutListView::entryIndexAt(int contentY) const {
    const auto after = std::upper_bound(entries_.begin(), entries_.end(), contentY,
                                        [](int y, const Entry& entry) { return y < entry.top; });
    return std::max(0, static_cast<int>(after - entries_.begin()) - 1);
}

std::optional<std::pair<int, int>> ShortcutListView::pinnedHeader() const {
    if (content_ != Content::sections || entries_.empty())
        return std::nullopt;
    const int offset = verticalScrollBar()->value();
    const int section = entries_[static_cast<std::size_t>(entryIndexAt(offset))].section;
    int top = 0;
    if (section + 1 < sectionCount()) {
        const int next = entries_[static_cast<std::size_t>(sectionStarts_[section + 1])].top;
        top = std::min(0, next - offset - kHeaderHeight);
    }
    return std::make_pair(section, top);
}

std::optional<std::pair<int, int>> ShortcutListView::starAt(QPoint point) const {
    if (content_ != Content::sections || entries_.empty())
        return std::nullopt;
    // The pinned header covers whatever scrolls beneath it.
    if (const auto pinned = pinnedHeader(); pinned && point.y() < pinned->second + kHeaderHeight)
        return std::nullopt;
    const Entry& entry =
        entries_[static_cast<std::size_t>(entryIndexAt(point.y() + verticalScrollBar()->value()))];
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
    const QFont titleFont = style::systemFont(kEmptyTitleSize, style::Weight::semibold);
    const QFont messageFont = style::systemFont(kEmptyMessageSize);
    const double messageWidth = std::min(kEmptyMessageMaxWidth, area.width());
    const int messageFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QRectF messageBounds =
        QFontMetricsF(messageFont)
            .boundingRect(QRectF(0, 0, messageWidth, 1e6), messageFlags, message);
    const double titleHeight = std::ceil(QFontMetricsF(titleFont).height());
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

    style::drawTextLine(painter, QRectF(area.left(), y, area.width(), titleHeight), title,
                        titleFont, colors.textPrimary, Qt::AlignCenter);
    y += titleHeight + kEmptySpacing;

    painter.save();
    painter.setFont(messageFont);
    painter.setPen(colors.textSecondary);
    painter.drawText(QRectF(centreX - messageWidth / 2, y, messageWidth, messageBounds.height()),
                     messageFlags, message);
    painter.restore();
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
    const QFont font = style::withTracking(style::systemFont(kHeaderFontSize, style::Weight::bold),
                                           kHeaderTracking);
    style::drawTextLine(
        painter,
        QRectF(titleLeft, frame.top(), std::max(0.0, frame.right() - kHeaderPadding - titleLeft),
               frame.height()),
        sectionTitle(section), font, context.colors.textMuted);
}

void ShortcutListView::paintEvent(QPaintEvent* event) {
    // A paint can come before the render a store change scheduled; the
    // entries must never index a result they were not built from.
    if (sync())
        updateScrollRange();
    const RenderContext context = root_.renderContext();
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(viewport()->rect());

    if (const auto empty = shownEmptyState()) {
        emptyState(painter, area, empty->icon, empty->title, empty->message, context.colors);
        return;
    }
    if (entries_.empty())
        return;

    ShortcutStore& store = root_.store();
    const auto& sections = store.filteredSections();
    const int offset = verticalScrollBar()->value();
    const QRect dirty = event->rect();
    const double width = area.width() - 2 * kSidePadding;
    for (std::size_t e = static_cast<std::size_t>(entryIndexAt(offset + dirty.top()));
         e < entries_.size(); ++e) {
        const Entry& entry = entries_[e];
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
}

}  // namespace corvanta
