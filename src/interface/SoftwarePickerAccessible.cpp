// How assistive technology sees the pack picker; see SoftwarePickerAccessible.h.
#include "interface/SoftwarePickerAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>

#include <vector>

#include "interface/AccessibleShowing.h"
#include "interface/PaintedAccessible.h"
#include "interface/SoftwarePickerGrid.h"
#include "interface/SoftwarePickerPopover.h"

namespace corvanta {
namespace {

using Kind = SoftwarePickerGrid::AccessibleItem::Kind;

// A group title (a heading) or a pack tile (a button choosing its pack).
class PickerItemAccessible final : public PressablePaintedAccessible {
public:
    PickerItemAccessible(SoftwarePickerGrid* grid, int index)
        : PressablePaintedAccessible(grid), grid_(grid), index_(index) {}

    bool isValid() const override { return grid_ && index_ < grid_->accessibleItemCount(); }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && grid_ ? item().name : QString();
    }
    QRect rect() const override {
        if (!grid_)
            return {};
        const QRect frame = item().rect.toAlignedRect();
        return QRect(grid_->mapToGlobal(frame.topLeft()), frame.size());
    }
    QAccessible::Role role() const override {
        return grid_ && item().kind == Kind::heading ? QAccessible::Heading : QAccessible::Button;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!grid_)
            return state;
        const auto shown = item();
        state.offscreen = !grid_->rect().intersects(shown.rect.toAlignedRect());
        state.invisible = !grid_->isVisible();
        state.selected = shown.selected;
        // A pack tile is where the grid's keyboard can be.
        if (shown.kind == Kind::pack) {
            state.focusable = true;
            state.focused = grid_->hasFocus() && grid_->currentAccessibleIndex() == index_;
        }
        return state;
    }

protected:
    bool isPressable() const override { return role() == QAccessible::Button; }
    void press() override { grid_->pressAccessibleItem(index_); }

private:
    SoftwarePickerGrid::AccessibleItem item() const { return grid_->accessibleItem(index_); }

    QPointer<SoftwarePickerGrid> grid_;
    int index_;
};

// The grid: its items in content order, then its scroll bar; while nothing
// matches, it reads as the no-match title and message.
class GridAccessible final : public QAccessibleWidget {
public:
    explicit GridAccessible(SoftwarePickerGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Grouping) {}

    int childCount() const override { return grid()->accessibleItemCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        const int items = grid()->accessibleItemCount();
        if (index == items)
            return QAccessible::queryAccessibleInterface(grid()->scrollBar());
        if (index < 0 || index > items)
            return nullptr;
        if (QWidget* button = grid()->accessibleItem(index).button)
            return QAccessible::queryAccessibleInterface(button);
        return grid()->paintedItemAccessible(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (this->child(i) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = grid()->mapFromGlobal(QPoint(x, y));
        if (grid()->scrollBar()->isVisible() && grid()->scrollBar()->geometry().contains(point))
            return child(grid()->accessibleItemCount());
        for (int i = 0; i < grid()->accessibleItemCount(); ++i) {
            if (grid()->accessibleItem(i).rect.contains(point))
                return child(i);
        }
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (grid()->showsNoMatch()) {
            const auto [title, message] = grid()->noMatchTexts();
            if (kind == QAccessible::Name)
                return title;
            if (kind == QAccessible::Description)
                return message;
        }
        return QAccessibleWidget::text(kind);
    }

private:
    SoftwarePickerGrid* grid() const { return static_cast<SoftwarePickerGrid*>(widget()); }
};

// The hint under the grid, painted by the popup.
class HintAccessible final : public PaintedAccessible {
public:
    explicit HintAccessible(SoftwarePickerPopover* popover)
        : PaintedAccessible(popover), popover_(popover) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && popover_ ? popover_->hintText() : QString();
    }
    QRect rect() const override {
        if (!popover_)
            return {};
        const QRect frame = popover_->hintRect();
        return QRect(popover_->mapToGlobal(frame.topLeft()), frame.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !popover_ || !popover_->isVisible();
        return state;
    }

private:
    QPointer<SoftwarePickerPopover> popover_;
};

// The popup: a dialog titled as painted, a child of the panel it hangs from,
// with its controls and then its hint.
class PopoverAccessible final : public QAccessibleWidget {
public:
    explicit PopoverAccessible(SoftwarePickerPopover* popover)
        : QAccessibleWidget(popover, QAccessible::Dialog),
          hintID_(QAccessible::registerAccessibleInterface(new HintAccessible(popover))) {}
    ~PopoverAccessible() override { QAccessible::deleteAccessibleInterface(hintID_); }

    QAccessibleInterface* parent() const override {
        if (QWidget* panel = widget()->parentWidget())
            return QAccessible::queryAccessibleInterface(panel);
        return QAccessibleWidget::parent();
    }
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        return index == widgets ? QAccessible::accessibleInterface(hintID_)
                                : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child && child == QAccessible::accessibleInterface(hintID_))
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }
    QString text(QAccessible::Text kind) const override {
        const auto* popover = static_cast<SoftwarePickerPopover*>(widget());
        if (kind == QAccessible::Name)
            return popover->titleText();
        if (kind == QAccessible::Description)
            return popover->subtitleText();
        return QAccessibleWidget::text(kind);
    }

private:
    unsigned hintID_;
};

