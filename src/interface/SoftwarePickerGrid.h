// The pack picker's list area: the grouped tiles in rows of two, painted for
// the visible part only, with a request tile per group and the no-match state.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QWidget>

#include "catalog/AppLanguage.h"
#include "catalog/SoftwareGroup.h"
#include "interface/Palette.h"
#include "interface/PickerMatching.h"

class QAccessibleInterface;
class QScrollBar;

namespace corvanta {

class PlainButton;

class SoftwarePickerGrid final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kPadding = 11;
    static constexpr double kSectionSpacing = 14;
    static constexpr double kSpacing = 7;
    static constexpr double kTileHeight = 59;

    explicit SoftwarePickerGrid(QWidget* parent = nullptr);
    ~SoftwarePickerGrid() override;

    // Told the pack of a clicked software tile, or the group of a request tile.
    std::function<void(const SoftwarePack&)> onChooseSoftware;
    std::function<void(SoftwareGroup)> onRequestSoftware;
    // Paints what lies beneath the grid in `rect` (in the grid), where that
    // is more than the panel colour: the edges of the popover's outline.
    std::function<void(QPainter&, const QRect&)> paintBeneath;

    // The sections to show (their packs outlive the next call), whether each
    // gets its request tile, and what the tiles read.
    void setContent(std::vector<PickerSection> sections, bool includesAddButtons,
                    const std::string& selectedSoftwareID, AppLanguage language,
                    const ThemeColors& colors);

    // A software tile's rectangle in this widget, as scrolled now; empty when
    // the pack is not shown.
    QRectF tileRect(const std::string& packID) const;
    // Scrolls so the pack's tile is in view.
    void scrollToTile(const std::string& packID);
    void scrollToTop();
    bool showsNoMatch() const { return sections_.empty(); }
    double contentHeight() const { return contentHeight_; }
    QScrollBar* scrollBar() const { return scrollBar_; }

    // The grid as assistive technology reads it: group titles, pack tiles and
    // request tiles in content order; a request tile is its own button.
    struct AccessibleItem {
        enum class Kind { heading, pack, request };
        Kind kind = Kind::heading;
        QString name;               // as painted: "Figma, 42 items", a group title
        QRectF rect;                // in this widget, as scrolled now
        QWidget* button = nullptr;  // a request tile's button
        bool selected = false;
    };
    int accessibleItemCount() const { return static_cast<int>(accessibleOrder_.size()); }
    AccessibleItem accessibleItem(int index) const;
    // Chooses the pack of a pack tile, as a click on it does.
    void pressAccessibleItem(int index);
    // The no-match state's title and message while it is shown.
    std::pair<QString, QString> noMatchTexts() const;
    // The registered interface of a painted item (a heading or pack tile),
    // kept while the items read the same.
    QAccessibleInterface* paintedItemAccessible(int index) const;

    // The keyboard's place among the tiles (Tab reaches the grid, the arrows
    // move, Return or Space chooses): the readable item it is on, or -1.
    int currentAccessibleIndex() const;
    // Moves the keyboard's place to the tile of readable item `index`.
    void setCurrentAccessibleIndex(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Tile {
        QRectF rect;                         // in content coordinates
        const SoftwarePack* pack = nullptr;  // null for a request tile
        SoftwareGroup group = SoftwareGroup::other;
    };
    struct SectionHeader {
        QRectF rect;
        QString title;
        QString count;
    };

    // What a header or a pack tile in view paints, and where (in content
    // coordinates); equal items paint the same pixels.
    struct PaintedItem {
        QRectF rect;
        const SoftwarePack* pack = nullptr;  // null for a header
        bool selected = false;
        QString text;  // a header's title and count
        bool operator==(const PaintedItem&) const = default;
    };
    std::vector<PaintedItem> paintedItems() const;
    void relayout();
    // Keyboard: the current tile by index into tiles_, kept by what it shows.
    void setCurrentTile(int tile);
    int tileBeside(int tile, int key) const;
    void chooseTile(int tile);
    void restoreCurrentTile();
    void paintCurrentTile(QPainter& painter);
    std::string tileKey(int tile) const;
    void placeRequestTiles();
    void paintBackground(QPainter& painter, const QRegion& region);
    void paintNoMatch(QPainter& painter);
    void paintSoftwareTile(QPainter& painter, const Tile& tile, bool pressed);
    const Tile* softwareTileAt(QPointF position) const;
    double offset() const;

    std::vector<PickerSection> sections_;
    bool includesAddButtons_ = false;
    std::string selectedSoftwareID_;
    AppLanguage language_ = AppLanguage::en;
    ThemeColors colors_;
    // Content order of the readable items: a header's or a tile's index.
    struct OrderEntry {
        bool header;
        std::size_t index;
    };
    static void installAccessibility();
    void rebuildAccessibleOrder();
    QString tileAccessibleName(const Tile& tile) const;

    std::vector<SectionHeader> headers_;
    std::vector<OrderEntry> accessibleOrder_;
    std::vector<QString> accessibleNames_;
    mutable std::map<int, unsigned> accessibleIDs_;
    std::vector<Tile> tiles_;  // in content order, so sorted by top edge
    double contentHeight_ = 0;
    std::map<SoftwareGroup, PlainButton*> requestTiles_;
    std::optional<std::string> pressedPackID_;
    int currentTile_ = -1;
    std::string currentKey_;
    QScrollBar* scrollBar_ = nullptr;
};

}  // namespace corvanta
