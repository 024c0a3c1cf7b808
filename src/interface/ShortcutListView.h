// The shortcut list: painted, virtualised sections with pinned headers, and the
// empty states. Rows are addressed by section and row index, since one item id
// can occur in two categories of a merged pack.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QAbstractScrollArea>
#include <QString>

#include "interface/RenderContext.h"
#include "interface/ShortcutRow.h"

class QAccessibleInterface;

namespace corvanta {

class CorvantaView;
class ScrollPerformanceTuner;
struct ShortcutItem;

class ShortcutListView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = 28;
    static constexpr int kRowHeight = int(ShortcutRow::kHeight);
    static constexpr int kSidePadding = 8;
    static constexpr int kBottomPadding = 10;

    enum class Content { loadFailure, verification, noResults, sections };
    struct EmptyStateText {
        std::string_view icon;
        QString title;
        QString message;
    };

    ShortcutListView(CorvantaView& root, QWidget* parent);
    ~ShortcutListView() override;

    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

    // Draws one empty state centred in `area`.
    static void emptyState(QPainter& painter, const QRectF& area, std::string_view icon,
                           const QString& title, const QString& message, const ThemeColors& colors);

    // What the list shows, as of the last render or paint.
    Content content() const { return content_; }
    // The empty state's symbol and texts; none while sections are shown.
    std::optional<EmptyStateText> shownEmptyState() const;
    int sectionCount() const { return static_cast<int>(sectionStarts_.size()); }
    int rowCount(int section) const;
    // Indices of every row, in display order.
    const std::vector<std::pair<int, int>>& rows() const { return rows_; }
    QString sectionTitle(int section) const;
    QString rowTitle(int section, int row) const;
    bool isFavorite(int section, int row) const;
    QString starAccessibleName(int section, int row) const;
    // Frames in viewport coordinates (they may lie outside the visible part).
    QRect rowRect(int section, int row) const;
    QRect starRect(int section, int row) const;
    // Scrolls the least distance that shows the row below the pinned header.
    void scrollToRow(int section, int row);
    // Clicks the star, as a pointer click does.
    void toggleFavorite(int section, int row);
    // The section whose header is pinned at the top, and that header's top
    // edge in viewport coordinates (0, or less while the next one pushes it).
    std::optional<std::pair<int, int>> pinnedHeader() const;
    int rebuildCount() const { return rebuildCount_; }
    // The accessible star button of a row, made when first asked for and
    // valid until the rows change; none for a row that does not exist.
    QAccessibleInterface* starAccessible(int section, int row) const;
    ScrollPerformanceTuner& tuner() const { return *tuner_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Everything the entries depend on; an equal source means the store's
    // filtered result is the one the entries were built from.
    struct Source {
        bool loadError = false;
        std::string softwareID;
        std::string categoryID;
        std::string query;
        bool favoriteOnly = false;
        std::set<std::string> favorites;
        AppLanguage language = AppLanguage::en;
        bool operator==(const Source&) const = default;
        // Compared in place: the painting paths ask for every row.
        bool matches(const ShortcutStore& store) const;
    };
    // A header (row −1) or a row, with its top in content coordinates.
    struct Entry {
        int top;
        int section;
        int row;
    };

    Source currentSource() const;
    // Whether the entries were built from the store's current result.
    bool isCurrent() const;
    // Rebuilds the entries when the source changed; true when it did.
    bool sync();
    void updateScrollRange();
    const ShortcutItem* itemAt(int section, int row) const;
    const Entry* entryFor(int section, int row) const;
    int entryIndexAt(int contentY) const;
    std::optional<std::pair<int, int>> starAt(QPoint viewportPoint) const;
    void dropStarAccessibles();
    void paintSectionHeader(QPainter& painter, const QRectF& frame, int section,
                            const RenderContext& context) const;

    CorvantaView& root_;
    ScrollPerformanceTuner* tuner_;
    std::optional<Source> source_;
    std::optional<AppTheme> paintedTheme_;
    Content content_ = Content::noResults;
    std::vector<Entry> entries_;
    // (section, row) of each row entry, kept with the entries: assistive
    // technology asks for rows by position, one after another.
    std::vector<std::pair<int, int>> rows_;
    std::vector<int> sectionStarts_;  // entry index of each header
    int contentHeight_ = 0;
    int rebuildCount_ = 0;
    std::optional<std::pair<int, int>> pressedStar_;
    mutable std::map<std::pair<int, int>, unsigned> starAccessibleIDs_;
};

}  // namespace corvanta
