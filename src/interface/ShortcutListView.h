// The shortcut list: painted, virtualised sections with pinned headers, and the
// empty states, over the flat layout in ShortcutListLayout.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
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
    int rowCount(int section) const;
    // Indices of every row, in display order.
    const std::vector<std::pair<int, int>>& rows() const { return layout_.rows(); }
    const std::vector<ShortcutListLayout::Entry>& entries() const override {
        return layout_.entries();
    }
    const std::vector<std::string>& entryKeys() const override { return layout_.entryKeys(); }
    int entryIndexOf(const std::string& key) const override { return layout_.entryIndexOf(key); }
    QString sectionTitle(int section) const;
    QString sectionName(int section) const override;
    QString rowTitle(int section, int row) const;
    bool isFavorite(int section, int row) const override;
    QString starAccessibleName(int section, int row) const override;
    // The row as a screen reader reads it: its title, then its keys as words.
    QString rowAccessibleName(int section, int row) const override;
    // Frames in viewport coordinates (they may lie outside the visible part).
    QRect rowRect(int section, int row) const;
    // A header's (row −1) or a row's frame.
    QRect entryRect(int section, int row) const override;
    QRect starRect(int section, int row) const override;
    // Scrolls the least distance that shows the row below the pinned header.
    void scrollToRow(int section, int row);
    // Clicks the star, as a pointer click does.
    void toggleFavorite(int section, int row) override;
    // The section whose header is pinned at the top, and that header's top
    // edge in viewport coordinates (0, or less while the next one pushes it).
    std::optional<std::pair<int, int>> pinnedHeader() const;
    int rebuildCount() const { return layout_.rebuildCount(); }
    // The accessible header, row, row text or star button, made when first
    // asked for and kept while its entry is shown; none for one that does not
    // exist.
    QAccessibleInterface* partAccessible(Part part, int section, int row) const override;
    std::optional<std::pair<Part, std::string>> focusedPart() const override;

    // The keyboard's place in the list: the current row, and whether the
    // focus is on its star rather than on the row.
    std::optional<std::pair<int, int>> currentRow() const;
    bool isStarCurrent() const { return starCurrent_; }
    // The current row is marked only while the keyboard brought the focus.
    bool showsFocusIndicator() const;
    QWidget* listViewport() const override { return viewport(); }
    std::optional<std::pair<QString, QString>> emptyStateTexts() const override;
    ScrollPerformanceTuner& tuner() const { return *tuner_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    using Entry = ShortcutListLayout::Entry;

    // Whether the entries were built from the store's current result.
    bool isCurrent() const;
    // Rebuilds the entries when the source changed; true when it did.
    bool sync();
    void updateScrollRange();
    const ShortcutItem* itemAt(int section, int row) const;
    // A row's entry, or a section's header entry for row −1.
    const Entry* entryAt(int section, int row) const;
    std::optional<std::pair<int, int>> starAt(QPoint viewportPoint) const;
    // The index in rows() of the current row, −1 for none.
    int currentRowIndex() const;
    void setCurrentRow(int rowIndex, bool star);
    // The first row wholly below the pinned header, or the first row.
    int firstVisibleRowIndex() const;
    // Tells assistive technology which part has the focus; `later` waits for
    // the toolkit's own focus event on the list, which comes after focusIn.
    void announceFocus(bool later);
    void paintFocusIndicator(QPainter& painter, const RenderContext& context) const;
    void paintSectionHeader(QPainter& painter, const QRectF& frame, int section,
                            const RenderContext& context) const;

    const RenderContextSource& contexts_;
    ShortcutStore& store_;
    Actions actions_;
    ShortcutListLayout layout_;
    ScrollPerformanceTuner* tuner_;
    std::optional<AppTheme> paintedTheme_;
    std::optional<std::pair<int, int>> pressedStar_;
    std::unique_ptr<ShortcutListParts> parts_;
    std::string currentKey_;
    int currentIndex_ = 0;  // the current row's index, kept for when it goes
    bool starCurrent_ = false;
    bool keyboardFocus_ = false;
};

}  // namespace corvanta
