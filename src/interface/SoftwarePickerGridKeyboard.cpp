// The pack picker grid from the keyboard: Tab reaches it, the arrows move a
// current tile (scrolled into view, ringed, reported to assistive technology
// as focused) and Return or Space chooses it; see SoftwarePickerGrid.h.
#include <cmath>
#include <limits>

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "catalog/SoftwarePack.h"
#include "interface/SmallControls.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/Style.h"

namespace corvanta {
namespace {

constexpr double kRingWidth = 2;
constexpr double kRingRadius = 11;

}  // namespace

std::string SoftwarePickerGrid::tileKey(int tile) const {
    const Tile& t = tiles_[static_cast<std::size_t>(tile)];
    return t.pack ? t.pack->id : "request:" + std::string(rawValue(t.group));
}

int SoftwarePickerGrid::currentAccessibleIndex() const {
    if (currentTile_ < 0)
        return -1;
    for (std::size_t i = 0; i < accessibleOrder_.size(); ++i) {
        const OrderEntry& entry = accessibleOrder_[i];
        if (!entry.header && entry.index == static_cast<std::size_t>(currentTile_))
            return static_cast<int>(i);
    }
    return -1;
}

void SoftwarePickerGrid::setCurrentAccessibleIndex(int index) {
    if (index < 0 || index >= accessibleItemCount())
        return;
    const OrderEntry& entry = accessibleOrder_[static_cast<std::size_t>(index)];
    if (!entry.header)
        setCurrentTile(static_cast<int>(entry.index));
}

void SoftwarePickerGrid::setCurrentTile(int tile) {
    if (tile < 0 || tile >= static_cast<int>(tiles_.size()))
        tile = -1;
    currentTile_ = tile;
    currentKey_ = tile < 0 ? std::string() : tileKey(tile);
    // A request tile is a button of its own; it rings itself.
    for (const auto& [group, button] : requestTiles_) {
        const bool current = hasFocus() && tile >= 0 &&
                             !tiles_[static_cast<std::size_t>(tile)].pack &&
                             tiles_[static_cast<std::size_t>(tile)].group == group;
        button->setStandsInForFocus(current);
    }
    if (tile >= 0) {
        const QRectF rect = tiles_[static_cast<std::size_t>(tile)].rect;
        const double top = offset();
        if (rect.top() - kPadding < top)
            scrollBar_->setValue(static_cast<int>(std::floor(rect.top() - kPadding)));
        else if (rect.bottom() + kPadding > top + height())
            scrollBar_->setValue(static_cast<int>(std::ceil(rect.bottom() + kPadding - height())));
    }
    update();
    const int index = currentAccessibleIndex();
    if (hasFocus() && index >= 0 && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
}

void SoftwarePickerGrid::restoreCurrentTile() {
    // After new content the keyboard stays on what it was on, if shown.
    int found = -1;
    for (int i = 0; i < static_cast<int>(tiles_.size()) && !currentKey_.empty(); ++i) {
        if (tileKey(i) == currentKey_) {
            found = i;
            break;
        }
    }
    if (found < 0 && hasFocus() && !tiles_.empty())
        found = 0;
    currentTile_ = found;
    currentKey_ = found < 0 ? std::string() : tileKey(found);
    for (const auto& [group, button] : requestTiles_) {
        button->setStandsInForFocus(hasFocus() && found >= 0 &&
                                    !tiles_[static_cast<std::size_t>(found)].pack &&
                                    tiles_[static_cast<std::size_t>(found)].group == group);
    }
}

int SoftwarePickerGrid::tileBeside(int tile, int key) const {
    const int count = static_cast<int>(tiles_.size());
    switch (key) {
        case Qt::Key_Left:
            return std::max(0, tile - 1);
        case Qt::Key_Right:
            return std::min(count - 1, tile + 1);
        case Qt::Key_Home:
            return 0;
        case Qt::Key_End:
            return count - 1;
        default:
            break;
    }
    // Up and Down go to the nearest tile of the row above or below.
    const QRectF& from = tiles_[static_cast<std::size_t>(tile)].rect;
    const bool down = key == Qt::Key_Down;
    double rowTop =
        down ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
    for (const Tile& t : tiles_) {
        if (down && t.rect.top() > from.top() + 1)
            rowTop = std::min(rowTop, t.rect.top());
        else if (!down && t.rect.top() < from.top() - 1)
            rowTop = std::max(rowTop, t.rect.top());
    }
    int best = tile;
    double bestDistance = std::numeric_limits<double>::max();
    for (int i = 0; i < count; ++i) {
        const QRectF& r = tiles_[static_cast<std::size_t>(i)].rect;
        if (std::abs(r.top() - rowTop) > 1)
            continue;
        const double distance = std::abs(r.center().x() - from.center().x());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void SoftwarePickerGrid::chooseTile(int tile) {
    if (tile < 0 || tile >= static_cast<int>(tiles_.size()))
        return;
    const Tile& t = tiles_[static_cast<std::size_t>(tile)];
    if (t.pack) {
        if (onChooseSoftware)
            onChooseSoftware(*t.pack);
    } else if (PlainButton* button = requestTiles_.at(t.group)) {
        button->click();
    }
}

void SoftwarePickerGrid::keyPressEvent(QKeyEvent* event) {
    if (tiles_.empty() || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int tile = std::max(0, currentTile_);
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
            setCurrentTile(currentTile_ < 0 ? 0 : tileBeside(tile, event->key()));
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            event->accept();
            chooseTile(currentTile_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void SoftwarePickerGrid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Arriving, the keyboard lands on the tile it left, or the first one.
    // The toolkit announces the grid itself after this; the tile is
    // announced a turn later, so a screen reader ends on the tile.
    setCurrentTile(currentTile_ >= 0 ? currentTile_ : (tiles_.empty() ? -1 : 0));
    QMetaObject::invokeMethod(
        this, [this] { setCurrentTile(currentTile_); }, Qt::QueuedConnection);
}

void SoftwarePickerGrid::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    for (const auto& [group, button] : requestTiles_) button->setStandsInForFocus(false);
    update();
}

void SoftwarePickerGrid::paintCurrentTile(QPainter& painter) {
    // The ring shows only while the grid has the keyboard; a request tile
    // rings itself.
    if (!hasFocus() || currentTile_ < 0)
        return;
    const Tile& tile = tiles_[static_cast<std::size_t>(currentTile_)];
    if (!tile.pack)
        return;
    painter.save();
    painter.setPen(QPen(colors_.textPrimary, kRingWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = kRingWidth / 2;
    painter.drawPath(style::continuousRoundedRect(tile.rect.adjusted(inset, inset, -inset, -inset),
                                                  kRingRadius));
    painter.restore();
}

}  // namespace corvanta