SoftwarePickerPopover* openPopover(const QWidget* panel) {
    auto* popover = panel->findChild<SoftwarePickerPopover*>(QString(), Qt::FindDirectChildrenOnly);
    return popover && popover->isVisible() ? popover : nullptr;
}

// The panel the popup hangs from: its own children, then the open popup. A
// hidden face of the panel is left out: a client that read it while hidden
// would keep it as not visible once it comes on screen.
class PanelAccessible final : public QAccessibleWidget {
public:
    explicit PanelAccessible(QWidget* panel)
        : QAccessibleWidget(panel, panel->isWindow() ? QAccessible::Window : QAccessible::Client) {}

    int childCount() const override {
        return static_cast<int>(shownChildren().size()) + (openPopover(widget()) ? 1 : 0);
    }
    QAccessibleInterface* child(int index) const override {
        const std::vector<QAccessibleInterface*> children = shownChildren();
        if (index >= 0 && index < static_cast<int>(children.size()))
            return children[static_cast<std::size_t>(index)];
        if (index == static_cast<int>(children.size()))
            return QAccessible::queryAccessibleInterface(openPopover(widget()));
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        const std::vector<QAccessibleInterface*> children = shownChildren();
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (children[i] == child)
                return static_cast<int>(i);
        }
        if (child->object() && child->object() == openPopover(widget()))
            return static_cast<int>(children.size());
        return -1;
    }

private:
    std::vector<QAccessibleInterface*> shownChildren() const {
        std::vector<QAccessibleInterface*> children;
        const int count = QAccessibleWidget::childCount();
        for (int i = 0; i < count; ++i) {
            QAccessibleInterface* child = QAccessibleWidget::child(i);
            auto* face = child ? qobject_cast<QWidget*>(child->object()) : nullptr;
            if (face && isFace(face) && face->isHidden())
                continue;
            children.push_back(child);
        }
        return children;
    }
};

QAccessibleInterface* pickerAccessibleFactory(const QString& className, QObject* object) {
    if (auto* grid = qobject_cast<SoftwarePickerGrid*>(object))
        return new GridAccessible(grid);
    if (auto* popover = qobject_cast<SoftwarePickerPopover*>(object))
        return new PopoverAccessible(popover);
    // The root view is the popup's parent widget; it is asked for its
    // interface before the first popup is made.
    if (className == QLatin1String("corvanta::CorvantaView"))
        return new PanelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

// The panel's interface is made once, when first asked for, which may be
// before any picker exists.
const bool kInstalledAtStart = (installSoftwarePickerAccessibility(), true);

}  // namespace

void installSoftwarePickerAccessibility() {
    QAccessible::installFactory(pickerAccessibleFactory);
}

QAccessibleInterface* makePickerItemAccessible(SoftwarePickerGrid* grid, int index) {
    return new PickerItemAccessible(grid, index);
}

}  // namespace corvanta
