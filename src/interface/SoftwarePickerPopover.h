// The pack picker's popover: a popup window under the pack button holding the
// grouped, searchable grid of packs and request tiles.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include <QPainterPath>
#include <QRect>
#include <QString>
#include <QWidget>

#include "catalog/SoftwareGroup.h"
#include "interface/BackdropCache.h"
#include "interface/Palette.h"
#include "interface/RenderContext.h"

class QAbstractButton;

namespace corvanta {

class PickerSearchField;
class SoftwarePickerGrid;
struct SoftwarePack;

class SoftwarePickerPopover final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 396;
    static constexpr int kListHeight = 470;
    static constexpr int kArrowHeight = 9;
    static constexpr int kArrowWidth = 18;
    static constexpr double kCornerRadius = 10;

    // What the popover's controls ask for, and where it hangs.
    struct Actions {
        std::function<void()> activateSearch;
        std::function<void(const std::string& query)> setQuery;
        std::function<void(bool focused)> setSearchFocused;
        std::function<void()> clearSearch;
        std::function<void(const SoftwarePack&)> chooseSoftware;
        std::function<void(SoftwareGroup)> requestSoftware;
        // The popup went away, whatever closed it.
        std::function<void()> didClose;
        // The pack button's rectangle on screen.
        std::function<QRect()> anchorRect;
    };

    // `panel` is the window the popover belongs to.
    SoftwarePickerPopover(Actions actions, QWidget* panel);
    ~SoftwarePickerPopover() override;

    // Shows, fills or hides the popover as the state says.
    void render(const RenderContext& context);

    // Where the popover goes for a pack button at `anchor` (global), within
    // the screen's `available` area, given the height of everything but the
    // list. It never covers the button: under it where it fits, else above
    // it with the arrow on the bottom edge, else on the roomier side with
    // the list shortened (it scrolls). Moved sideways to stay on the screen,
    // the arrow still points at the button's centre.
    enum class ArrowEdge { top, bottom };
    struct Placement {
        QRect frame;
        int listHeight = kListHeight;
        int arrowX = kWidth / 2;  // the arrow tip, in the popover
        ArrowEdge arrowEdge = ArrowEdge::top;
        bool operator==(const Placement&) const = default;
    };
    static Placement placement(const QRect& anchor, const QRect& available, int chromeHeight);

    // The pack button's rectangle on screen.
    QRect anchorRect() const;

    SoftwarePickerGrid* grid() const { return grid_; }
    PickerSearchField* searchField() const { return field_; }
    QAbstractButton* searchButton() const;
    QAbstractButton* clearButton() const;
    bool searchOutlineFocused() const { return outlineFocused_; }
    QString hintText() const { return hint_; }
    // The painted title and subtitle, and the hint's frame in the popover.
    QString titleText() const { return title_; }
    QString subtitleText() const { return subtitle_; }
    QRect hintRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void open();
    void fill(const RenderContext& context);
    void layoutContent();
    void dropSearchField();
    void clearSearch();
    // The application's widget under a point on the screen, not the popup.
    QWidget* controlAt(const QPoint& global) const;
    int titleRowHeight() const;
    int chromeHeight() const;
    // Where the body starts under the arrow (0 when the arrow is below).
    int bodyTop() const;
    // The body and its arrow as one shape, built again only when the size or
    // the arrow moved.
    const QPainterPath& outline() const;
    // What the painting under the hint depends on besides the size.
    std::size_t chromeFace() const;
    void paintChrome(QPainter& painter) const;
    void paintHint(QPainter& painter) const;

    Actions actions_;
    QWidget* searchButton_ = nullptr;
    QWidget* searchRow_ = nullptr;
    PickerSearchField* field_ = nullptr;
    int fieldHeight_ = 0;  // the field's wanted height, once measured
    QWidget* clearButton_ = nullptr;
    SoftwarePickerGrid* grid_ = nullptr;
    ThemeColors colors_;
    QString title_;
    QString subtitle_;
    QString hint_;
    int listHeight_ = kListHeight;
    int arrowX_ = kWidth / 2;
    ArrowEdge arrowEdge_ = ArrowEdge::top;
    bool outlineFocused_ = false;
    // Where a press outside landed that the release turns into a click.
    std::optional<QPoint> clickThrough_;
    bool useMask_ = false;
    // The size and arrow an outline or mask was made for.
    using Shape = std::tuple<QSize, int, ArrowEdge>;
    Shape shape() const { return {size(), arrowX_, arrowEdge_}; }
    mutable QPainterPath outline_;
    mutable std::optional<Shape> outlineFor_;
    std::optional<Shape> maskFor_;
    BackdropCache backdrop_;
};

}  // namespace corvanta
