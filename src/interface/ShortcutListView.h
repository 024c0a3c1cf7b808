// The shortcut list: painted, virtualised sections with pinned headers, and the
// empty states, over the flat layout in ShortcutListLayout.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QAbstractScrollArea>
#include <QString>

#include "interface/RenderContext.h"
#include "interface/ShortcutListAccessible.h"
#include "interface/ShortcutListLayout.h"
#include "interface/ShortcutRow.h"

class QAccessibleInterface;

namespace corvanta {

class ScrollPerformanceTuner;
struct ShortcutItem;

class ShortcutListView final : public QAbstractScrollArea, public AccessibleShortcutList {
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = ShortcutListLayout::kHeaderHeight;
    static constexpr int kRowHeight = int(ShortcutRow::kHeight);
    static constexpr int kSidePadding = 8;
    static constexpr int kBottomPadding = ShortcutListLayout::kBottomPadding;

    using Content = ShortcutListLayout::Content;
    struct EmptyStateText {
        std::string_view icon;
        QString title;
        QString message;
    };

    struct Actions {
        std::function<void(const ShortcutItem&)> toggleFavorite;
    };

    ShortcutListView(const RenderContextSource& source, Actions actions, QWidget* parent);
    ~ShortcutListView() override;

    // Brings the area in line with the store and the interface state.
    void render(const RenderContext& context);

    // Draws one empty state centred in `area`.
    static void emptyState(QPainter& painter, const QRectF& area, std::string_view icon,
                           const QString& title, const QString& message, const ThemeColors& colors);

    // What the list shows, as of the last render or paint.
    Content content() const { return layout_.content(); }
    // The empty state's symbol and texts; none while sections are shown.
    std::optional<EmptyStateText> shownEmptyState() const;
    int sectionCount() const { return layout_.sectionCount(); }
    int rowCount(int section) const override;
    // Indices of every row, in display order.
    const std::vector<std::pair<int, int>>& rows() const override { return layout_.rows(); }
    QString sectionTitle(int section) const;
    QString rowTitle(int section, int row) const;
    bool isFavorite(int section, int row) const;
    QString starAccessibleName(int section, int row) const override;
    // Frames in viewport coordinates (they may lie outside the visible part).
    QRect rowRect(int section, int row) const;
    QRect starRect(int section, int row) const override;
    // Scrolls the least distance that shows the row below the pinned header.
    void scrollToRow(int section, int row);
    // Clicks the star, as a pointer click does.
    void toggleFavorite(int section, int row) override;
    // The section whose header is pinned at the top, and that header's top
    // edge in viewport coordinates (0, or less while the next one pushes it).
    std::optional<std::pair<int, int>> pinnedHeader() const;
    int rebuildCount() const { return layout_.rebuildCount(); }
    // The accessible star button of a row, made when first asked for and
    // valid until the rows change; none for a row that does not exist.
    QAccessibleInterface* starAccessible(int section, int row) const override;
    QWidget* listViewport() const override { return viewport(); }
    std::optional<std::pair<QString, QString>> emptyStateTexts() const override;
    ScrollPerformanceTuner& tuner() const { return *tuner_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    using Entry = ShortcutListLayout::Entry;

    // Whether the entries were built from the store's current result.
    bool isCurrent() const;
    // Rebuilds the entries when the source changed; true when it did.
    bool sync();
    void updateScrollRange();
    const ShortcutItem* itemAt(int section, int row) const;
    std::optional<std::pair<int, int>> starAt(QPoint viewportPoint) const;
    void dropStarAccessibles();
    void paintSectionHeader(QPainter& painter, const QRectF& frame, int section,
                            const RenderContext& context) const;

    const RenderContextSource& contexts_;
    ShortcutStore& store_;
    Actions actions_;
    ShortcutListLayout layout_;
    ScrollPerformanceTuner* tuner_;
    std::optional<AppTheme> paintedTheme_;
    std::optional<std::pair<int, int>> pressedStar_;
    mutable std::map<std::pair<int, int>, unsigned> starAccessibleIDs_;
};

}  // namespace corvanta
